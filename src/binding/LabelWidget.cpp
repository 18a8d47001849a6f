// SPDX-License-Identifier: MIT
#include "binding/LabelWidget.h"

#include <QFontMetrics>
#include <QPainter>

#include "binding/Convert.h"

namespace binding {

using platform::Property;

LabelWidget::LabelWidget(platform::Label& label, QWidget* parent)
    : QWidget(parent), View(label, *this) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFont(ToQFont(label.Font()));
    Place();
    FitToText();
}

void LabelWidget::FitToText() {
    auto* label = static_cast<platform::Label*>(m_control);
    if (label == nullptr || !label->AutoSize()) {
        return;
    }
    const QFontMetrics fm(font());
    const QString text = ToQString(label->Caption());
    // An empty label keeps the width of a blank, as the layout has it.
    const int width = text.isEmpty() ? 6 : fm.horizontalAdvance(text);
    label->SetWidth(ToTwips(width));
    label->SetHeight(ToTwips(fm.height()));
}

void LabelWidget::Update(Property p) {
    if (p == Property::Font && m_control != nullptr) {
        setFont(ToQFont(static_cast<platform::Label*>(m_control)->Font()));
    }
    if (p == Property::Caption || p == Property::Font) {
        FitToText();
    }
    update();
}

void LabelWidget::paintEvent(QPaintEvent*) {
    auto* label = static_cast<platform::Label*>(m_control);
    if (label == nullptr) {
        return;
    }
    QPainter painter(this);
    painter.setPen(ToQColor(label->ForeColor()));
    painter.setFont(font());
    const int align = label->Alignment() == platform::vbCenter         ? Qt::AlignHCenter
                      : label->Alignment() == platform::vbRightJustify ? Qt::AlignRight
                                                                       : Qt::AlignLeft;
    painter.drawText(rect(), align | Qt::AlignTop | Qt::TextSingleLine,
                     ToQString(label->Caption()));
}

}  // namespace binding
