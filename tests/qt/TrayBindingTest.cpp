// SPDX-License-Identifier: MIT
// The tray icon made real with QSystemTrayIcon: its clicks reach the main window as the
// window's mouse-move coordinate, and the window reads them back at any logical dpi.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSystemTrayIcon>

#include <string>
#include <vector>

#include "Doubles.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "binding/QtShell.h"

namespace {

class TrayBindingTest : public ::testing::Test {
  protected:
    TrayBindingTest() : m_scope(Services()) {}

    // The harness's doubles, with the real tray.
    platform::Services Services() {
        platform::Services services = h.Doubles();
        services.shell = &m_shell;
        return services;
    }

    // What the user does on the icon, as the tray reports it.
    void Activate(QSystemTrayIcon& icon, QSystemTrayIcon::ActivationReason reason) {
        emit icon.activated(reason);
        QApplication::processEvents();  // the window hears of it as a posted message
    }

    testing_support::Harness h;
    binding::QtShell m_shell;
    platform::ServicesScope m_scope;
    core::Program m_program;
};

TEST_F(TrayBindingTest, ClicksAreReadBackAtEveryLogicalDpi) {
    m_program.Start();
    core::FrmMain& main = m_program.Main();
    QSystemTrayIcon* icon = m_shell.TrayIcon(main.hWnd(), 1000);
    ASSERT_NE(icon, nullptr);
    ASSERT_TRUE(main.Visible());

    // What the window did for each dpi: hid and showed again on two left clicks, opened the
    // menu on a right click, did nothing on a double click and on the middle button.
    std::vector<std::string> misread;
    for (int dpi = 72; dpi <= 288; ++dpi) {
        h.screen.SetLogicalDpi(dpi);
        std::string seen;
        auto Note = [&] {
            seen += main.Visible() ? " shown" : " hidden";
            seen += main.WindowState() == platform::vbNormal      ? "/normal"
                    : main.WindowState() == platform::vbMinimized ? "/minimised"
                                                                  : "/maximised";
            seen += " menus=" + std::to_string(h.windows.popups.size());
        };
        h.windows.popups.clear();
        Activate(*icon, QSystemTrayIcon::Trigger);  // left button: down, up
        Note();
        Activate(*icon, QSystemTrayIcon::Trigger);
        Note();
        Activate(*icon, QSystemTrayIcon::Context);  // right button: down, up
        Note();
        Activate(*icon, QSystemTrayIcon::DoubleClick);
        Activate(*icon, QSystemTrayIcon::MiddleClick);
        Note();
        for (const std::string& menu : h.windows.popups) {
            seen += " " + menu;
        }
        if (seen !=
            " hidden/minimised menus=0 shown/normal menus=0 shown/normal menus=1"
            " shown/normal menus=1 AppMenu") {
            misread.push_back(std::to_string(dpi) + " dpi:" + seen);
        }
        // Back where each round starts, whatever happened.
        main.SetWindowState(platform::vbNormal);
        main.SetVisible(true);
    }
    EXPECT_EQ(misread, std::vector<std::string>{});
}

}  // namespace
