// SPDX-License-Identifier: MIT
// Outlined text: a text in one colour with a one-pixel outline in another.
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/Gdi.h"

namespace core {

// Draws `text` (up to its first NUL) on `hdc` at (x, y) pixels with a one-pixel outline: eight
// copies in `outlineColour` at the neighbouring positions, then the text in `textColour` over
// them. The context's font, background mode and alignment are used as they are; its text colour
// is left at `textColour`. Throws std::overflow_error when x or y lies at the edge of the 32-bit
// range, where a neighbour position does not exist (copies before that one have been drawn).
void DrawOutlinedText(platform::gdi::HDC hdc, const std::u16string& text, std::int32_t x,
                      std::int32_t y, platform::gdi::COLORREF outlineColour,
                      platform::gdi::COLORREF textColour);

}  // namespace core
