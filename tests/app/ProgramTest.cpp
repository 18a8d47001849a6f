// SPDX-License-Identifier: MIT
// What the program does when another start calls it, when the session ends it, when the
// desktop has no notification area, and what it sweeps up at start.
#include "app/Program.h"

#include <gtest/gtest.h>
#include <sys/time.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Doubles.h"
#include "ScopedEnv.h"
#include "app/FrmMain.h"
#include "forms/Layouts.h"
#include "platform/Shell.h"
#include "settings/FrmMenu.h"
#include "settings/Mod_Config.h"

namespace {

using testing_support::Harness;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

constexpr float kTitleStripY = 300;  // twips: 20 pixels down, above the browser panel
constexpr float kBottomStripY = 8000;

class ProgramTest : public ::testing::Test {
  protected:
    core::FrmMain& Start() {
        m_program.Start();
        return m_program.Main();
    }
    void Settle() { h.clock.Advance(3000); }
    void Unlock(core::FrmMain& main) {
        main.UserName.TextFromView(std::u16string(core::kUserName.defaultValue));
        main.PassWord.TextFromView(std::u16string(core::kPassWord.defaultValue));
        main.CommandButton1.Click.Raise();
        Settle();
    }

    Harness h;
    core::Program m_program;
};

// ---------------------------------------------------------------------------------------------
// Called by another start

// The tray icon's left click, as the shell reports it.
void TrayLeftUp(core::FrmMain& main) {
    main.MouseMove.Raise(0, 0, static_cast<float>(platform::WM_LBUTTONUP) * 15.0f, 0.0f);
}

struct FrontCase {
    const char* name;
    bool unlock;                   // unlocked before it went away
    void (*away)(core::FrmMain&);  // how it went away, or stayed
};

void PrintTo(const FrontCase& c, std::ostream* os) {
    *os << c.name;
}

class ComeToFrontCases : public ProgramTest, public ::testing::WithParamInterface<FrontCase> {};

TEST_P(ComeToFrontCases, ShownNormalAndTheLockAsItWas) {
    const FrontCase& c = GetParam();
    core::FrmMain& main = Start();
    Settle();
    if (c.unlock) {
        Unlock(main);
        ASSERT_FALSE(main.Locked());
    }
    c.away(main);
    const bool lockedBefore = main.Locked();
    m_program.ComeToFront();
    Settle();
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbNormal);
    EXPECT_EQ(main.Locked(), lockedBefore);
    EXPECT_TRUE(h.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ComeToFrontCases,
    ::testing::Values(FrontCase{"hidden in the tray, locked", false, TrayLeftUp},
                      FrontCase{"hidden in the tray, unlocked", true, TrayLeftUp},
                      FrontCase{
                          "minimised by the window system", true,
                          [](core::FrmMain& m) { m.WindowStateFromView(platform::vbMinimized); }},
                      FrontCase{"maximised", false,
                                [](core::FrmMain& m) { m.SetWindowState(platform::vbMaximized); }},
                      FrontCase{"already shown", true, [](core::FrmMain&) {}}));

TEST_F(ProgramTest, ClosedByTheCloseButtonWithTheLockOnComesBackLocked) {
    core::FrmMain& main = Start();
    Settle();
    Unlock(main);
    main.QExit.Click.Raise(platform::vbLeftButton);  // "Lock" is "True": locks and hides
    Settle();
    ASSERT_FALSE(main.Visible());
    m_program.ComeToFront();
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbNormal);
    EXPECT_TRUE(main.Locked());
}

// ---------------------------------------------------------------------------------------------
// Ended by the session

TEST_F(ProgramTest, ExitEndsAsTheMenuDoes) {
    core::FrmMain& main = Start();
    h.shell.calls.clear();
    platform::RunHandler([&] { m_program.Exit(); });
    EXPECT_TRUE(h.process.ended);
    EXPECT_EQ(h.process.status, 0);
    ASSERT_EQ(h.shell.calls.size(), 1u);
    EXPECT_EQ(h.shell.calls[0].message, platform::NIM_DELETE);
    EXPECT_FALSE(main.IsLoaded());
    EXPECT_TRUE(h.messages.shown.empty());
}

// ---------------------------------------------------------------------------------------------
// Without a notification area

TEST_F(ProgramTest, WithoutNotificationAreaTheTitleStripOpensTheMenuAndSaysSoOnce) {
    h.shell.trayAvailable = false;
    core::FrmMain& main = Start();
    main.MouseDown.Raise(platform::vbRightButton, 0, 2000, kTitleStripY);
    EXPECT_EQ(h.windows.popups, std::vector<std::string>{"AppMenu"});
    EXPECT_TRUE(h.windows.moves.empty()) << "a right click there is not a drag";
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].title, u"系统提示");
    EXPECT_NE(h.messages.shown[0].text.find(u"标题栏"), std::u16string::npos);
    EXPECT_EQ(core::ReadSetting(core::kTitleMenuTold), u"True");

    main.MouseDown.Raise(platform::vbRightButton, 0, 2000, kTitleStripY);
    EXPECT_EQ(h.windows.popups.size(), 2u);
    EXPECT_EQ(h.messages.shown.size(), 1u) << "told once";

    // And the next run does not tell again.
    core::Program next;
    next.Start();
    next.Main().MouseDown.Raise(platform::vbRightButton, 0, 2000, kTitleStripY);
    EXPECT_EQ(h.windows.popups.size(), 3u);
    EXPECT_EQ(h.messages.shown.size(), 1u);
}

