// SPDX-License-Identifier: MIT
// Makes loaded forms real: one top-level widget per form, one child widget per control.
#pragma once

#include <QObject>
#include <QPointer>

#include <map>
#include <vector>

#include "platform/Form.h"

class QWebEngineProfile;
class QWidget;

namespace binding {

class FormWidget;

class QtWindowSystem final : public QObject, public platform::IWindowSystem {
  public:
    QtWindowSystem();
    ~QtWindowSystem() override;

    void Realize(platform::Form& form) override;
    void Destroy(platform::Form& form) override;
    void PopupMenu(platform::Form& owner, platform::Menu& menu) override;
    bool StartSystemMove(platform::Form& form) override;
    void ReleaseCapture() override;

    // The widget that shows `form`, while it is loaded (for tests and the binding itself).
    FormWidget* WidgetOf(const platform::Form& form) const;
    // The widget that shows `control`, if any.
    static QWidget* WidgetOf(const platform::Control& control);

  private:
    void Build(platform::Control& container, QWidget* parent);
    void SetTabOrder(const platform::Form& form);
    QWebEngineProfile& Profile();

    std::map<const platform::Form*, FormWidget*> m_forms;
    std::vector<QPointer<FormWidget>> m_retired;  // taken down, deletion pending
    QWebEngineProfile* m_profile = nullptr;
};

}  // namespace binding
