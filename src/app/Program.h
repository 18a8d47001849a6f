// SPDX-License-Identifier: MIT
// The owner of the program's windows: each is created on first use, and a window that has been
// unloaded is made anew the next time it is asked for, as a freshly loaded window.
#pragma once

#include <memory>

#include "settings/ProgramWindows.h"

namespace core {

class FrmMain;
class FrmMenu;
class FrmOption;

class Program final : public ProgramWindows {
  public:
    Program();
    ~Program() override;
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the start-up window.
    void Start();
    // Another start asked for the program: the main window comes to the front as its tray
    // icon's left click brings it back, locked if it was locked.
    void ComeToFront();
    // Leaves the program as the tray menu's exit does.
    void Exit();

    FrmMain& Main();
    platform::Form& MainWindow() override;
    FrmMenu& Menu();
    // The settings window; one that has been unloaded is made anew, as a fresh window.
    FrmOption& Option();
    void ShowOption() override;
    void HomePageChanged() override;

  private:
    std::unique_ptr<FrmMain> m_main;
    std::unique_ptr<FrmMenu> m_menu;
    std::unique_ptr<FrmOption> m_option;
};

// Removes what an earlier run that was killed left behind: the settings file's and the data
// files' replacement files, and the GIF splitter's frame files in the temporary directory.
// Only for the one instance of the user, before it writes anything.
void SweepLeftovers();

}  // namespace core
