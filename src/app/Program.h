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

}  // namespace core
