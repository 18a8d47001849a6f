// SPDX-License-Identifier: MIT
#include "binding/ShapeWidget.h"

#include <QPainter>
#include <QPen>

#include "binding/Convert.h"

namespace binding {

using platform::Property;

ShapeWidget::ShapeWidget(platform::Shape& shape, QWidget* parent)
    : QWidget(parent), View(shape, *this) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    Place();
}

void ShapeWidget::paintEvent(QPaintEvent*) {
    if (m_control == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.setPen(QPen(ToQColor(static_cast<platform::Shape*>(m_control)->BorderColor()), 1));
    painter.drawRect(0, 0, width() - 1, height() - 1);
}

}  // namespace binding
