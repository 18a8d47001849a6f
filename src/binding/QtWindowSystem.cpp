// SPDX-License-Identifier: MIT
#include "binding/QtWindowSystem.h"

#include <QCursor>
#include <QMenu>
#include <QWebEngineProfile>
#include <QWindow>

#include <algorithm>

#include "binding/AlphaImageWidget.h"
#include "binding/Browser.h"
#include "binding/CommandButtonWidget.h"
#include "binding/Convert.h"
#include "binding/FormWidget.h"
#include "binding/LabelWidget.h"
#include "binding/OptionButtonWidget.h"
#include "binding/PictureBoxWidget.h"
#include "binding/ShapeWidget.h"
#include "binding/TextBoxWidget.h"
#include "binding/UserControlWidget.h"
#include "forms/AlphaImage.h"
#include "forms/OptionButton.h"
#include "forms/TextBox.h"
#include "forms/WebBrowser.h"
#include "platform/Timer.h"
#include "platform/UserControl.h"

namespace binding {

QtWindowSystem::QtWindowSystem() = default;

QtWindowSystem::~QtWindowSystem() {
    // Every page goes before the profile it belongs to, those of windows already taken down
    // (whose deletion may still be pending) included.
    for (auto& [form, widget] : m_forms) {
        delete widget;
    }
    m_forms.clear();
    for (const QPointer<FormWidget>& retired : m_retired) {
        delete retired.data();
    }
    delete m_profile;
}

QWebEngineProfile& QtWindowSystem::Profile() {
    if (m_profile == nullptr) {
        m_profile = CreateBrowserProfile(nullptr);
    }
    return *m_profile;
}

void QtWindowSystem::Realize(platform::Form& form) {
    if (m_forms.count(&form) != 0) {
        return;
    }
    auto* widget = new FormWidget(form);
    m_forms[&form] = widget;
    Build(form, widget);
    SetTabOrder(form);
}

namespace {

void CollectTabStops(const platform::Control& c, std::vector<const platform::Control*>& out) {
    for (const platform::Control* child : c.Controls()) {
        if (child->TabStop() && child->TabIndex() >= 0) {
            out.push_back(child);
        }
        CollectTabStops(*child, out);
    }
}

}  // namespace

// Tab moves through the controls in the order of their tab indexes; disabled ones (the
// browser under the lock panel, the panel's boxes once it has slid away) are passed over.
void QtWindowSystem::SetTabOrder(const platform::Form& form) {
    std::vector<const platform::Control*> stops;
    CollectTabStops(form, stops);
    std::stable_sort(stops.begin(), stops.end(),
                     [](const platform::Control* a, const platform::Control* b) {
                         return a->TabIndex() < b->TabIndex();
                     });
    QWidget* previous = nullptr;
    for (const platform::Control* c : stops) {
        QWidget* w = WidgetOf(*c);
        if (w == nullptr || w->focusPolicy() == Qt::NoFocus) {
            continue;
        }
        if (previous != nullptr) {
            QWidget::setTabOrder(previous, w);
        }
        previous = w;
    }
}

// Children are listed front to back; Qt stacks later siblings over earlier ones, so they are
// made from the back forwards.
void QtWindowSystem::Build(platform::Control& container, QWidget* parent) {
    const std::vector<platform::Control*>& children = container.Controls();
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        platform::Control& c = **it;
        QWidget* w = nullptr;
        if (dynamic_cast<platform::Timer*>(&c) != nullptr) {
            continue;  // timers run on the clock and have no window
        } else if (auto* box = dynamic_cast<platform::PictureBox*>(&c)) {
            w = new PictureBoxWidget(*box, parent);
        } else if (auto* label = dynamic_cast<platform::Label*>(&c)) {
            w = new LabelWidget(*label, parent);
        } else if (auto* image = dynamic_cast<core::AlphaImage*>(&c)) {
            w = new AlphaImageWidget(*image, parent);
        } else if (auto* text = dynamic_cast<core::TextBox*>(&c)) {
            w = new TextBoxWidget(*text, parent);
        } else if (auto* button = dynamic_cast<core::CommandButton*>(&c)) {
            w = new CommandButtonWidget(*button, parent);
        } else if (auto* option = dynamic_cast<core::OptionButton*>(&c)) {
            w = new OptionButtonWidget(*option, parent);
        } else if (auto* shape = dynamic_cast<platform::Shape*>(&c)) {
            w = new ShapeWidget(*shape, parent);
        } else if (auto* browser = dynamic_cast<core::WebBrowser*>(&c)) {
            w = new BrowserWidget(*browser, Profile(), parent);
        } else if (auto* user = dynamic_cast<platform::UserControl*>(&c)) {
            w = new UserControlWidget(*user, parent);
        } else {
            continue;
        }
        w->setObjectName(QString::fromStdString(c.Name()));
        w->setVisible(c.Visible());
        w->setEnabled(c.Enabled());
        if (!c.TabStop()) {
            w->setFocusPolicy(Qt::NoFocus);
        }
        Build(c, w);
    }
}

void QtWindowSystem::Destroy(platform::Form& form) {
    const auto it = m_forms.find(&form);
    if (it == m_forms.end()) {
        return;
    }
    FormWidget* widget = it->second;
    m_forms.erase(it);
    widget->hide();
    widget->deleteLater();  // the form's own handler may be on the stack
    m_retired.erase(std::remove_if(m_retired.begin(), m_retired.end(),
                                   [](const QPointer<FormWidget>& p) { return p.isNull(); }),
                    m_retired.end());
    m_retired.emplace_back(widget);
}

FormWidget* QtWindowSystem::WidgetOf(const platform::Form& form) const {
    const auto it = m_forms.find(&form);
    return it != m_forms.end() ? it->second : nullptr;
}

QWidget* QtWindowSystem::WidgetOf(const platform::Control& control) {
    return dynamic_cast<QWidget*>(dynamic_cast<View*>(control.View()));
}

void QtWindowSystem::PopupMenu(platform::Form& owner, platform::Menu& menu) {
    QMenu popup(WidgetOf(owner));
    std::map<QAction*, platform::Menu*> items;
    for (platform::Menu* item : menu.Items()) {
        if (!item->Visible()) {
            continue;
        }
        if (item->IsSeparator()) {
            popup.addSeparator();
            continue;
        }
        QAction* action = popup.addAction(ToQString(item->Caption()));
        action->setObjectName(QString::fromStdString(item->Name()));
        action->setEnabled(item->Enabled());
        action->setCheckable(item->Checked());
        action->setChecked(item->Checked());
        items[action] = item;
    }
    // The chosen item's Click runs once the menu has closed.
    QAction* chosen = popup.exec(QCursor::pos());
    if (chosen != nullptr && items.count(chosen) != 0) {
        items[chosen]->Click.Raise();
    }
}

bool QtWindowSystem::StartSystemMove(platform::Form& form) {
    // The window manager moves the window while the button stays down, as it does when its
    // title bar is dragged. Where none offers that (no window manager, some Wayland shells),
    // the window follows the pointer by itself.
    FormWidget* widget = WidgetOf(form);
    QWindow* window = widget != nullptr ? widget->windowHandle() : nullptr;
    if (window == nullptr) {
        return false;
    }
    return window->startSystemMove() || widget->FollowPointer();
}

void QtWindowSystem::ReleaseCapture() {
    if (QWidget* grabber = QWidget::mouseGrabber()) {
        grabber->releaseMouse();
    }
}

}  // namespace binding
