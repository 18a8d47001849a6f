// SPDX-License-Identifier: MIT
// The persistent drawing surface of a form or picture box ("AutoRedraw"): a 32-bit bitmap of
// the control's inner size, selected into a device context of its own. What the program draws
// through the context stays in the bitmap, and the control's view paints from it.
#pragma once

#include <functional>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace platform {

class Surface {
  public:
    // Paints a surface's initial content (a background picture, a back colour).
    using Painter = std::function<void(gdi::Bitmap&)>;

    Surface() = default;
    ~Surface();
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    bool Active() const { return m_dc != nullptr; }

    // Makes the surface `width` x `height` pixels (at least 1 x 1) and paints it with `paint`;
    // `changed` runs whenever its pixels change. The context draws text in `font`, black,
    // without a background box.
    void Create(int width, int height, const Painter& paint, const Font& font,
                std::function<void()> changed);
    // Takes a new size: what was drawn stays at the top-left, the rest is painted anew.
    void Resize(int width, int height, const Painter& paint);
    // Paints the whole surface anew; what was drawn on it is gone.
    void Repaint(const Painter& paint);
    void SetFont(const Font& font);
    void Release();

    gdi::HDC Dc() const { return m_dc; }
    gdi::Bitmap* Image() const;

  private:
    void SelectFont(const Font& font);

    gdi::HDC m_dc = nullptr;
    gdi::HBITMAP m_bitmap = nullptr;
    gdi::HGDIOBJ m_initialBitmap = nullptr;
    gdi::HFONT m_font = nullptr;
    std::function<void()> m_changed;
};

}  // namespace platform
