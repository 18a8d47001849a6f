// SPDX-License-Identifier: MIT
// An option button; the model keeps the choice exclusive.
#pragma once

#include <QRadioButton>

#include "binding/View.h"

namespace core {
class OptionButton;
}  // namespace core

namespace binding {

class OptionButtonWidget final : public QRadioButton, public View {
  public:
    OptionButtonWidget(core::OptionButton& option, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
};

}  // namespace binding
