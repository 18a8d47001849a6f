// SPDX-License-Identifier: MIT
#include "app/Program.h"

#include "app/FrmMain.h"
#include "settings/FrmMenu.h"
#include "settings/FrmOption.h"

namespace core {

Program::Program() = default;

Program::~Program() {
    // Windows go without their unload handlers: the program is over.
    m_option.reset();
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

platform::Form& Program::MainWindow() {
    return Main();
}

FrmMenu& Program::Menu() {
    if (!m_menu) {
        m_menu = std::make_unique<FrmMenu>(*this);
    }
    return *m_menu;
}

FrmOption& Program::Option() {
    // An unloaded window is not touched in its own handler: it is replaced only when asked
    // for again.
    if (m_option && !m_option->IsLoaded()) {
        m_option.reset();
    }
    if (!m_option) {
        m_option = std::make_unique<FrmOption>(*this);
    }
    return *m_option;
}

void Program::HomePageChanged() {
    if (m_main && m_main->IsLoaded()) {
        m_main->OpenHomePage();
    }
}

void Program::ShowOption() {
    FrmOption& option = Option();
    option.Show();
    option.BringToFront();
}

}  // namespace core
