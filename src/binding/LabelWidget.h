// SPDX-License-Identifier: MIT
// A label: its caption in its font and colour, sized to the text when asked.
#pragma once

#include <QWidget>

#include "binding/View.h"
#include "platform/Label.h"

namespace binding {

class LabelWidget final : public QWidget, public View {
  public:
    LabelWidget(platform::Label& label, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void paintEvent(QPaintEvent*) override;

  private:
    void FitToText();
};

}  // namespace binding
