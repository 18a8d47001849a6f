// SPDX-License-Identifier: MIT
#include "app/FrmMain.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "Doubles.h"
#include "RecordingEngine.h"
#include "app/Program.h"
#include "platform/Resources.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "settings/FrmMenu.h"
#include "settings/Mod_Config.h"

namespace {

using testing_support::Harness;
using testing_support::ReadFile;
using testing_support::RecordingEngine;
using testing_support::WriteFile;

constexpr long long kMinute = 60'000;

class FrmMainTest : public ::testing::Test {
  protected:
    // Starts the program the way main() does, with the browser recorded.
    core::FrmMain& Start() {
        core::FrmMain& main = m_program.Main();
        m_engine.Attach(main.Web1);
        m_program.Start();
        for (const auto& m : h.messages.shown) {
            ADD_FAILURE() << "message box: " << platform::ToUtf8Lossy(m.text);
        }
        return main;
    }
    // Sends one tray notification the way the shell reports it: the mouse message in the
    // horizontal coordinate, in twips.
    void Tray(core::FrmMain& main, int message) {
        main.MouseMove.Raise(0, 0, static_cast<float>(message) * 15.0f, 0.0f);
    }

    Harness h;
    RecordingEngine m_engine{h.clock};
    core::Program m_program;
};

// ---------------------------------------------------------------------------------------------
// Keep-alive

struct ScheduleCase {
    const char* name;
    const char* lockTime;  // nullptr: no settings file
    std::vector<long long> reloadMinutes;
};

void PrintTo(const ScheduleCase& c, std::ostream* os) {
    *os << c.name;
}

class ReloadScheduleTest : public FrmMainTest,
                           public ::testing::WithParamInterface<ScheduleCase> {};

TEST_P(ReloadScheduleTest, ReloadsAtTheMinutesExpected) {
    const ScheduleCase& c = GetParam();
    if (c.lockTime != nullptr) {
        h.WriteSettings(std::string("[Setting]\nLockTime=") + c.lockTime + "\n");
    }
    Start();
    h.clock.Advance(50 * kMinute);
    std::vector<long long> minutes;
    for (long long at : m_engine.refreshes) {
        EXPECT_EQ(at % kMinute, 0) << "reloads fall on the minute ticks";
        minutes.push_back(at / kMinute);
    }
    std::vector<long long> expected;
    for (long long m : c.reloadMinutes) {
        if (m <= 50) {
            expected.push_back(m);
        }
    }
    EXPECT_EQ(minutes, expected);
}

std::vector<long long> Every(long long step, long long first) {
    std::vector<long long> v;
    for (long long m = first; m <= 50; m += step) {
        v.push_back(m);
    }
    return v;
}

INSTANTIATE_TEST_SUITE_P(Cases, ReloadScheduleTest,
                         ::testing::Values(ScheduleCase{"NoFile", nullptr, {16, 32, 48}},
                                           ScheduleCase{"Ten", "10", {11, 22, 33, 44}},
                                           ScheduleCase{"Zero", "0", Every(1, 1)},
                                           ScheduleCase{"BlanksAround", "  23 ", {24, 48}},
                                           ScheduleCase{"Letters", "abc", {16, 32, 48}},
                                           ScheduleCase{"Negative", "-3", {16, 32, 48}},
                                           ScheduleCase{"Fraction", "7.5", {16, 32, 48}},
                                           ScheduleCase{"Empty", "", {16, 32, 48}},
                                           ScheduleCase{"TooLarge", "99999999999", {16, 32, 48}}),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(FrmMainTest, OpensTheHomePageOnceAfterFiveSecondsEvenWhileLocked) {
    core::FrmMain& main = Start();
    h.clock.Advance(4999);
    EXPECT_TRUE(m_engine.navigations.empty());
    h.clock.Advance(1);
    ASSERT_EQ(m_engine.navigations.size(), 1u);
    EXPECT_EQ(m_engine.navigations[0].first, 5000);
    EXPECT_EQ(m_engine.navigations[0].second, u"http://bbs.loomhaven.example");
    EXPECT_FALSE(main.Timer1.Running());
    h.clock.Advance(60 * kMinute);
    EXPECT_EQ(m_engine.navigations.size(), 1u);
}

TEST_F(FrmMainTest, ReloadPeriodIsReadOnceAtLoad) {
    h.WriteSettings("[Setting]\nLockTime=10\n");
    core::FrmMain& main = Start();
    ASSERT_TRUE(core::WriteSetting(core::kLockTime, u"23"));
    h.clock.Advance(22 * kMinute);
    EXPECT_EQ(m_engine.refreshes, (std::vector<long long>{11 * kMinute, 22 * kMinute}));
    EXPECT_EQ(main.LockTimeValue(), u"10");
}

TEST_F(FrmMainTest, ReloadsGoOnWhileHidden) {
    core::FrmMain& main = Start();
    Tray(main, platform::WM_LBUTTONUP);
    ASSERT_FALSE(main.Visible());
    h.clock.Advance(32 * kMinute);
    EXPECT_EQ(m_engine.refreshes.size(), 2u);
}

// A page whose renderer keeps dying is reloaded after a wait that doubles each time, up to
// five minutes; a page that loads and then lives for a minute is well again.
TEST_F(FrmMainTest, DeadRendererIsReloadedWithAGrowingWait) {
    h.WriteSettings("[Setting]\nLockTime=100000\n");  // no scheduled reload in the way
    core::FrmMain& main = Start();
    h.clock.Advance(6000);  // the home page is open
    m_engine.refreshes.clear();

    // Each reload loads the page, whose renderer dies again at once.
    const long long kSecond = 1000;
    std::vector<long long> waits;
    for (int death = 0; death < 12; ++death) {
        main.Web1.LoadFinished(true);
        main.Web1.RendererEnded();
        const long long diedAt = h.clock.Elapsed();
        const size_t before = m_engine.refreshes.size();
        h.clock.Advance(10 * kMinute);
        ASSERT_EQ(m_engine.refreshes.size(), before + 1) << "one reload for each death";
        waits.push_back(m_engine.refreshes.back() - diedAt);
    }
    const std::vector<long long> expected = {1, 2, 4, 8, 16, 32, 64, 128, 256, 300, 300, 300};
    std::vector<long long> seconds;
    for (long long w : waits) {
        seconds.push_back(w / kSecond);
    }
    EXPECT_EQ(seconds, expected);

    // Several deaths while a reload is pending make one reload.
    const size_t before = m_engine.refreshes.size();
    main.Web1.RendererEnded();
    main.Web1.RendererEnded();
    h.clock.Advance(10 * kMinute);
    EXPECT_EQ(m_engine.refreshes.size(), before + 1);

    // Loaded and alive for a minute: the next death is recovered after a second again.
    main.Web1.LoadFinished(true);
    h.clock.Advance(kMinute);
    main.Web1.RendererEnded();
    EXPECT_EQ(main.Web1.RecoveryDelayMs(), 1000u);
    const long long diedAt = h.clock.Elapsed();
    h.clock.Advance(2 * kSecond);
    ASSERT_FALSE(m_engine.refreshes.empty());
    EXPECT_EQ(m_engine.refreshes.back() - diedAt, kSecond);

    // A load that fails, or a page that dies within the minute, does not make it well.
    main.Web1.LoadFinished(false);
    h.clock.Advance(kMinute);
    EXPECT_EQ(main.Web1.RecoveryDelayMs(), 2000u);
    main.Web1.LoadFinished(true);
    h.clock.Advance(kMinute - kSecond);
    main.Web1.RendererEnded();
    EXPECT_EQ(main.Web1.RecoveryDelayMs(), 2000u);
}

TEST(ReloadPeriod, ParsesWholeMinutesOnly) {
    EXPECT_EQ(core::ReloadPeriod(u"15"), 15);
    EXPECT_EQ(core::ReloadPeriod(u"0"), 0);
    EXPECT_EQ(core::ReloadPeriod(u" 007 "), 7);
    EXPECT_EQ(core::ReloadPeriod(u"2147483647"), 2147483647);
    for (const char16_t* bad :
         {u"", u"   ", u"+5", u"1e3", u"1 0", u"\t10", u"2147483648", u"１０"}) {
        EXPECT_EQ(core::ReloadPeriod(bad), 15) << platform::ToUtf8Lossy(bad);
    }
}

// ---------------------------------------------------------------------------------------------
// Clock

TEST(ClockCaption, TwelveHourWithoutLeadingZeros) {
    struct Case {
        int h, m, s;
        const char16_t* caption;
    };
    const Case cases[] = {{0, 5, 9, u"0:5:9"},    {12, 30, 0, u"12:30:0"},
                          {13, 7, 45, u"1:7:45"}, {23, 59, 59, u"11:59:59"},
                          {0, 0, 0, u"0:0:0"},    {11, 0, 10, u"11:0:10"}};
    for (const Case& c : cases) {
        EXPECT_EQ(core::ClockCaption(c.h, c.m, c.s), c.caption);
    }
}

TEST_F(FrmMainTest, ClockLabelFollowsTheLocalTime) {
    h.clock.SetTime(2026, 12, 9, 13, 7, 44);
    core::FrmMain& main = Start();
    h.clock.Advance(999);
    EXPECT_EQ(main.Label2.Caption(), u"Label2");
    h.clock.Advance(1);
    EXPECT_EQ(main.Label2.Caption(), u"1:7:45");
    h.clock.Advance(15 * 1000);
    EXPECT_EQ(main.Label2.Caption(), u"1:8:0");
}

// ---------------------------------------------------------------------------------------------
// Tray route and minimising

TEST_F(FrmMainTest, TrayNotificationsRoute) {
    core::FrmMain& main = Start();
    ASSERT_TRUE(main.Visible());
    for (const std::uint32_t message :
         {platform::WM_MOUSEMOVE, platform::WM_LBUTTONDOWN, platform::WM_LBUTTONDBLCLK,
          platform::WM_RBUTTONDOWN, platform::WM_RBUTTONDBLCLK, platform::WM_MBUTTONDOWN,
          platform::WM_MBUTTONUP}) {
        Tray(main, message);
        EXPECT_TRUE(main.Visible()) << message;
        EXPECT_EQ(main.WindowState(), platform::vbNormal) << message;
    }
    EXPECT_TRUE(h.windows.popups.empty());

    Tray(main, platform::WM_LBUTTONUP);  // left button released: hide
    EXPECT_FALSE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbMinimized);
    Tray(main, platform::WM_LBUTTONUP);  // and back, in normal state
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbNormal);

