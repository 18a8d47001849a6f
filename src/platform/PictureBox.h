// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace platform {

// A borderless child window that holds other controls and can be drawn on.
class PictureBox : public Control {
  public:
    using Control::Control;

    gdi::COLORREF BackColor() const { return m_backColor; }
    void SetBackColor(gdi::COLORREF c);

    Event<std::int16_t, std::int16_t, float, float> MouseDown;

  private:
    // The usual button-face grey of a new picture box.
    gdi::COLORREF m_backColor = gdi::RGB(240, 240, 240);
};

}  // namespace platform
