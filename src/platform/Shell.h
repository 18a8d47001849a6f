// SPDX-License-Identifier: MIT
// The shell: icons in the notification area (driven by the classic notify-icon record) and
// opening an address with the user's default program.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "platform/gdi/Gdi.h"

namespace platform {

constexpr std::uint32_t NIM_ADD = 0;
constexpr std::uint32_t NIM_MODIFY = 1;
constexpr std::uint32_t NIM_DELETE = 2;

constexpr std::uint32_t NIF_MESSAGE = 1;
constexpr std::uint32_t NIF_ICON = 2;
constexpr std::uint32_t NIF_TIP = 4;
constexpr std::uint32_t NIF_STATE = 8;
constexpr std::uint32_t NIF_INFO = 16;

// The mouse messages a notify icon sends to its window, as the record's callback carries them.
constexpr std::uint32_t WM_MOUSEMOVE = 0x200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x201;
constexpr std::uint32_t WM_LBUTTONUP = 0x202;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 0x203;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x204;
constexpr std::uint32_t WM_RBUTTONUP = 0x205;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 0x206;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x207;
constexpr std::uint32_t WM_MBUTTONUP = 0x208;
constexpr int SW_SHOWNORMAL = 1;

// The 488-byte notify-icon record (little-endian, texts NUL-terminated in the code page).
constexpr std::size_t kNotifyIconDataSize = 488;
using NotifyIconRecord = std::array<std::uint8_t, kNotifyIconDataSize>;

namespace nid {
constexpr std::size_t cbSize = 0;
constexpr std::size_t hWnd = 4;
constexpr std::size_t uID = 8;
constexpr std::size_t uFlags = 12;
constexpr std::size_t uCallbackMessage = 16;
constexpr std::size_t hIcon = 20;
constexpr std::size_t szTip = 24;
constexpr std::size_t kTipSize = 128;
constexpr std::size_t dwState = 152;
constexpr std::size_t dwStateMask = 156;
constexpr std::size_t szInfo = 160;
constexpr std::size_t kInfoSize = 256;
constexpr std::size_t uTimeout = 416;
constexpr std::size_t szInfoTitle = 420;
constexpr std::size_t kInfoTitleSize = 64;
constexpr std::size_t dwInfoFlags = 484;
}  // namespace nid

class IShell {
  public:
    virtual ~IShell() = default;
    // Carries out one notify-icon message with the record; false when it could not.
    virtual bool NotifyIcon(std::uint32_t message, const NotifyIconRecord& record) = 0;
    // Whether the desktop has a notification area to show icons in.
    virtual bool TrayAvailable() const = 0;
    // Opens `file` (a web address here) with `operation` in the user's default program;
    // returns a value above 32 when it started.
    virtual std::intptr_t Execute(gdi::HWND owner, const std::string& operation,
                                  const std::string& file, int showCommand) = 0;
};

// The installed shell, or one without a notification area that opens nothing.
IShell& Shell();

bool Shell_NotifyIconA(std::uint32_t message, const NotifyIconRecord& record);
std::intptr_t ShellExecuteA(gdi::HWND owner, const char* operation, const char* file,
                            const char* parameters, const char* directory, int showCommand);

// Icon handles: an icon file (.ico bytes) under a 32-bit handle for the notify-icon record.
std::int32_t CreateIconFromFile(std::span<const std::uint8_t> icoFile);
void DestroyIcon(std::int32_t icon);
std::span<const std::uint8_t> IconFile(std::int32_t icon);

}  // namespace platform
