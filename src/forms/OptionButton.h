// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace core {

// A round selection button with its caption on the right and a transparent background. The
// buttons of one control array (same name, same container) are one exclusive choice: choosing
// one clears the others of its array and raises Click with its index.
class OptionButton : public platform::Control {
  public:
    using Control::Control;

    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(std::u16string c) { m_caption = std::move(c); }
    platform::gdi::COLORREF ForeColor() const { return m_foreColor; }
    void SetForeColor(platform::gdi::COLORREF c) { m_foreColor = c; }
    const platform::Font& Font() const { return m_font; }
    void SetFont(platform::Font f) { m_font = std::move(f); }

    bool Value() const { return m_value; }
    // Marks or clears this button; marking clears the others of its array.
    void SetValue(bool v);
    // The user chose this button.
    void ChooseFromView();

    platform::Event<std::int16_t> Click;  // the index of the chosen button

  private:
    std::u16string m_caption;
    platform::gdi::COLORREF m_foreColor = platform::gdi::RGB(0, 0, 0);
    platform::Font m_font;
    bool m_value = false;
};

}  // namespace core
