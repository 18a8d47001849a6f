// SPDX-License-Identifier: MIT
#include "binding/AlphaImageWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "binding/Convert.h"
#include "binding/MouseInput.h"
#include "forms/AlphaImage.h"

namespace binding {

using platform::Property;

AlphaImageWidget::AlphaImageWidget(core::AlphaImage& image, QWidget* parent)
    : QWidget(parent), View(image, *this) {
    setMouseTracking(true);
    Place();
    Update(Property::Picture);
}

core::AlphaImage* AlphaImageWidget::Image() const {
    return static_cast<core::AlphaImage*>(m_control);
}

void AlphaImageWidget::Update(Property p) {
    if (p == Property::Picture && Image() != nullptr) {
        const auto& png = Image()->Image();
        QImage decoded;
        if (decoded.loadFromData(png.data(), static_cast<int>(png.size()), "PNG")) {
            m_image = decoded;
        }
    }
    update();
}

void AlphaImageWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);  // at its own pixel size, over what lies beneath
}

void AlphaImageWidget::mouseMoveEvent(QMouseEvent* e) {
    if (Image() == nullptr) {
        return;
    }
    // While a button is down the widget keeps the mouse and hears of no leaving: a move off
    // its rectangle is the pointer leaving, once, and a move back onto it a movement again.
    if (!rect().contains(e->position().toPoint())) {
        if (!m_left) {
            m_left = true;
            Image()->MouseLeave.Raise();
        }
        return;
    }
    m_left = false;
    Image()->MouseMove.Raise(ButtonsOf(e->buttons()), ShiftOf(e->modifiers()),
                             ToTwips(e->position().x()), ToTwips(e->position().y()));
}

void AlphaImageWidget::mousePressEvent(QMouseEvent* e) {
    if (Image() != nullptr) {
        std::int16_t button = ButtonOf(e->button());
        Image()->MouseDown.Raise(button, ShiftOf(e->modifiers()), ToTwips(e->position().x()),
                                 ToTwips(e->position().y()));
    }
}

void AlphaImageWidget::mouseReleaseEvent(QMouseEvent* e) {
    // A click is a press and a release over the control.
    if (Image() != nullptr && rect().contains(e->position().toPoint())) {
        Image()->Click.Raise(ButtonOf(e->button()));
    }
}

void AlphaImageWidget::leaveEvent(QEvent*) {
    // After a press released off the widget, the leaving was already told.
    const bool told = m_left;
    m_left = false;
    if (Image() != nullptr && !told) {
        Image()->MouseLeave.Raise();
    }
}

}  // namespace binding
