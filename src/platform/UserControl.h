// SPDX-License-Identifier: MIT
// A control of the program's own making: a child window with a persistent drawing surface, its
// own mouse events in twips, mouse capture, and properties kept with its owner's layout.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/Control.h"
#include "platform/gdi/Gdi.h"

namespace platform {

// Named values a placed control keeps with its owner's layout. Names match whatever their
// case ("GifBKColor" finds "gifbkcolor").
class PropertyBag {
  public:
    // The stored value, or `defaultValue` when there is none.
    std::int64_t ReadProperty(const std::string& name, std::int64_t defaultValue) const;
    // Stores `value`; a value equal to `defaultValue` is not kept.
    void WriteProperty(const std::string& name, std::int64_t value, std::int64_t defaultValue);
    bool Contains(const std::string& name) const;

  private:
    std::map<std::string, std::int64_t> m_values;  // by lower-case name
};

class UserControl : public Control {
  public:
    explicit UserControl(std::string name, int index = -1);
    ~UserControl() override;

    // The background colour the surface is cleared to (bit 31 set: a system colour).
    gdi::COLORREF BackColor() const { return m_backColor; }
    void SetBackColor(gdi::COLORREF c);

    // The drawing surface: a memory device context holding a 32-bit bitmap the control's size
    // in pixels. The context stays the same for the control's life; when the control's size has
    // changed, the next hDC or Refresh makes the bitmap anew, cleared.
    gdi::HDC hDC();
    // What the view shows (null before the surface is first made).
    const gdi::Bitmap* Surface() const {
        return m_bitmap != nullptr ? gdi::BitmapOf(m_bitmap) : nullptr;
    }
    // Clears the surface to the background colour.
    void Refresh();

    // Mouse capture: while it is held, every move of the pointer comes to this control, also
    // outside its rectangle.
    void SetCapture();
    void ReleaseCapture();
    bool HasCapture() const { return m_capture; }

    // The properties kept with the owner's layout, read when the owner loads and written when
    // it is saved.
    void ReadProperties(const PropertyBag& bag);
    void WriteProperties(PropertyBag& bag) const;

    // From the view: the user's mouse on the control, in twips from its top-left corner.
    void MouseMoveFromView(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseDownFromView(std::int16_t button, std::int16_t shift, float x, float y);
    void MouseUpFromView(std::int16_t button, std::int16_t shift, float x, float y);
    void ClickFromView();
    // From the view: the window system ended a capture by itself (another window took the
    // mouse).
    void CaptureLostFromView();

  protected:
    // The control's own handlers, run under the failure policy.
    virtual void UserControl_MouseMove(std::int16_t, std::int16_t, float, float) {}
    virtual void UserControl_MouseDown(std::int16_t, std::int16_t, float, float) {}
    virtual void UserControl_MouseUp(std::int16_t, std::int16_t, float, float) {}
    virtual void UserControl_Click() {}
    virtual void UserControl_ReadProperties(const PropertyBag&) {}
    virtual void UserControl_WriteProperties(PropertyBag&) const {}

  private:
    // Makes the bitmap anew when the control's size has changed; true when it did.
    bool FitSurface();
    void Clear();

    gdi::COLORREF m_backColor = gdi::RGB(240, 240, 240);
    gdi::HDC m_dc = nullptr;
    gdi::HBITMAP m_bitmap = nullptr;
    gdi::HGDIOBJ m_stock = nullptr;
    bool m_capture = false;
};

}  // namespace platform
