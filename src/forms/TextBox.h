// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace core {

constexpr int fmSpecialEffectFlat = 0;
constexpr int fmBackStyleTransparent = 0;

// A single-line edit box with a transparent background.
class TextBox : public platform::Control {
  public:
    using Control::Control;

    const std::u16string& Text() const { return m_text; }
    void SetText(std::u16string text);
    // Text the user typed; more than MaxLength characters cannot be typed.
    void TextFromView(std::u16string text);

    int MaxLength() const { return m_maxLength; }  // 0: no limit
    void SetMaxLength(int n) { m_maxLength = n; }
    char16_t PasswordChar() const { return m_passwordChar; }  // 0: shown as typed
    void SetPasswordChar(char16_t c) { m_passwordChar = c; }
    platform::gdi::COLORREF ForeColor() const { return m_foreColor; }
    void SetForeColor(platform::gdi::COLORREF c) { m_foreColor = c; }
    platform::gdi::COLORREF BorderColor() const { return m_borderColor; }
    void SetBorderColor(platform::gdi::COLORREF c) { m_borderColor = c; }
    const platform::Font& Font() const { return m_font; }
    void SetFont(platform::Font f) { m_font = std::move(f); }

    platform::Event<> Change;
    // A key went down in the box (the key code: 13 is Enter).
    platform::Event<std::int16_t> KeyDown;
    // The box has given the keyboard up (to another control or another window).
    platform::Event<> LostFocus;

  private:
    std::u16string m_text;
    int m_maxLength = 0;
    char16_t m_passwordChar = 0;
    platform::gdi::COLORREF m_foreColor = platform::gdi::RGB(0, 0, 0);
    platform::gdi::COLORREF m_borderColor = platform::gdi::RGB(100, 100, 100);
    platform::Font m_font;
};

// A push button with a transparent background.
class CommandButton : public platform::Control {
  public:
    using Control::Control;

    const std::u16string& Caption() const { return m_caption; }
    void SetCaption(std::u16string c) { m_caption = std::move(c); }
    const platform::Font& Font() const { return m_font; }
    void SetFont(platform::Font f) { m_font = std::move(f); }

    platform::Event<> Click;

  private:
    std::u16string m_caption;
    platform::Font m_font;
};

}  // namespace core
