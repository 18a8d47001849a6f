// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "platform/Control.h"
#include "platform/Surface.h"
#include "platform/gdi/Gdi.h"

namespace platform {

// A borderless child window that holds other controls and can be drawn on.
class PictureBox : public Control {
  public:
    using Control::Control;

    gdi::COLORREF BackColor() const { return m_backColor; }
    void SetBackColor(gdi::COLORREF c);

    // The inner size in the box's own units (twips); the box has no border.
    Twips ScaleWidth() const { return Width(); }
    Twips ScaleHeight() const { return Height(); }

    // Persistent drawing. While it is on, the box keeps what is drawn on it in a bitmap of its
    // size that starts filled with its back colour, and its view paints from that bitmap; the
    // controls inside the box are drawn over it as always.
    bool AutoRedraw() const { return m_surface.Active(); }
    void SetAutoRedraw(bool on);
    // The surface's device context (null while persistent drawing is off).
    gdi::HDC hDC();
    // The surface's pixels (null while persistent drawing is off).
    const gdi::Bitmap* Image();

    Event<std::int16_t, std::int16_t, float, float> MouseDown;

  private:
    void PaintBackground(gdi::Bitmap& target) const;
    void FitSurface();

    // The usual button-face grey of a new picture box.
    gdi::COLORREF m_backColor = gdi::RGB(240, 240, 240);
    Surface m_surface;
};

}  // namespace platform
