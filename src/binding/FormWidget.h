// SPDX-License-Identifier: MIT
// A top-level window: the view of a form, its frame, state, shape and moves.
#pragma once

#include <QWidget>

#include "binding/View.h"
#include "platform/Form.h"

namespace binding {

class FormWidget final : public QWidget, public View {
  public:
    explicit FormWidget(platform::Form& form);
    platform::Form* Form() const { return static_cast<platform::Form*>(m_control); }
    void PropertyChanged(platform::Property p) override;
    // Moves the window with the pointer until the button that pressed on it is released, for
    // where the window system offers no move of its own. False when no press is going on.
    bool FollowPointer();

  protected:
    void Update(platform::Property p) override;
    void Place() override;
    void paintEvent(QPaintEvent*) override;
    void changeEvent(QEvent* e) override;
    bool event(QEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void moveEvent(QMoveEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    void ApplyFrame();
    void ApplyShown();
    void ApplyRegion();

    bool m_applyingState = false;
    bool m_iconifyPending = false;
    bool m_pressed = false;    // a button went down on the window's own surface
    bool m_following = false;  // the window follows the pointer
    QPointF m_pressAt;         // where the pointer was then, on the screen
    QPoint m_startedAt;        // where the window was then
};

}  // namespace binding
