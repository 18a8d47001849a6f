// SPDX-License-Identifier: MIT
// The widgets that show the model's controls. Each one is the view of one control: it follows
// the control's properties and raises the control's events for what the user does.
#pragma once

#include <QWidget>

#include "platform/Control.h"

namespace binding {

// What every view does: placement in pixels, visibility, enabled state, focus; and letting go
// of the control when either side goes away first.
class View : public platform::ControlView {
  public:
    View(platform::Control& control, QWidget& widget);
    ~View() override;
    void PropertyChanged(platform::Property p) override;
    void ControlGone() override { m_control = nullptr; }
    platform::Control* Control() const { return m_control; }

  protected:
    virtual void Update(platform::Property) {}
    virtual void Place();
    platform::Control* m_control;
    QWidget& m_widget;
};

}  // namespace binding
