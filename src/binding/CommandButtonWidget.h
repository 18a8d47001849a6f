// SPDX-License-Identifier: MIT
// A command button, flat over the panel.
#pragma once

#include <QPushButton>

#include "binding/View.h"

namespace core {
class CommandButton;
}  // namespace core

namespace binding {

class CommandButtonWidget final : public QPushButton, public View {
  public:
    CommandButtonWidget(core::CommandButton& button, QWidget* parent);
};

}  // namespace binding
