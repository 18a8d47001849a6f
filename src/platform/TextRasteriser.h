// SPDX-License-Identifier: MIT
// Drawing glyphs is the one part of text output that needs a font engine: the raster layer's
// TextOutW hands it to the installed rasteriser (Qt's in the program, a recording double in
// tests). Without one, text output draws nothing and fails.
#pragma once

#include <string>
#include <string_view>

#include "platform/gdi/Gdi.h"

namespace platform {

// What a device context says about the text it draws.
struct TextStyle {
    std::u16string face;     // empty: the rasteriser's default face
    float pointSize = 9.0f;  // at 96 dots per inch, so 9 points are 12 pixels
    bool bold = false;
    bool italic = false;
    int charset = 1;
    gdi::COLORREF colour = gdi::RGB(0, 0, 0);
    gdi::COLORREF background = gdi::RGB(255, 255, 255);
    bool opaque = true;  // fill the text's cell with the background colour first
};

class ITextRasteriser {
  public:
    virtual ~ITextRasteriser() = default;
    // Draws `text` onto `target` with the top-left corner of its cell at (x, y), clipped to the
    // bitmap. The caller tells the bitmap's observers afterwards.
    virtual void Draw(gdi::Bitmap& target, int x, int y, std::u16string_view text,
                      const TextStyle& style) = 0;
};

// The installed rasteriser, or null.
ITextRasteriser* TextRasteriser();

}  // namespace platform
