// SPDX-License-Identifier: MIT
#include "binding/OptionButtonWidget.h"

#include "binding/Convert.h"
#include "forms/OptionButton.h"

namespace binding {

using platform::Property;

OptionButtonWidget::OptionButtonWidget(core::OptionButton& option, QWidget* parent)
    : QRadioButton(ToQString(option.Caption()), parent), View(option, *this) {
    setFont(ToQFont(option.Font()));
    // The model keeps each array its own exclusive choice.
    setAutoExclusive(false);
    // A transparent style sheet alone leaves the style's circle unpainted over the panel: the
    // circle is drawn here as the option buttons of the old forms have it, a white disc in a grey
    // rim with a black dot when chosen.
    setStyleSheet(
        QStringLiteral("QRadioButton { background: transparent; color: %1; spacing: 3px; }"
                       "QRadioButton::indicator { width: 11px; height: 11px; border-radius: 6px;"
                       " border: 1px solid rgb(128, 128, 128); background: white; }"
                       "QRadioButton::indicator:checked { background: qradialgradient(cx: 0.5,"
                       " cy: 0.5, radius: 0.5, fx: 0.5, fy: 0.5, stop: 0 black, stop: 0.38 black,"
                       " stop: 0.5 white, stop: 1 white); }"
                       "QRadioButton::indicator:disabled { background: rgb(240, 240, 240); }")
            .arg(ToCssRgb(option.ForeColor())));
    setChecked(option.Value());
    Place();
    connect(this, &QRadioButton::clicked, this, [this] {
        if (m_control != nullptr) {
            static_cast<core::OptionButton*>(m_control)->ChooseFromView();
            Update(Property::Value);  // a second click does not clear the mark
        }
    });
}

void OptionButtonWidget::Update(Property p) {
    if (p == Property::Value && m_control != nullptr) {
        setChecked(static_cast<core::OptionButton*>(m_control)->Value());
    }
}

}  // namespace binding
