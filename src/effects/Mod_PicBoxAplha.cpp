// SPDX-License-Identifier: MIT
#include "effects/Mod_PicBoxAplha.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/gdi/Blend.h"

namespace core {

namespace gdi = platform::gdi;

void BlendPictureBox(platform::Form& frm, platform::PictureBox& pic, std::int16_t alpha) {
    frm.SetAutoRedraw(true);
    pic.SetAutoRedraw(true);
    if (alpha < 0 || alpha > 255) {
        throw std::overflow_error("溢出 (alpha " + std::to_string(alpha) + ")");
    }
    gdi::BLENDFUNCTION blend;
    blend.BlendOp = gdi::AC_SRC_OVER;
    blend.BlendFlags = 0;
    blend.SourceConstantAlpha = static_cast<std::uint8_t>(alpha);
    blend.AlphaFormat = 0;

    const gdi::HDC dest = pic.hDC();
    const gdi::HDC src = frm.hDC();
    // A fixed 15 twips to the pixel, whatever the screen's own factor.
    const int width = platform::TwipsToPixels(pic.ScaleWidth());
    const int height = platform::TwipsToPixels(pic.ScaleHeight());
    const int left = platform::TwipsToPixels(pic.Left());
    const int top = platform::TwipsToPixels(pic.Top());

    // The panels hang a few pixels over the window's edges (the browser panel starts at x = -3
    // and both reach 3 pixels past the right edge), and a source rectangle that leaves the
    // window's surface would make the whole blend fail. So the blend covers the part of the
    // box that lies over the window; the rest of the box is outside the window anyway.
    const gdi::Bitmap* window = gdi::SelectedBitmap(src);
    if (window == nullptr) {
        return;
    }
    const long long x0 = std::max<long long>(left, 0);
    const long long y0 = std::max<long long>(top, 0);
    const long long x1 = std::min<long long>(static_cast<long long>(left) + width, window->Width());
    const long long y1 =
        std::min<long long>(static_cast<long long>(top) + height, window->Height());
    if (x0 >= x1 || y0 >= y1) {
        return;  // the box lies wholly outside the window
    }
    const int w = static_cast<int>(x1 - x0);
    const int h = static_cast<int>(y1 - y0);
    gdi::AlphaBlend(dest, static_cast<int>(x0 - left), static_cast<int>(y0 - top), w, h, src,
                    static_cast<int>(x0), static_cast<int>(y0), w, h, blend);
}

}  // namespace core
