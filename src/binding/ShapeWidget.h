// SPDX-License-Identifier: MIT
// A rectangle shape: its one-pixel border.
#pragma once

#include <QWidget>

#include "binding/View.h"
#include "platform/Shape.h"

namespace binding {

class ShapeWidget final : public QWidget, public View {
  public:
    ShapeWidget(platform::Shape& shape, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace binding
