// SPDX-License-Identifier: MIT
#include "binding/TextBoxWidget.h"

#include <QFocusEvent>
#include <QKeyEvent>

#include "binding/Convert.h"
#include "forms/TextBox.h"

namespace binding {

using platform::Property;

TextBoxWidget::TextBoxWidget(core::TextBox& box, QWidget* parent)
    : QLineEdit(parent), View(box, *this) {
    setFont(ToQFont(box.Font()));
    if (box.MaxLength() > 0) {
        setMaxLength(box.MaxLength());
    }
    // Transparent over the panel, with a flat single-line border.
    QString style =
        QStringLiteral("QLineEdit { background: transparent; border: 1px solid %1; color: %2;")
            .arg(ToCssRgb(box.BorderColor()), ToCssRgb(box.ForeColor()));
    if (box.PasswordChar() != 0) {
        setEchoMode(QLineEdit::Password);
        style += QStringLiteral(" lineedit-password-character: %1;")
                     .arg(static_cast<int>(box.PasswordChar()));
    }
    setStyleSheet(style + QStringLiteral(" }"));
    setText(ToQString(box.Text()));
    Place();
    connect(this, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (Box() != nullptr) {
            Box()->TextFromView(ToU16(text));
        }
    });
}

core::TextBox* TextBoxWidget::Box() const {
    return static_cast<core::TextBox*>(m_control);
}

void TextBoxWidget::Update(Property p) {
    if (p == Property::Text && Box() != nullptr) {
        const QString text = ToQString(Box()->Text());
        if (text != this->text()) {
            setText(text);
        }
    }
}

void TextBoxWidget::keyPressEvent(QKeyEvent* e) {
    QLineEdit::keyPressEvent(e);
    if (Box() != nullptr && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter)) {
        Box()->KeyDown.Raise(platform::vbKeyReturn);
    }
}

void TextBoxWidget::focusOutEvent(QFocusEvent* e) {
    QLineEdit::focusOutEvent(e);
    // The box's own context menu takes the keyboard for a moment, and a window going away
    // takes it for good: neither is the user leaving the box.
    if (Box() != nullptr && e->reason() != Qt::PopupFocusReason && isVisible()) {
        Box()->LostFocus.Raise();
    }
}

}  // namespace binding
