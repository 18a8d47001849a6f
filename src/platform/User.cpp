// SPDX-License-Identifier: MIT
#include "platform/User.h"

#include "platform/Form.h"

namespace platform {

int SetWindowRgn(gdi::HWND window, gdi::HRGN region, bool /*redraw*/) {
    Form* form = Form::FromHandle(window);
    if (form == nullptr) {
        return 0;
    }
    if (region == nullptr) {
        form->SetWindowRegion(std::nullopt);
        return 1;
    }
    if (!gdi::IsLive(region, gdi::ObjectKind::Region)) {
        return 0;
    }
    // The window keeps its own copy; the handle ends here, as it belongs to the window now.
    form->SetWindowRegion(gdi::RegionRects(region));
    gdi::DeleteObject(region);
    return 1;
}

bool ReleaseCapture() {
    Windows().ReleaseCapture();
    return true;
}

std::intptr_t SendMessageA(gdi::HWND window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t /*lParam*/) {
    Form* form = Form::FromHandle(window);
    if (form == nullptr) {
        return 0;
    }
    if (message == WM_NCLBUTTONDOWN && wParam == HTCAPTION) {
        Windows().StartSystemMove(*form);
    }
    return 0;
}

}  // namespace platform