TEST_F(ProgramTest, TheTitleStripMenuReachesTheExit) {
    h.shell.trayAvailable = false;
    h.WriteSettings("[Setting]\r\nTitleMenuTold=True\r\n");
    core::FrmMain& main = Start();
    h.windows.choose = "QExit";
    main.MouseDown.Raise(platform::vbRightButton, 0, 2000, kTitleStripY);
    EXPECT_TRUE(h.process.ended);
    EXPECT_EQ(h.process.status, 0);
    EXPECT_FALSE(main.IsLoaded());
    EXPECT_TRUE(h.messages.shown.empty());
}

struct PressCase {
    const char* name;
    bool trayAvailable;
    std::int16_t button;
    float y;
    bool menu;
};

void PrintTo(const PressCase& c, std::ostream* os) {
    *os << c.name;
}

class FreeSurfacePressTest : public ProgramTest, public ::testing::WithParamInterface<PressCase> {};

TEST_P(FreeSurfacePressTest, MenuOrDrag) {
    const PressCase& c = GetParam();
    h.shell.trayAvailable = c.trayAvailable;
    h.WriteSettings("[Setting]\r\nTitleMenuTold=True\r\n");
    core::FrmMain& main = Start();
    main.MouseDown.Raise(c.button, 0, 2000, c.y);
    EXPECT_EQ(h.windows.popups.size(), c.menu ? 1u : 0u);
    EXPECT_EQ(h.windows.moves.size(), c.menu ? 0u : 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, FreeSurfacePressTest,
                         ::testing::Values(PressCase{"no tray, right on the title strip", false,
                                                     platform::vbRightButton, kTitleStripY, true},
                                           PressCase{"no tray, left on the title strip", false,
                                                     platform::vbLeftButton, kTitleStripY, false},
                                           PressCase{"no tray, right on the bottom strip", false,
                                                     platform::vbRightButton, kBottomStripY, false},
                                           PressCase{"tray, right on the title strip", true,
                                                     platform::vbRightButton, kTitleStripY,
                                                     false}));

TEST_F(ProgramTest, ANotificationAreaThatGoesAwayLeavesTheTitleStripMenu) {
    core::FrmMain& main = Start();
    main.MouseDown.Raise(platform::vbRightButton, 0, 2000, kTitleStripY);
    EXPECT_TRUE(h.windows.popups.empty());
    h.shell.trayAvailable = false;  // the panel holding it was closed
    main.MouseDown.Raise(platform::vbRightButton, 0, 2000, kTitleStripY);
    EXPECT_EQ(h.windows.popups, std::vector<std::string>{"AppMenu"});
    EXPECT_EQ(h.messages.shown.size(), 1u);
}

TEST_F(ProgramTest, AHiddenWindowComesBackToTheTaskBarWhenTheNotificationAreaGoes) {
    core::FrmMain& main = Start();
    TrayLeftUp(main);
    ASSERT_FALSE(main.Visible());
    h.clock.Advance(5000);
    EXPECT_FALSE(main.Visible()) << "hidden while the tray icon is there";
    h.shell.trayAvailable = false;
    h.clock.Advance(1000);
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbMinimized) << "on the task bar, not in front";
}

// ---------------------------------------------------------------------------------------------
// The sweep at start

void Age(const std::filesystem::path& p) {
    struct timeval times[2];
    ::gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= 3600;
    times[1] = times[0];
    ASSERT_EQ(::lutimes(p.c_str(), times), 0) << p;
}

TEST_F(ProgramTest, SweepTakesWhatAKilledRunLeftAndNothingElse) {
    TempDir tmp;
    testing_support::ScopedEnv tmpEnv("TMPDIR", tmp.path().string());
    const std::filesystem::path config = h.SettingsFile().parent_path();
    const std::filesystem::path data = core::DataWriteDirectory();
    std::filesystem::create_directories(config);
    std::filesystem::create_directories(data);
    h.WriteSettings("[Setting]\r\nLock=False\r\n");
    const std::vector<std::filesystem::path> leftovers = {
        config / ".Windows.INI.k3Jq9Z",   data / ".101.gif.Ab12Cd", data / ".103.gif.zzzzzz",
        data / ".BlackGround.bmp.Q1w2E3", tmp / " 01A2B.GIF",       tmp / " 12FF.TMP"};
    const std::vector<std::filesystem::path> kept = {
        h.SettingsFile(),     config / ".other.ini.k3Jq9Z",
        data / "101.gif",     data / ".Exit_up.png.Ab12Cd",
        tmp / "notes.GIF",    tmp / ".Windows.INI.k3Jq9Z",
        config / " 01A2B.GIF"};
    for (const auto& p : leftovers) {
        WriteFile(p, "left");
        Age(p);
    }
    for (const auto& p : kept) {
        if (!std::filesystem::exists(p)) {
            WriteFile(p, "kept");
        }
        Age(p);
    }
    const auto fresh = tmp / " 0FFFF.GIF";  // a walk of another run of ours, right now
    WriteFile(fresh, "live");

    core::SweepLeftovers();

    for (const auto& p : leftovers) {
        EXPECT_FALSE(std::filesystem::exists(p)) << p;
    }
    for (const auto& p : kept) {
        EXPECT_TRUE(std::filesystem::exists(p)) << p;
    }
    EXPECT_TRUE(std::filesystem::exists(fresh));
    EXPECT_EQ(core::ReadSetting(core::kLock), u"False");
}

}  // namespace
