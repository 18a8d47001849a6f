// SPDX-License-Identifier: MIT
// A single-line text box, transparent over the panel.
#pragma once

#include <QLineEdit>

#include "binding/View.h"

namespace core {
class TextBox;
}  // namespace core

namespace binding {

class TextBoxWidget final : public QLineEdit, public View {
  public:
    TextBoxWidget(core::TextBox& box, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void keyPressEvent(QKeyEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;

  private:
    core::TextBox* Box() const;
};

}  // namespace binding
