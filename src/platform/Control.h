// SPDX-License-Identifier: MIT
// The control model: forms and their controls as plain objects. A form's code changes a
// control's properties; the control tells its view (the binding's widget, when there is one),
// which follows. User input goes the other way: the view raises the control's events, and the
// form's handlers run under the failure policy. Positions and sizes are twips (15 to a pixel at
// 96 dpi) kept as float, so that an eased slide keeps its fractions.
#pragma once

#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/Runtime.h"
#include "platform/gdi/Gdi.h"

namespace platform {

using Twips = float;

// Rounds to the nearest whole number, halves to the even neighbour.
inline long long RoundHalfEven(double v) {
    return std::llrint(v);
}
// The windows and controls are placed at 15 twips to the pixel (96 dpi), whatever the screen.
constexpr int kTwipsPerPixel = 15;
// Twips to whole pixels at 15 twips per pixel, halves to even.
inline int TwipsToPixels(Twips t) {
    return static_cast<int>(RoundHalfEven(static_cast<double>(t) / kTwipsPerPixel));
}

// What changed, so that a view updates only that.
enum class Property {
    Geometry,
    Visible,
    Enabled,
    Caption,  // a form's window text, a label's or a button's caption
    Text,     // a text box's contents
    Font,
    ForeColor,
    BackColor,
    Picture,
    WindowState,
    BorderStyle,
    Surface,  // the persistent drawing surface was replaced or redrawn
    Focus,
    Value,  // an option button's mark
    Region,
    Other,
};

class ControlView {
  public:
    virtual ~ControlView() = default;
    virtual void PropertyChanged(Property p) = 0;
    // The control is going away: the view must not touch it any more.
    virtual void ControlGone() = 0;
};

// One event of a control: the form connects its handler; raising it runs the handler under the
// failure policy (RunHandler).
template <typename... Args>
class Event {
  public:
    using Handler = std::function<void(Args...)>;
    void Connect(Handler handler) { m_handler = std::move(handler); }
    bool Connected() const { return static_cast<bool>(m_handler); }
    void Raise(Args... args) const {
        if (m_handler) {
            RunHandler([&] { m_handler(std::forward<Args>(args)...); });
        }
    }

  private:
    Handler m_handler;
};

struct Font {
    std::u16string name = u"宋体";
    float size = 9.0f;  // points
    bool bold = false;
    bool italic = false;
    int charset = 134;  // GB2312

    bool operator==(const Font&) const = default;
};

// Mouse buttons and shift keys as the events carry them.
constexpr int16_t vbLeftButton = 1;
constexpr int16_t vbRightButton = 2;
constexpr int16_t vbMiddleButton = 4;

// Key codes as KeyDown carries them.
constexpr int16_t vbKeyReturn = 13;

class Form;

class Control {
  public:
    explicit Control(std::string name, int index = -1);
    virtual ~Control();
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const std::string& Name() const { return m_name; }
    int Index() const { return m_index; }  // element of a control array, or -1

    // Children, front to back: where two overlap, the earlier one is drawn over the later.
    Control* Container() const { return m_container; }
    const std::vector<Control*>& Controls() const { return m_children; }
    void Add(Control& child);
    Form* ParentForm();

    Twips Left() const { return m_left; }
    Twips Top() const { return m_top; }
    Twips Width() const { return m_width; }
    Twips Height() const { return m_height; }
    void SetLeft(Twips v);
    void SetTop(Twips v);
    void SetWidth(Twips v);
    void SetHeight(Twips v);
    void Move(Twips left, Twips top, Twips width, Twips height);

    bool Visible() const { return m_visible; }
    virtual void SetVisible(bool v);
    bool Enabled() const { return m_enabled; }
    virtual void SetEnabled(bool v);

    // Keyboard focus order within the form; a control without a tab stop takes no focus by Tab.
    int TabIndex() const { return m_tabIndex; }
    void SetTabIndex(int v) { m_tabIndex = v; }
    bool TabStop() const { return m_tabStop; }
    void SetTabStop(bool v) { m_tabStop = v; }
    // Asks the view to give this control the keyboard focus.
    void SetFocus() { Changed(Property::Focus); }

    ControlView* View() const { return m_view; }
    void SetView(ControlView* view) { m_view = view; }

    // Called by the binding when the user moved or resized the control's window; the model
    // follows without telling the view back.
    void GeometryFromView(Twips left, Twips top, Twips width, Twips height);

  protected:
    void Changed(Property p) const;

  private:
    std::string m_name;
    int m_index;
    Control* m_container = nullptr;
    std::vector<Control*> m_children;
    Twips m_left = 0, m_top = 0, m_width = 0, m_height = 0;
    bool m_visible = true;
    bool m_enabled = true;
    int m_tabIndex = -1;
    bool m_tabStop = true;
    ControlView* m_view = nullptr;
};

}  // namespace platform
