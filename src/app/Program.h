// SPDX-License-Identifier: MIT
// The owner of the program's windows: each is created on first use, and a window that has been
// unloaded is made anew the next time it is asked for, as a freshly loaded window.
#pragma once

#include <memory>

namespace core {

class FrmMain;
class FrmMenu;

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

  private:
    std::unique_ptr<FrmMain> m_main;
    std::unique_ptr<FrmMenu> m_menu;
};

}  // namespace core
