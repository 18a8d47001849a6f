// SPDX-License-Identifier: MIT
// The owner of the program's windows: each is created on first use, and a window that has been
// unloaded is made anew the next time it is asked for, as a freshly loaded window.
#pragma once

#include <memory>

namespace core {

class FrmMain;
class FrmMenu;
class FrmOption;

class Program {
  public:
    Program();
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    // Loads the start-up window.
    void Start();

    FrmMain& Main();
    FrmMenu& Menu();
    // The settings window; one that has been unloaded is made anew, as a fresh window.
    FrmOption& Option();
    // Shows the settings window (loading it first, or bringing it to the front).
    void ShowOption();

  private:
    std::unique_ptr<FrmMain> m_main;
    std::unique_ptr<FrmMenu> m_menu;
    std::unique_ptr<FrmOption> m_option;
};

}  // namespace core
