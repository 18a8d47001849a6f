// SPDX-License-Identifier: MIT
#include "effects/Mod_Window.h"

#include <cmath>
#include <limits>
#include <stdexcept>

#include "platform/Runtime.h"
#include "platform/User.h"
#include "platform/gdi/Region.h"

namespace core {

namespace {

// A pixel count rounded halves to even; a value that does not fit is an overflow.
int WholePixels(double v) {
    if (!std::isfinite(v) || v < std::numeric_limits<int>::min() ||
        v > std::numeric_limits<int>::max()) {
        throw std::overflow_error("溢出 (window size)");
    }
    return static_cast<int>(platform::RoundHalfEven(v));
}

}  // namespace

void MakeFrameless(platform::Form& frm) {
    frm.SetBorderStyle(platform::vbBSNone);
    frm.SetCaption(frm.Caption());
    frm.SetVisible(false);
    frm.SetVisible(true);
}

void MakeRoundWindow(platform::Form& frm) {
    // The shape is cut to the window's size in the pixels it is placed in, whatever dots per
    // inch the screen reports: a shape sized by the screen's own factor would leave the corners
    // square on a screen above 96 dpi and clip the window below it.
    const float width = frm.Width() / static_cast<float>(platform::kTwipsPerPixel);
    const int height = WholePixels(frm.Height() / static_cast<float>(platform::kTwipsPerPixel));
    platform::gdi::HRGN region =
        platform::gdi::CreateRoundRectRgn(0, 0, WholePixels(width), height, 15, 15);
    if (platform::SetWindowRgn(frm.hWnd(), region, true) == 0) {
        platform::gdi::DeleteObject(region);  // not taken by the window
    }
}

void BeginWindowDrag(platform::Form& frm) {
    if (frm.WindowState() == platform::vbMaximized) {
        return;
    }
    platform::ReleaseCapture();
    platform::SendMessageA(frm.hWnd(), platform::WM_NCLBUTTONDOWN, platform::HTCAPTION, 0);
}

}  // namespace core
