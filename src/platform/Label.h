// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace platform {

constexpr int vbLeftJustify = 0;
constexpr int vbRightJustify = 1;
constexpr int vbCenter = 2;

// Windowless text with a transparent background. With AutoSize on, the view measures the
// caption in the label's font and sets the label's size to fit whenever the caption changes.
class Label : public Control {
  public:
    using Control::Control;

    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(std::u16string caption);
    gdi::COLORREF ForeColor() const { return m_foreColor; }
    void SetForeColor(gdi::COLORREF c);
    const platform::Font& Font() const { return m_font; }
    void SetFont(platform::Font f);
    int Alignment() const { return m_alignment; }
    void SetAlignment(int a);
    bool AutoSize() const { return m_autoSize; }
    void SetAutoSize(bool v) { m_autoSize = v; }

  private:
    std::u16string m_caption;
    gdi::COLORREF m_foreColor = gdi::RGB(0, 0, 0);
    platform::Font m_font;
    int m_alignment = vbLeftJustify;
    bool m_autoSize = false;
};

}  // namespace platform
