// SPDX-License-Identifier: MIT
#include "app/Program.h"

#include <chrono>
#include <string>

#include "app/FrmMain.h"
#include "forms/Layouts.h"
#include "gif/clsGifs.h"
#include "platform/Files.h"
#include "platform/Kernel.h"
#include "platform/Services.h"
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

void Program::ComeToFront() {
    Main().ComeToFront();
}

void Program::Exit() {
    FrmMenu& menu = Menu();
    menu.Load();
    menu.QExit.Click.Raise();
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

void SweepLeftovers() {
    // A writer holds its new file for moments; one untouched for a minute is nobody's.
    constexpr std::chrono::seconds kAge{60};
    const std::filesystem::path settings = platform::CurrentServices().settingsFile;
    const std::string settingsName = settings.filename().string();
    platform::RemoveOwnLeftovers(
        settings.parent_path(),
        [&](std::string_view name) { return platform::IsReplacementFileOf(name, settingsName); },
        kAge);
    // Where the program writes its data files (beside the program, or the user's own directory).
    platform::RemoveOwnLeftovers(
        DataWriteDirectory(),
        [](std::string_view name) {
            for (const std::string_view file :
                 {"101.gif", "102.gif", "103.gif", "BlackGround.bmp"}) {
                if (platform::IsReplacementFileOf(name, file)) {
                    return true;
                }
            }
            return false;
        },
        kAge);
    char temp[platform::MAX_PATH];
    const std::uint32_t length = platform::GetTempPathA(sizeof temp, temp);
    if (length > 0 && length < sizeof temp) {
        platform::RemoveOwnLeftovers(std::string(temp, length), clsGifs::IsFrameFileName, kAge);
    }
}

}  // namespace core
