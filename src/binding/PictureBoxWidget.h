// SPDX-License-Identifier: MIT
// A picture box: its kept surface or back colour, and its presses.
#pragma once

#include <QWidget>

#include "binding/View.h"
#include "platform/PictureBox.h"

namespace binding {

class PictureBoxWidget final : public QWidget, public View {
  public:
    PictureBoxWidget(platform::PictureBox& box, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

}  // namespace binding
