// SPDX-License-Identifier: MIT
#include "effects/Mod_TextOut.h"

#include <limits>
#include <stdexcept>
#include <string>

#include "platform/gdi/Text.h"

namespace core {

namespace gdi = platform::gdi;

namespace {

std::int32_t Offset(std::int32_t v, int by) {
    const long long moved = static_cast<long long>(v) + by;
    if (moved < std::numeric_limits<std::int32_t>::min() ||
        moved > std::numeric_limits<std::int32_t>::max()) {
        throw std::overflow_error("溢出 (position " + std::to_string(v) + ")");
    }
    return static_cast<std::int32_t>(moved);
}

}  // namespace

void DrawOutlinedText(gdi::HDC hdc, const std::u16string& text, std::int32_t x, std::int32_t y,
                      gdi::COLORREF outlineColour, gdi::COLORREF textColour) {
    const int length = gdi::lstrlenW(text.c_str());
    gdi::SetTextColor(hdc, outlineColour);
    // The diagonal copies first, then the straight ones; the order only matters where the
    // shifted copies overlap, and the text itself goes over all of them.
    static constexpr int kOffsets[8][2] = {{-1, -1}, {1, 1}, {0, -1}, {-1, 0},
                                           {0, 1},   {1, 0}, {-1, 1}, {1, -1}};
    for (const auto& offset : kOffsets) {
        const std::int32_t atX = Offset(x, offset[0]);
        const std::int32_t atY = Offset(y, offset[1]);
        gdi::TextOutW(hdc, atX, atY, text.c_str(), length);
    }
    gdi::SetTextColor(hdc, textColour);
    gdi::TextOutW(hdc, x, y, text.c_str(), length);
}

}  // namespace core
