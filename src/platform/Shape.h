// SPDX-License-Identifier: MIT
#pragma once

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace platform {

// A windowless rectangle outline drawn on its container: one pixel, solid, in the system's
// window-text colour, nothing filled.
class Shape : public Control {
  public:
    explicit Shape(std::string name) : Control(std::move(name)) { SetTabStop(false); }

    gdi::COLORREF BorderColor() const { return m_borderColor; }

  private:
    gdi::COLORREF m_borderColor = gdi::GetSysColor(gdi::COLOR_WINDOWTEXT);
};

}  // namespace platform