    main.SetWindowState(platform::vbMaximized);
    Tray(main, platform::WM_LBUTTONUP);  // a maximised window comes back normal too
    EXPECT_EQ(main.WindowState(), platform::vbNormal);
    EXPECT_TRUE(main.Visible());

    Tray(main, platform::WM_RBUTTONUP);  // right button released: the menu, at the pointer
    EXPECT_EQ(h.windows.popups, std::vector<std::string>{"AppMenu"});
    EXPECT_TRUE(m_program.Menu().IsLoaded());
    EXPECT_FALSE(m_program.Menu().Visible());
}

TEST_F(FrmMainTest, MinimisingByAnyMeansHides) {
    core::FrmMain& main = Start();
    main.WindowStateFromView(platform::vbMinimized);  // the window system minimised it
    EXPECT_FALSE(main.Visible());
}

// Hidden, the window stops its clock (nothing would see it) but never its reload schedule;
// shown again, the clock reads the time at once rather than a second later.
enum class HideRoute { TrayClick, MinimisedBySystem, CloseButton };

class HiddenClockTest : public FrmMainTest, public ::testing::WithParamInterface<HideRoute> {};

TEST_P(HiddenClockTest, StopsTheClockButNotTheReloads) {
    h.clock.SetTime(2026, 12, 9, 13, 7, 44);
    core::FrmMain& main = Start();
    h.clock.Advance(2000);
    ASSERT_EQ(main.Label2.Caption(), u"1:7:46");

    switch (GetParam()) {
        case HideRoute::TrayClick:
            Tray(main, platform::WM_LBUTTONUP);
            break;
        case HideRoute::MinimisedBySystem:
            main.WindowStateFromView(platform::vbMinimized);
            break;
        case HideRoute::CloseButton:
            main.QExit.Click.Raise(platform::vbLeftButton);
            break;
    }
    ASSERT_FALSE(main.Visible());
    EXPECT_FALSE(main.Timer2.Running());
    h.clock.Advance(20 * kMinute);
    EXPECT_EQ(main.Label2.Caption(), u"1:7:46") << "no clock ticks while hidden";
    EXPECT_EQ(m_engine.refreshes, std::vector<long long>{16 * kMinute})
        << "the schedule goes on while hidden";

    Tray(main, platform::WM_LBUTTONUP);  // back from the tray
    ASSERT_TRUE(main.Visible());
    EXPECT_EQ(main.Label2.Caption(), u"1:27:46") << "up to date the moment it shows";
    h.clock.Advance(1000);
    EXPECT_EQ(main.Label2.Caption(), u"1:27:47");
}

