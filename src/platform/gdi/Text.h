// SPDX-License-Identifier: MIT
// Fonts and text output of the raster layer. The glyphs are drawn by the installed text
// rasteriser (see TextRasteriser.h).
#pragma once

#include <cstdint>
#include <string>

#include "platform/gdi/Gdi.h"

namespace platform::gdi {

constexpr int FW_NORMAL = 400;
constexpr int FW_BOLD = 700;
constexpr std::uint8_t DEFAULT_CHARSET = 1;
constexpr std::uint8_t GB2312_CHARSET = 134;

// The parts of a logical font this layer keeps. A negative height is the characters' height in
// pixels, as the classic structure has it (a 9-point font at 96 dpi is -12).
struct LOGFONTW {
    int lfHeight = 0;  // 0: the default 9 points
    int lfWeight = FW_NORMAL;
    bool lfItalic = false;
    std::uint8_t lfCharSet = DEFAULT_CHARSET;
    std::u16string lfFaceName;
};

HFONT CreateFontIndirectW(const LOGFONTW* font);

// The number of UTF-16 code units before the first NUL (0 for null).
int lstrlenW(const char16_t* text);

// Draws the first `count` code units of `text` with the top-left corner of the text at (x, y),
// in the context's font, text colour, background colour and background mode. Fails without a
// 32-bit bitmap selected, for a negative count, and when no text rasteriser is installed.
bool TextOutW(HDC dc, int x, int y, const char16_t* text, int count);

}  // namespace platform::gdi
