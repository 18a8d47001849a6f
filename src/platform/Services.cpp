// SPDX-License-Identifier: MIT
#include "platform/Services.h"

#include "platform/DataPaths.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <system_error>

namespace platform {
namespace {

const Services* g_installed = nullptr;

Services Complete(Services s) {
    if (s.settingsFile.empty()) {
        s.settingsFile = DefaultSettingsFile();
    }
    if (s.appPath.empty()) {
        s.appPath = ExecutableDirectory();
    }
    if (s.userDataHome.empty()) {
        s.userDataHome = DefaultUserDataHome();
    }
    return s;
}

}  // namespace

const Services& CurrentServices() {
    if (g_installed != nullptr) {
        return *g_installed;
    }
    static const Services defaults = Complete({});
    return defaults;
}

ServicesScope::ServicesScope(Services services)
    : m_services(Complete(std::move(services))), m_previous(g_installed) {
    g_installed = &m_services;
}

ServicesScope::~ServicesScope() {
    g_installed = m_previous;
}

std::filesystem::path DefaultSettingsFile() {
    const char* xdg = std::getenv("XDG_CONFIG_HOME");
    if (xdg != nullptr && xdg[0] == '/') {
        return std::filesystem::path(xdg) / "Windows.INI";
    }
    const char* home = std::getenv("HOME");
    if (home == nullptr || home[0] == '\0') {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr ? pw->pw_dir : "/tmp";
    }
    return std::filesystem::path(home) / ".config" / "Windows.INI";
}

std::filesystem::path ExecutableDirectory() {
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return std::filesystem::current_path(ec);
    }
    return exe.parent_path();
}

}  // namespace platform