std::string RouteName(const ::testing::TestParamInfo<HideRoute>& route) {
    const char* const names[] = {"TrayClick", "MinimisedBySystem", "CloseButton"};
    return names[static_cast<int>(route.param)];
}

INSTANTIATE_TEST_SUITE_P(Routes, HiddenClockTest,
                         ::testing::Values(HideRoute::TrayClick, HideRoute::MinimisedBySystem,
                                           HideRoute::CloseButton),
                         RouteName);

TEST_F(FrmMainTest, WithoutNotificationAreaMinimisingKeepsTheWindowReachable) {
    h.shell.trayAvailable = false;
    core::FrmMain& main = Start();
    main.WindowStateFromView(platform::vbMinimized);
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbMinimized);
}

// ---------------------------------------------------------------------------------------------
// Start-up and end

TEST_F(FrmMainTest, LoadTakesTheFrameAwayAndAddsTheTrayIcon) {
    core::FrmMain& main = Start();
    EXPECT_EQ(main.BorderStyle(), platform::vbBSNone);
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.QExit.Left(), 11145 - 660);
    EXPECT_EQ(main.Picture2.Left(), -45 + 11145);
    EXPECT_EQ(main.Picture2.Top(), 780);
    ASSERT_EQ(h.shell.calls.size(), 1u);
    EXPECT_EQ(h.shell.calls[0].message, platform::NIM_ADD);
    EXPECT_EQ(h.windows.realized, std::vector<std::string>{"FrmMain"});
}

