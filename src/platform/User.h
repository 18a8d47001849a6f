// SPDX-License-Identifier: MIT
// Window calls of the classic interface that the window system carries out: window shapes,
// mouse capture, and the messages the program sends to its own windows.
#pragma once

#include <cstdint>

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Region.h"

namespace platform {

constexpr std::uint32_t WM_NCLBUTTONDOWN = 0xA1;
constexpr std::uintptr_t HTCAPTION = 2;

// Gives the window `window` the shape `region` (null: its whole rectangle again). From then on
// the region belongs to the window: its handle is no longer valid. Returns 0 and keeps the
// region when the window or the region is not alive.
int SetWindowRgn(gdi::HWND window, gdi::HRGN region, bool redraw);

// Ends any mouse capture.
bool ReleaseCapture();

// Sends a message to one of the program's windows. WM_NCLBUTTONDOWN with HTCAPTION (a press on
// the title bar) starts the window system's interactive move of the window from where the
// pointer is; `lParam` is not looked at. Other messages do nothing. Returns 0.
std::intptr_t SendMessageA(gdi::HWND window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);

}  // namespace platform
