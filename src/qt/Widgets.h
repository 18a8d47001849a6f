// SPDX-License-Identifier: MIT
// The widgets that show the model's controls. Each one is the view of one control: it follows
// the control's properties and raises the control's events for what the user does.
#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "platform/Control.h"
#include "platform/Form.h"
#include "platform/Label.h"
#include "platform/PictureBox.h"
#include "platform/Shape.h"

namespace core {
class AlphaImage;
class OptionButton;
class TextBox;
class CommandButton;
}  // namespace core

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

// The model's mouse buttons and shift state for a Qt mouse event.
std::int16_t ButtonOf(Qt::MouseButton b);
std::int16_t ButtonsOf(Qt::MouseButtons b);
std::int16_t ShiftOf(Qt::KeyboardModifiers m);

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

class PictureBoxWidget final : public QWidget, public View {
  public:
    PictureBoxWidget(platform::PictureBox& box, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* e) override;
};

class LabelWidget final : public QWidget, public View {
  public:
    LabelWidget(platform::Label& label, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void paintEvent(QPaintEvent*) override;

  private:
    void FitToText();
};

class AlphaImageWidget final : public QWidget, public View {
  public:
    AlphaImageWidget(core::AlphaImage& image, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void paintEvent(QPaintEvent*) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;

  private:
    core::AlphaImage* Image() const;
    QImage m_image;
    bool m_left = false;  // the pointer went off the widget with a button down
};

class TextBoxWidget final : public QLineEdit, public View {
  public:
    TextBoxWidget(core::TextBox& box, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
    void keyPressEvent(QKeyEvent* e) override;

  private:
    core::TextBox* Box() const;
};

class CommandButtonWidget final : public QPushButton, public View {
  public:
    CommandButtonWidget(core::CommandButton& button, QWidget* parent);
};

class OptionButtonWidget final : public QRadioButton, public View {
  public:
    OptionButtonWidget(core::OptionButton& option, QWidget* parent);

  protected:
    void Update(platform::Property p) override;
};

class ShapeWidget final : public QWidget, public View {
  public:
    ShapeWidget(platform::Shape& shape, QWidget* parent);

  protected:
    void paintEvent(QPaintEvent*) override;
};

}  // namespace binding