TEST_F(FrmMainTest, UnloadDeletesTheTrayIcon) {
    core::FrmMain& main = Start();
    main.Unload();
    ASSERT_EQ(h.shell.calls.size(), 2u);
    EXPECT_EQ(h.shell.calls[1].message, platform::NIM_DELETE);
    EXPECT_FALSE(main.LockTimer.Running());
    EXPECT_FALSE(main.Timer2.Running());
}

TEST_F(FrmMainTest, ExitItemRemovesTheIconBeforeTheProcessEnds) {
    core::FrmMain& main = Start();
    h.windows.choose = "QExit";
    h.shell.calls.clear();
    Tray(main, platform::WM_RBUTTONUP);
    EXPECT_TRUE(h.process.ended);
    EXPECT_EQ(h.process.status, 0);
    ASSERT_EQ(h.shell.calls.size(), 1u);
    EXPECT_EQ(h.shell.calls[0].message, platform::NIM_DELETE);
    EXPECT_FALSE(main.IsLoaded());
    EXPECT_FALSE(m_program.Menu().IsLoaded());
    // Nothing runs after the end: no more ticks, no more reloads.
    h.clock.Advance(60 * kMinute);
    EXPECT_TRUE(m_engine.refreshes.empty());
}

TEST_F(FrmMainTest, UpdateItemDoesNothing) {
    core::FrmMain& main = Start();
    h.windows.choose = "update";
    Tray(main, platform::WM_RBUTTONUP);
    EXPECT_FALSE(h.process.ended);
    EXPECT_TRUE(main.Visible());
}

// ---------------------------------------------------------------------------------------------
// Banner files

std::vector<std::uint8_t> Bytes(const std::filesystem::path& p) {
    const std::string s = ReadFile(p);
    return {s.begin(), s.end()};
}

