// SPDX-License-Identifier: MIT
#include "app/Program.h"

#include "app/FrmMain.h"
#include "settings/FrmMenu.h"

namespace core {

Program::Program() = default;

Program::~Program() {
    // Windows go without their unload handlers: the program is over.
    m_menu.reset();
    m_main.reset();
}

void Program::Start() {
    Main().Load();
}

FrmMain& Program::Main() {
    if (!m_main) {
        m_main = std::make_unique<FrmMain>(*this);
    }
    return *m_main;
}

FrmMenu& Program::Menu() {
    if (!m_menu) {
        m_menu = std::make_unique<FrmMenu>(*this);
    }
    return *m_menu;
}

}  // namespace core
