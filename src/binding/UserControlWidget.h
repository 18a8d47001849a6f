// SPDX-License-Identifier: MIT
// The view of a user control: it shows the control's drawing surface, passes the mouse on in
// twips, and ends the control's capture when the pointer leaves it.
#pragma once

#include <QWidget>

#include "binding/View.h"
#include "platform/UserControl.h"

namespace binding {

class UserControlWidget final : public QWidget, public View {
  public:
    UserControlWidget(platform::UserControl& control, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void hideEvent(QHideEvent* e) override;

  private:
    platform::UserControl* User() const;
    bool m_pressed = false;
};

}  // namespace binding
