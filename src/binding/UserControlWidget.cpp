// SPDX-License-Identifier: MIT
#include "binding/UserControlWidget.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

#include "binding/Convert.h"
#include "binding/MouseInput.h"

namespace binding {

using platform::Property;

namespace {

// A pixel off the control's top-left corner, in twips.
constexpr float kOff = platform::kTwipsPerPixel;

platform::gdi::COLORREF Solid(platform::gdi::COLORREF c) {
    return (c & 0x80000000u) != 0 ? platform::gdi::GetSysColor(static_cast<int>(c & 0xFFFFFF)) : c;
}

}  // namespace

UserControlWidget::UserControlWidget(platform::UserControl& control, QWidget* parent)
    : QWidget(parent), View(control, *this) {
    // Every move over the widget counts, not only those with a button down: the control finds
    // the pointer leaving by them.
    setMouseTracking(true);
    Place();
}

platform::UserControl* UserControlWidget::User() const {
    return static_cast<platform::UserControl*>(m_control);
}

void UserControlWidget::Update(Property p) {
    if (p == Property::Other) {
        return;  // the capture: kept by the control, followed through leaveEvent
    }
    update();
}

void UserControlWidget::paintEvent(QPaintEvent*) {
    if (m_control == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.fillRect(rect(), ToQColor(Solid(User()->BackColor())));
    if (const platform::gdi::Bitmap* surface = User()->Surface()) {
        painter.drawImage(0, 0, ImageOf(*surface));
    }
}

void UserControlWidget::mouseMoveEvent(QMouseEvent* e) {
    if (m_control != nullptr) {
        User()->MouseMoveFromView(ButtonsOf(e->buttons()), ShiftOf(e->modifiers()),
                                  ToTwips(e->position().x()), ToTwips(e->position().y()));
    }
}

void UserControlWidget::mousePressEvent(QMouseEvent* e) {
    if (m_control != nullptr) {
        m_pressed = true;
        User()->MouseDownFromView(ButtonOf(e->button()), ShiftOf(e->modifiers()),
                                  ToTwips(e->position().x()), ToTwips(e->position().y()));
    }
}

// A click is a press and a release both over the control.
void UserControlWidget::mouseReleaseEvent(QMouseEvent* e) {
    if (m_control == nullptr) {
        return;
    }
    const bool click = m_pressed && rect().contains(e->position().toPoint());
    m_pressed = false;
    User()->MouseUpFromView(ButtonOf(e->button()), ShiftOf(e->modifiers()),
                            ToTwips(e->position().x()), ToTwips(e->position().y()));
    if (click && m_control != nullptr) {
        User()->ClickFromView();
    }
}

// The control's capture stays with this widget: taking the window system's mouse for it would
// keep every click on the desktop (a page the banner opened over it among them) for the banner.
// What the capture is for, the first move off the control, is the pointer leaving the widget,
// or the widget being covered; with a button down the widget still has every move itself.
void UserControlWidget::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    if (m_control == nullptr || !User()->HasCapture()) {
        return;
    }
    const QPointF at = mapFromGlobal(QCursor::pos().toPointF());
    float x = ToTwips(at.x());
    float y = ToTwips(at.y());
    if (x >= 0 && x <= m_control->Width() && y >= 0 && y <= m_control->Height()) {
        x = y = -kOff;  // covered where the pointer is: off the control all the same
    }
    User()->MouseMoveFromView(ButtonsOf(QGuiApplication::mouseButtons()),
                              ShiftOf(QGuiApplication::keyboardModifiers()), x, y);
}

void UserControlWidget::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (m_control != nullptr && User()->HasCapture()) {
        User()->CaptureLostFromView();
    }
}

}  // namespace binding