TEST_F(FrmMainTest, WritesTheThreeBannersExactly) {
    const auto dir = h.AppPath() / "data" / "image";
    std::filesystem::create_directories(dir);
    WriteFile(dir / "103.gif", std::string(2'000'000, 'x'));  // an older, longer file
    Start();
    for (int id : {101, 102, 103}) {
        const std::vector<std::uint8_t> resource = platform::LoadResData(id, "CUSTOM");
        ASSERT_FALSE(resource.empty()) << id;
        EXPECT_EQ(Bytes(dir / (std::to_string(id) + ".gif")), resource) << id;
    }
}

TEST_F(FrmMainTest, CreatesAMissingDataDirectory) {
    Start();
    EXPECT_EQ(Bytes(h.AppPath() / "data" / "image" / "101.gif"),
              platform::LoadResData(101, "CUSTOM"));
}

TEST_F(FrmMainTest, BannerThatCannotBeWrittenDoesNotStopStartUp) {
    std::filesystem::create_directories(h.AppPath());
    WriteFile(h.AppPath() / "data", "a file where the directory should be");
    h.WriteSettings("[Setting]\nLockTime=3\n");
    core::FrmMain& main = Start();
    EXPECT_FALSE(h.process.ended);
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_EQ(main.LockTimeValue(), u"3");  // the steps after the banners still ran
}

// Every banner that cannot be written is named on stderr, one warning line each.
TEST_F(FrmMainTest, BannerThatCannotBeWrittenIsSaidOnStderr) {
    std::filesystem::create_directories(h.AppPath());
    WriteFile(h.AppPath() / "data", "a file where the directory should be");
    ::testing::internal::CaptureStderr();
    Start();
    const std::string said = ::testing::internal::GetCapturedStderr();
    for (int id : {101, 102, 103}) {
        const auto file = h.AppPath() / "data" / "image" / (std::to_string(id) + ".gif");
        EXPECT_NE(said.find("loomhaven: cannot write the banner " + file.string() + "\n"),
                  std::string::npos)
            << said;
    }
}

// Installed, the prefix is not the user's: the banners go to the user's own data directory,
// made owner-only, and nothing is written beside the executable or among the pictures.
TEST_F(FrmMainTest, InstalledWritesTheBannersIntoTheUsersDataDirectory) {
    const std::filesystem::path pictures = h.MakeInstalledPictures();
    Start();
    for (int id : {101, 102, 103}) {
        const std::string name = std::to_string(id) + ".gif";
        EXPECT_EQ(Bytes(h.UserData() / name), platform::LoadResData(id, "CUSTOM")) << id;
        EXPECT_FALSE(std::filesystem::exists(pictures / name)) << id;
    }
    EXPECT_FALSE(std::filesystem::exists(h.AppPath() / "data"));
    for (const std::filesystem::path& level :
         {h.UserDataHome() / "loomhaven", h.UserDataHome() / "loomhaven" / "data", h.UserData()}) {
        EXPECT_EQ(std::filesystem::status(level).permissions(), std::filesystem::perms::owner_all)
            << level;
    }
}

// A user data directory that cannot be made leaves start-up going, and says so in one line.
TEST_F(FrmMainTest, InstalledWithAnUnusableUserDirectoryGoesOnAndSaysItOnce) {
    h.MakeInstalledPictures();
    WriteFile(h.UserDataHome(), "a file where the user's data directory should be");
    h.WriteSettings("[Setting]\nLockTime=3\n");
    ::testing::internal::CaptureStderr();
    core::FrmMain& main = Start();
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(h.process.ended);
    EXPECT_EQ(main.LockTimeValue(), u"3");  // the steps after the banners still ran
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_EQ(
        said.rfind("loomhaven: cannot use the data directory " + h.UserDataHome().string(), 0), 0u)
        << said;
}

// ---------------------------------------------------------------------------------------------
// Failure policy

TEST_F(FrmMainTest, FailureInAHandlerIsShownAndEndsTheProgram) {
    core::FrmMain& main = Start();
    main.Timer2.TimerEvent.Connect([] { throw std::runtime_error("disk on fire"); });
    h.clock.Advance(1000);
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_NE(h.messages.shown[0].text.find(u"disk on fire"), std::u16string::npos);
    EXPECT_TRUE(h.process.ended);
    EXPECT_NE(h.process.status, 0);
}

}  // namespace
