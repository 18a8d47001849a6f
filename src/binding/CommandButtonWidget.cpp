// SPDX-License-Identifier: MIT
#include "binding/CommandButtonWidget.h"

#include "binding/Convert.h"
#include "forms/TextBox.h"

namespace binding {

using platform::Property;

CommandButtonWidget::CommandButtonWidget(core::CommandButton& button, QWidget* parent)
    : QPushButton(ToQString(button.Caption()), parent), View(button, *this) {
    setFont(ToQFont(button.Font()));
    setStyleSheet(QStringLiteral(
        "QPushButton { background: transparent; border: 1px solid rgba(255,255,255,150);"
        " color: black; }"
        "QPushButton:hover { border-color: white; }"
        "QPushButton:pressed { background: rgba(255,255,255,60); }"
        "QPushButton:focus { border-color: rgb(64,128,255); }"));
    Place();
    connect(this, &QPushButton::clicked, this, [this] {
        if (m_control != nullptr) {
            static_cast<core::CommandButton*>(m_control)->Click.Raise();
        }
    });
}

}  // namespace binding
