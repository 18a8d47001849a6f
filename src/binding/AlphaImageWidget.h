// SPDX-License-Identifier: MIT
// The alpha-image control: a PNG over what lies beneath, with its pointer events.
#pragma once

#include <QImage>
#include <QWidget>

#include "binding/View.h"

namespace core {
class AlphaImage;
}  // namespace core

namespace binding {

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

}  // namespace binding
