// SPDX-License-Identifier: MIT
#include "qt/UserControlWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "qt/Convert.h"

namespace binding {

using platform::Property;

namespace {

float Twips(qreal px) {
    return static_cast<float>(px * 15.0);
}

platform::gdi::COLORREF Solid(platform::gdi::COLORREF c) {
    return (c & 0x80000000u) != 0 ? platform::gdi::GetSysColor(static_cast<int>(c & 0xFFFFFF)) : c;
}

}  // namespace

UserControlWidget::UserControlWidget(platform::UserControl& control, QWidget* parent)
    : QWidget(parent), View(control, *this) {
    // Every move counts, not only those with a button down: the control finds the pointer
    // leaving by them.
    setMouseTracking(true);
    Place();
}

UserControlWidget::~UserControlWidget() {
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
}

platform::UserControl* UserControlWidget::User() const {
    return static_cast<platform::UserControl*>(m_control);
}

void UserControlWidget::Update(Property p) {
    if (p == Property::Other) {
        FollowCapture();
        return;
    }
    update();
}

void UserControlWidget::FollowCapture() {
    const bool want = User() != nullptr && User()->HasCapture() && isVisible();
    if (want && QWidget::mouseGrabber() != this) {
        grabMouse();
    } else if (!want && QWidget::mouseGrabber() == this) {
        releaseMouse();
    }
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
                                  Twips(e->position().x()), Twips(e->position().y()));
    }
}

void UserControlWidget::mousePressEvent(QMouseEvent* e) {
    if (m_control != nullptr) {
        m_pressed = true;
        User()->MouseDownFromView(ButtonOf(e->button()), ShiftOf(e->modifiers()),
                                  Twips(e->position().x()), Twips(e->position().y()));
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
                            Twips(e->position().x()), Twips(e->position().y()));
    if (click && m_control != nullptr) {
        User()->ClickFromView();
    }
}

void UserControlWidget::hideEvent(QHideEvent* e) {
    QWidget::hideEvent(e);
    if (QWidget::mouseGrabber() == this) {
        releaseMouse();
        if (m_control != nullptr) {
            User()->CaptureLostFromView();
        }
    }
}

}  // namespace binding
