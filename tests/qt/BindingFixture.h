// SPDX-License-Identifier: MIT
// The program's windows made real with widgets on the offscreen platform, with the other
// services as test doubles (a virtual clock among them).
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>

#include <vector>

#include "Doubles.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "binding/Convert.h"
#include "binding/FormWidget.h"
#include "binding/QtWindowSystem.h"

namespace testing_support {

// The widget that has the keyboard after each of `presses` presses of `key`.
inline std::vector<QWidget*> FocusWalk(Qt::Key key, int presses) {
    std::vector<QWidget*> seen;
    for (int i = 0; i < presses; ++i) {
        QWidget* focused = QApplication::focusWidget();
        if (focused == nullptr) {
            break;
        }
        QKeyEvent press(QEvent::KeyPress, key,
                        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier);
        QApplication::sendEvent(focused, &press);
        seen.push_back(QApplication::focusWidget());
    }
    return seen;
}

class BindingTest : public ::testing::Test {
  protected:
    BindingTest() : m_scope(Services()) { binding::RegisterFontSubstitutions(); }

    core::FrmMain& Start() {
        m_program.Start();
        QApplication::processEvents();
        return m_program.Main();
    }

    template <typename W = QWidget>
    W* WidgetOf(const platform::Control& c) {
        return dynamic_cast<W*>(binding::QtWindowSystem::WidgetOf(c));
    }

    // The harness's doubles, with the real window system and no text double.
    platform::Services Services() {
        platform::Services services = h.Doubles();
        services.windows = &m_windows;
        services.text = nullptr;
        return services;
    }

    testing_support::Harness h;
    binding::QtWindowSystem m_windows;
    platform::ServicesScope m_scope;
    core::Program m_program;
};

}  // namespace testing_support
