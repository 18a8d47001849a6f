// SPDX-License-Identifier: MIT
#include "binding/PictureBoxWidget.h"

#include <QMouseEvent>
#include <QPainter>

#include "binding/Convert.h"
#include "binding/MouseInput.h"

namespace binding {

using platform::Property;

PictureBoxWidget::PictureBoxWidget(platform::PictureBox& box, QWidget* parent)
    : QWidget(parent), View(box, *this) {
    Place();
}

void PictureBoxWidget::Update(Property) {
    update();
}

void PictureBoxWidget::paintEvent(QPaintEvent*) {
    if (m_control == nullptr) {
        return;
    }
    auto* box = static_cast<platform::PictureBox*>(m_control);
    QPainter painter(this);
    // The box's own surface only: the controls inside it are widgets of their own and paint
    // over it.
    if (const platform::gdi::Bitmap* surface = box->Image()) {
        painter.drawImage(0, 0, ImageOf(*surface));
    } else {
        painter.fillRect(rect(), ToQColor(box->BackColor()));
    }
}

void PictureBoxWidget::mousePressEvent(QMouseEvent* e) {
    if (m_control != nullptr) {
        static_cast<platform::PictureBox*>(m_control)->MouseDown.Raise(
            ButtonOf(e->button()), ShiftOf(e->modifiers()), ToTwips(e->position().x()),
            ToTwips(e->position().y()));
    }
}

}  // namespace binding
