// SPDX-License-Identifier: MIT
#include "platform/Shell.h"

#include <map>

#include "platform/Services.h"

namespace platform {
namespace {

class NoShell final : public IShell {
  public:
    bool NotifyIcon(std::uint32_t, const NotifyIconRecord&) override { return false; }
    bool TrayAvailable() const override { return false; }
    std::intptr_t Execute(gdi::HWND, const std::string&, const std::string&, int) override {
        return 2;  // SE_ERR_FILENOTFOUND: nothing to open it with
    }
};

std::map<std::int32_t, std::span<const std::uint8_t>>& Icons() {
    static std::map<std::int32_t, std::span<const std::uint8_t>> icons;
    return icons;
}

}  // namespace

IShell& Shell() {
    static NoShell none;
    IShell* installed = CurrentServices().shell;
    return installed != nullptr ? *installed : none;
}

bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record) {
    return Shell().NotifyIcon(message, record);
}

std::intptr_t ShellExecuteA(gdi::HWND owner, const char* operation, const char* file, const char*,
                            const char*, int showCommand) {
    if (file == nullptr) {
        return 2;
    }
    return Shell().Execute(owner, operation != nullptr ? operation : "open", file, showCommand);
}

std::int32_t CreateIconFromFile(std::span<const std::uint8_t> icoFile) {
    static std::int32_t next = 0x20000;
    if (icoFile.empty()) {
        return 0;
    }
    next += 2;
    Icons()[next] = icoFile;
    return next;
}

void DestroyIcon(std::int32_t icon) {
    Icons().erase(icon);
}

std::span<const std::uint8_t> IconFile(std::int32_t icon) {
    const auto it = Icons().find(icon);
    return it != Icons().end() ? it->second : std::span<const std::uint8_t>();
}

}  // namespace platform
