// SPDX-License-Identifier: MIT
// Blending one surface onto another with a constant opacity.
#pragma once

#include <cstdint>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {

constexpr std::uint8_t AC_SRC_OVER = 0x00;
constexpr std::uint8_t AC_SRC_ALPHA = 0x01;

// How to blend, in the byte order of the classic structure: as one little-endian 32-bit value
// a constant-alpha blend of opacity a is a * 65536.
struct BLENDFUNCTION {
    std::uint8_t BlendOp = AC_SRC_OVER;
    std::uint8_t BlendFlags = 0;
    std::uint8_t SourceConstantAlpha = 255;
    std::uint8_t AlphaFormat = 0;
};

// Blends the source rectangle of `src` onto the destination rectangle of `dest`: each channel
// becomes (s * a + d * (255 - a) + 127) / 255 for the constant opacity a. A source rectangle
// of another size is stretched (nearest pixel). The destination is clipped to its bitmap as
// any drawing is; the source rectangle must lie wholly within the source's bitmap, or the call
// fails and draws nothing. Also fails for negative sizes, an operation other than
// AC_SRC_OVER, flags other than 0, per-pixel alpha (AC_SRC_ALPHA, which nothing here uses),
// and monochrome bitmaps.
bool AlphaBlend(HDC dest, int x, int y, int width, int height, HDC src, int srcX, int srcY,
                int srcWidth, int srcHeight, BLENDFUNCTION blend);

}  // namespace platform::gdi
