// SPDX-License-Identifier: MIT
// The model's mouse buttons and shift state for a Qt mouse event.
#pragma once

#include <Qt>

#include <cstdint>

namespace binding {

std::int16_t ButtonOf(Qt::MouseButton b);
std::int16_t ButtonsOf(Qt::MouseButtons b);
std::int16_t ShiftOf(Qt::KeyboardModifiers m);

}  // namespace binding
