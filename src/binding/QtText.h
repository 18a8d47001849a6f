// SPDX-License-Identifier: MIT
// Glyphs drawn with QPainter straight into the raster layer's bitmaps.
#pragma once

#include "platform/TextRasteriser.h"

namespace binding {

class QtTextRasteriser final : public platform::ITextRasteriser {
  public:
    void Draw(platform::gdi::Bitmap& target, int x, int y, std::u16string_view text,
              const platform::TextStyle& style) override;
};

}  // namespace binding
