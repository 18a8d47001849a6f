// SPDX-License-Identifier: MIT
#include "settings/FrmMenu.h"

#include "platform/Runtime.h"
#include "settings/ProgramWindows.h"

namespace core {

FrmMenu::FrmMenu(ProgramWindows& program) : Form("FrmMenu"), m_program(program) {
    SetCaption(u"Form1");
    Move(0, 0, 4680, 2940);
    SetCenteredOnLoad(false);
    for (platform::Menu* item : {&update, &a, &Setting, &b, &QExit}) {
        AppMenu.Add(*item);
    }
    Setting.Click.Connect([this] { Setting_Click(); });
    QExit.Click.Connect([this] { QExit_Click(); });
}

void FrmMenu::Setting_Click() {
    // The settings window comes up (or to the front) and the main window goes to the tray,
    // without passing through the close button's lock.
    m_program.ShowOption();
    m_program.MainWindow().SetWindowState(platform::vbMinimized);
}

void FrmMenu::QExit_Click() {
    // The main window goes first, so that its unload takes the tray icon away; then this
    // window; then the process ends at once, whatever other windows are open.
    m_program.MainWindow().Unload();
    Unload();
    platform::Process().End(0);
}

}  // namespace core
