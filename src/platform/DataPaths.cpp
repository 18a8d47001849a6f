// SPDX-License-Identifier: MIT
#include "platform/DataPaths.h"

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <system_error>
#include <vector>

// The installed pictures as seen from the directory of the installed executable; the build
// passes the one its install rules use.
#ifndef LOOMHAVEN_INSTALLED_DATA
#define LOOMHAVEN_INSTALLED_DATA "../share/loomhaven/data/image"
#endif

namespace platform {
namespace {

namespace fs = std::filesystem;

bool IsDirectory(const fs::path& p) {
    std::error_code ec;
    return fs::is_directory(p, ec);
}

bool Absolute(const char* value) {
    return value != nullptr && value[0] == '/';
}

}  // namespace

const char* ProcessEnvironment(const char* name) {
    return std::getenv(name);
}

fs::path DefaultUserDataHome(const EnvironmentLookup& env) {
    if (const char* xdg = env("XDG_DATA_HOME"); Absolute(xdg)) {
        return fs::path(xdg);
    }
    const char* home = env("HOME");
    if (!Absolute(home)) {
        const passwd* pw = ::getpwuid(::getuid());
        home = pw != nullptr && Absolute(pw->pw_dir) ? pw->pw_dir : "/tmp";
    }
    return fs::path(home) / ".local" / "share";
}

fs::path InstalledDataFromProgram() {
    return LOOMHAVEN_INSTALLED_DATA;
}

DataPlaces FindDataPlaces(const fs::path& programDir, const fs::path& userDataHome) {
    const fs::path beside = programDir / "data" / "image";
    if (IsDirectory(beside)) {
        return {beside, beside, false};
    }
    const fs::path shared = (programDir / InstalledDataFromProgram()).lexically_normal();
    if (IsDirectory(shared)) {
        return {shared, userDataHome / "loomhaven" / "data" / "image", true};
    }
    return {beside, beside, false};
}

fs::path DataFilePath(const DataPlaces& places, std::string_view name, DataAccess access) {
    const fs::path written = places.written / name;
    if (access == DataAccess::Write || places.written == places.pictures) {
        return written;
    }
    std::error_code ec;
    return fs::exists(written, ec) ? written : places.pictures / name;
}

bool MakeUserDirectory(const fs::path& dir, std::string& why) {
    // Each missing level is made here, not by create_directories, so that none of them is
    // ever readable by others, not even for a moment.
    std::vector<fs::path> missing;
    for (fs::path p = dir; !p.empty() && !IsDirectory(p); p = p.parent_path()) {
        missing.push_back(p);
        if (p == p.parent_path()) {
            break;
        }
    }
    for (auto it = missing.rbegin(); it != missing.rend(); ++it) {
        if (::mkdir(it->c_str(), 0700) != 0 && errno != EEXIST) {
            why = it->string() + ": " + std::strerror(errno);
            return false;
        }
    }
    if (!IsDirectory(dir)) {
        why = dir.string() + ": " + std::strerror(ENOTDIR);
        return false;
    }
    if (::access(dir.c_str(), W_OK | X_OK) != 0) {
        why = dir.string() + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

}  // namespace platform
