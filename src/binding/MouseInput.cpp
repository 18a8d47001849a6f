// SPDX-License-Identifier: MIT
#include "binding/MouseInput.h"

#include "platform/Control.h"

namespace binding {

std::int16_t ButtonOf(Qt::MouseButton b) {
    switch (b) {
        case Qt::LeftButton:
            return platform::vbLeftButton;
        case Qt::RightButton:
            return platform::vbRightButton;
        case Qt::MiddleButton:
            return platform::vbMiddleButton;
        default:
            return 0;
    }
}

std::int16_t ButtonsOf(Qt::MouseButtons b) {
    std::int16_t v = 0;
    if (b & Qt::LeftButton) {
        v |= platform::vbLeftButton;
    }
    if (b & Qt::RightButton) {
        v |= platform::vbRightButton;
    }
    if (b & Qt::MiddleButton) {
        v |= platform::vbMiddleButton;
    }
    return v;
}

std::int16_t ShiftOf(Qt::KeyboardModifiers m) {
    std::int16_t v = 0;
    if (m & Qt::ShiftModifier) {
        v |= 1;
    }
    if (m & Qt::ControlModifier) {
        v |= 2;
    }
    if (m & Qt::AltModifier) {
        v |= 4;
    }
    return v;
}

}  // namespace binding
