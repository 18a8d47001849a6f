// SPDX-License-Identifier: MIT
// The lock panel: its slide, the unlock button, the close button and its pictures.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "Doubles.h"
#include "Unprivileged.h"
#include "UnreadableSettings.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "platform/PictureBox.h"
#include "platform/Resources.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "settings/Mod_Config.h"

namespace {

using testing_support::Harness;
using testing_support::ReadFile;

// The pair that opens the lock while there is no settings file.
const std::u16string kDefaultUser(core::kUserName.defaultValue);
const std::u16string kDefaultPassword(core::kPassWord.defaultValue);

constexpr float kLockedLeft = -45;
constexpr float kLockedTop = 750;
constexpr float kUnlockedLeft = 11190;

class LockTest : public ::testing::Test {
  protected:
    core::FrmMain& Start() {
        m_program.Start();
        return m_program.Main();
    }
    // Lets a running slide finish (it takes some 85 ticks of 15 ms).
    void Settle() { h.clock.Advance(3000); }
    core::FrmMain& StartUnlocked() {
        core::FrmMain& main = Start();
        Settle();
        main.UserName.TextFromView(kDefaultUser);
        main.PassWord.TextFromView(kDefaultPassword);
        main.CommandButton1.Click.Raise();
        Settle();
        return main;
    }
    void Tray(core::FrmMain& main, int message) {
        main.MouseMove.Raise(0, 0, static_cast<float>(message) * 15.0f, 0.0f);
    }

    Harness h;
    core::Program m_program;
};

// ---------------------------------------------------------------------------------------------
// The slide

TEST_F(LockTest, StartsLockedAfterAboutEightyFiveTicks) {
    core::FrmMain& main = Start();
    EXPECT_TRUE(main.Locked()) << "locked from the first moment, before the panel arrives";
    EXPECT_FALSE(main.Web1.Enabled());
    int ticks = 0;
    while (main.zTimCtn1.Running() && ticks < 1000) {
        h.clock.Advance(15);
        ++ticks;
    }
    EXPECT_GE(ticks, 80);
    EXPECT_LE(ticks, 90);
    EXPECT_EQ(std::lround(main.Picture2.Left()), std::lround(kLockedLeft));
    EXPECT_EQ(std::lround(main.Picture2.Top()), std::lround(kLockedTop));
}

class SlideTest : public LockTest {
  protected:
    void SetUp() override {
        main = &Start();
        Settle();
        box.Move(900, 450, 300, 300);
    }
    void Move(float left, float top, std::int16_t enable = -1) {
        main->zMove1(&box, left, top, enable);
    }
    void Tick(int n = 1) { h.clock.Advance(15 * n); }

    core::FrmMain* main = nullptr;
    platform::PictureBox box{"box"};
};

TEST_F(SlideTest, EachStepIsEightNinthsOfTheOneBefore) {
    Move(9900, 450);
    std::vector<double> steps;
    float last = box.Left();
    for (int i = 0; i < 6; ++i) {
        Tick();
        steps.push_back(box.Left() - last);
        last = box.Left();
    }
    EXPECT_NEAR(steps[0], 9000.0 / 9.0, 1e-3);
    for (size_t i = 1; i < steps.size(); ++i) {
        EXPECT_NEAR(steps[i] / steps[i - 1], 8.0 / 9.0, 1e-4);
    }
    EXPECT_EQ(box.Top(), 450) << "no vertical distance, no vertical movement";
}

TEST_F(SlideTest, CancelKeepsThePositionAndClearsTheState) {
    Move(9900, 4500);
    Tick(3);
    const float left = box.Left();
    const float top = box.Top();
    float x = 100, y = 100;
    std::int16_t enable = 0;
    main->zMove1(&box, x, y, enable);
    EXPECT_FALSE(main->zTimCtn1.Running());
    EXPECT_EQ(main->zObj1, nullptr);
    EXPECT_EQ(main->zLeft1, 0);
    EXPECT_EQ(main->zTop1, 0);
    Tick(20);
    EXPECT_EQ(box.Left(), left);
    EXPECT_EQ(box.Top(), top);
}

TEST_F(SlideTest, TargetEqualToPositionStopsAtTheFirstTick) {
    Move(900, 450);
    EXPECT_TRUE(main->zTimCtn1.Running());
    Tick();
    EXPECT_FALSE(main->zTimCtn1.Running());
    EXPECT_EQ(box.Left(), 900);
    EXPECT_EQ(box.Top(), 450);
}

TEST_F(SlideTest, ZeroTargetBecomesOneInTheCallersVariables) {
    float left = 0, top = 0;
    std::int16_t enable = -1;
    main->zMove1(&box, left, top, enable);
    EXPECT_EQ(left, 1);
    EXPECT_EQ(top, 1);
    Tick(200);
    EXPECT_FALSE(main->zTimCtn1.Running());
    EXPECT_EQ(std::lround(box.Left()), 1);
    EXPECT_EQ(std::lround(box.Top()), 1);
    // Cancelling changes the caller's zeros as well.
    float l2 = 0, t2 = 5;
    std::int16_t off = 0;
    main->zMove1(&box, l2, t2, off);
    EXPECT_EQ(l2, 1);
    EXPECT_EQ(t2, 5);
}

TEST_F(SlideTest, NewTargetMidSlideTurnsWithoutAJump) {
    Move(9900, 450);
    Tick(5);
    const float at = box.Left();
    Move(450, 450);
    EXPECT_EQ(box.Left(), at) << "the call itself moves nothing";
    Tick();
    EXPECT_NEAR(box.Left(), at + (450 - at) / 9.0f, 1e-2);
    EXPECT_LT(box.Left(), at);
}

// The stop test rounds halves to the even neighbour: 2.5 counts as 2 and 3.5 as 4.
TEST_F(SlideTest, StopTestRoundsHalvesToEven) {
    struct Case {
        float from;
        float target;
    };
    for (const Case c : {Case{2.0f, 2.5f}, Case{4.0f, 3.5f}}) {
        box.Move(c.from, 450, 300, 300);
        Move(c.target, 450);
        Tick();
        EXPECT_FALSE(main->zTimCtn1.Running()) << c.from << " -> " << c.target;
    }
    box.Move(3.0f, 450, 300, 300);  // 3 against 3.5 (which counts as 4): not there yet
    Move(3.5f, 450);
    Tick();
    EXPECT_TRUE(main->zTimCtn1.Running());
}

TEST_F(SlideTest, SecondChannelIsIndependent) {
    platform::PictureBox other{"other"};
    other.Move(0, 0, 10, 10);
    float left = 900, top = 90;
    std::int16_t enable = -1;
    main->zMove2(&other, left, top, enable);
    Move(9000, 450);
    Tick(200);
    EXPECT_EQ(std::lround(other.Left()), 900);
    EXPECT_EQ(std::lround(other.Top()), 90);
    EXPECT_EQ(std::lround(box.Left()), 9000);
    EXPECT_FALSE(main->zTimCtn2.Running());
}

TEST_F(SlideTest, ChannelWithoutAControlStopsAtItsFirstTick) {
    float left = 900, top = 90;
    std::int16_t enable = -1;
    main->zMove1(nullptr, left, top, enable);
    EXPECT_TRUE(main->zTimCtn1.Running());
    Tick();
    EXPECT_FALSE(main->zTimCtn1.Running());
}

// ---------------------------------------------------------------------------------------------
// Unlock

struct UnlockCase {
    const char* name;
    const char* settings;  // nullptr: no settings file
    std::u16string user;
    std::u16string password;
    bool unlocks;
};

void PrintTo(const UnlockCase& c, std::ostream* os) {
    *os << c.name;
}

class UnlockTest : public LockTest, public ::testing::WithParamInterface<UnlockCase> {};

TEST_P(UnlockTest, OnlyTheStoredPairOpensThePanel) {
    const UnlockCase& c = GetParam();
    if (c.settings != nullptr) {
        h.WriteSettings(c.settings);
    }
    core::FrmMain& main = Start();
    Settle();
    main.UserName.TextFromView(c.user);
    main.PassWord.TextFromView(c.password);
    main.CommandButton1.Click.Raise();
    Settle();
    if (c.unlocks) {
        EXPECT_EQ(main.UserName.Text(), u"");
        EXPECT_EQ(main.PassWord.Text(), u"");
        EXPECT_EQ(std::lround(main.Picture2.Left()), std::lround(kUnlockedLeft));
        EXPECT_FALSE(main.Locked());
        EXPECT_TRUE(main.Web1.Enabled());
        EXPECT_FALSE(main.Picture2.Enabled()) << "the panel's controls take no input once away";
        EXPECT_EQ(main.Label1.Caption(), u"");
    } else {
        EXPECT_EQ(main.UserName.Text(), c.user.substr(0, 16));
        EXPECT_EQ(main.PassWord.Text(), c.password.substr(0, 20));
        EXPECT_TRUE(main.Locked());
        EXPECT_FALSE(main.Web1.Enabled());
        EXPECT_EQ(main.Label1.Caption(), u"账号密码错误，请重试...");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnlockTest,
    ::testing::Values(
        UnlockCase{"DefaultsWithoutFile", nullptr, kDefaultUser, kDefaultPassword, true},
        UnlockCase{"StoredPair", "[Setting]\nUserName=Alice\nPassWord=Se cret\n", u"Alice",
                   u"Se cret", true},
        UnlockCase{"UserNameCase", "[Setting]\nUserName=Alice\nPassWord=Secret\n", u"alice",
                   u"Secret", false},
        UnlockCase{"PasswordCase", "[Setting]\nUserName=Alice\nPassWord=Secret\n", u"Alice",
                   u"secret", false},
        UnlockCase{"WrongPassword", nullptr, kDefaultUser, kDefaultPassword + u"x", false},
        UnlockCase{"NoTrimming", nullptr, kDefaultUser + u" ", kDefaultPassword, false},
        UnlockCase{"EmptyBoxesWithDefaults", nullptr, u"", u"", false},
        UnlockCase{"EmptyStoredValues", "[Setting]\nUserName=\nPassWord=\n", u"", u"", true},
        UnlockCase{"ChinesePassword", "[Setting]\nPassWord=密码\n", kDefaultUser, u"密码", true},
        // A stored password longer than the box takes cannot be typed.
        UnlockCase{"PasswordLongerThanTheBox", "[Setting]\nPassWord=abcdefghijklmnopqrstuvwxy\n",
                   kDefaultUser, u"abcdefghijklmnopqrstuvwxy", false},
        UnlockCase{"UserNameLongerThanTheBox", "[Setting]\nUserName=abcdefghijklmnopq\n",
                   u"abcdefghijklmnopq", kDefaultPassword, false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(LockTest, ErrorTextStaysAfterALaterSuccess) {
    core::FrmMain& main = Start();
    Settle();
    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(u"wrong");
    main.CommandButton1.Click.Raise();
    main.PassWord.TextFromView(kDefaultPassword);
    main.CommandButton1.Click.Raise();
    Settle();
    ASSERT_FALSE(main.Locked());
    main.QExit.Click.Raise(1);  // lock again
    Settle();
    ASSERT_TRUE(main.Locked());
    EXPECT_EQ(main.Label1.Caption(), u"账号密码错误，请重试...");
}

TEST_F(LockTest, EnterInThePasswordBoxPressesLogin) {
    core::FrmMain& main = Start();
    Settle();
    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(kDefaultPassword);
    main.PassWord.KeyDown.Raise(65);  // an ordinary key does not
    EXPECT_EQ(main.PassWord.Text(), kDefaultPassword);
    main.PassWord.KeyDown.Raise(platform::vbKeyReturn);
    Settle();
    EXPECT_FALSE(main.Locked());
}

TEST_F(LockTest, PasswordChangedInTheFileCountsAtTheNextPress) {
    core::FrmMain& main = Start();
    Settle();
    h.WriteSettings("[Setting]\nPassWord=fresh\n");
    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(kDefaultPassword);
    main.CommandButton1.Click.Raise();
    EXPECT_EQ(main.Label1.Caption(), u"账号密码错误，请重试...");
    main.PassWord.TextFromView(u"fresh");
    main.CommandButton1.Click.Raise();
    Settle();
    EXPECT_FALSE(main.Locked());
}

class UnreadableSettingsLockTest
    : public LockTest,
      public ::testing::WithParamInterface<testing_support::UnreadableCase> {};

// A settings file that is there but cannot be read never lets the well-known default pair in:
// the panel says why and stays; the close button still locks (its default is the safe side).
TEST_P(UnreadableSettingsLockTest, KeepsThePanelAndSaysWhy) {
    const testing_support::Watchdog watchdog(60);
    core::FrmMain& main = StartUnlocked();
    ASSERT_FALSE(main.Locked());
    testing_support::MakeUnreadable(GetParam().kind, h.SettingsFile());
    // What happened, in one line that a child process can compare as well.
    auto lockAndTry = [&] {
        main.QExit.Click.Raise(1);
        Settle();
        Tray(main, platform::WM_LBUTTONUP);
        const bool lockedOnClose = main.Locked();
        main.UserName.TextFromView(kDefaultUser);
        main.PassWord.TextFromView(kDefaultPassword);
        main.CommandButton1.Click.Raise();
        Settle();
        return std::string(lockedOnClose ? "locked on close" : "open on close") + ", " +
               (main.Locked() ? "locked after Login" : "open after Login") + ", label " +
               platform::ToUtf8Lossy(main.Label1.Caption()) + ", boxes " +
               platform::ToUtf8Lossy(main.UserName.Text() + u"/" + main.PassWord.Text());
    };
    const std::string expected = "locked on close, locked after Login, label " +
                                 platform::ToUtf8Lossy(core::kSettingsUnreadable) + ", boxes " +
                                 platform::ToUtf8Lossy(kDefaultUser + u"/" + kDefaultPassword);
    if (GetParam().kind == testing_support::Unreadable::NoPermission) {
        EXPECT_TRUE(testing_support::CheckUnprivileged([&] { return lockAndTry() == expected; }));
    } else {
        EXPECT_EQ(lockAndTry(), expected);
        EXPECT_FALSE(main.Web1.Enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadableSettingsLockTest,
                         ::testing::ValuesIn(testing_support::kUnreadableCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// ---------------------------------------------------------------------------------------------
// The close button

struct CloseCase {
    const char* name;
    const char* settings;
    std::int16_t button;
    bool hides;
    bool locks;
};

void PrintTo(const CloseCase& c, std::ostream* os) {
    *os << c.name;
}

class CloseButtonTest : public LockTest, public ::testing::WithParamInterface<CloseCase> {};

TEST_P(CloseButtonTest, LocksAndHidesAsTheSwitchSays) {
    const CloseCase& c = GetParam();
    core::FrmMain& main = StartUnlocked();
    ASSERT_FALSE(main.Locked());
    if (c.settings != nullptr) {
        h.WriteSettings(c.settings);  // read at every click
    }
    main.QExit.Click.Raise(c.button);
    EXPECT_EQ(main.Visible(), !c.hides);
    EXPECT_EQ(main.WindowState(), c.hides ? platform::vbMinimized : platform::vbNormal);
    EXPECT_EQ(main.Locked(), c.locks) << "the panel starts moving at once";
    Settle();  // the slide goes on while the window is hidden
    if (c.hides) {
        Tray(main, platform::WM_LBUTTONUP);  // shown again from the tray
        EXPECT_TRUE(main.Visible());
    }
    EXPECT_EQ(main.Locked(), c.locks);
    if (c.locks) {
        EXPECT_EQ(std::lround(main.Picture2.Left()), std::lround(kLockedLeft));
        EXPECT_FALSE(main.Web1.Enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CloseButtonTest,
    ::testing::Values(CloseCase{"DefaultLocks", nullptr, 1, true, true},
                      CloseCase{"TrueLocks", "[Setting]\nLock=True\n", 1, true, true},
                      CloseCase{"FalseOnlyHides", "[Setting]\nLock=False\n", 1, true, false},
                      CloseCase{"LowerCaseDoesNothing", "[Setting]\nLock=true\n", 1, false, false},
                      CloseCase{"OtherValueDoesNothing", "[Setting]\nLock=1\n", 1, false, false},
                      CloseCase{"RightButtonWithTrue", "[Setting]\nLock=True\n", 2, false, false},
                      CloseCase{"RightButtonWithFalse", "[Setting]\nLock=False\n", 2, false, false},
                      CloseCase{"MiddleButton", nullptr, 4, false, false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST_F(LockTest, ClosingFromTheWindowSystemActsAsTheCloseButton) {
    core::FrmMain& main = StartUnlocked();
    main.CloseRequested();
    EXPECT_TRUE(main.IsLoaded()) << "the program ends only from the tray menu";
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(main.Locked());
}

TEST_F(LockTest, ClickOnTheCloseButtonWhileLockedOnlyHides) {
    core::FrmMain& main = Start();
    Settle();
    main.QExit.Click.Raise(1);
    EXPECT_FALSE(main.Visible());
    EXPECT_TRUE(main.Locked());
}

// The close button's three looks come from the data directory, afresh at every event.
TEST_F(LockTest, CloseButtonPictures) {
    const std::filesystem::path data = h.AppPath() / "data" / "image";
    std::filesystem::create_directories(data);
    for (const char* f : {"Exit_up.png", "Exit_move.png", "Exit_down.png"}) {
        std::filesystem::copy_file(std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / "data/image" / f,
                                   data / f);
    }
    auto bytes = [&](const char* f) {
        const std::string s = ReadFile(data / f);
        return std::vector<std::uint8_t>(s.begin(), s.end());
    };
    core::FrmMain& main = Start();
    core::AlphaImage& button = main.QExit;
    const auto embedded = platform::EmbeddedFile("QExit.png");
    EXPECT_EQ(button.Image(), std::vector<std::uint8_t>(embedded.begin(), embedded.end()));

    std::int16_t left = 1, right = 2;
    button.MouseMove.Raise(0, 0, 10, 10);  // enters
    EXPECT_EQ(button.Image(), bytes("Exit_move.png"));
    button.MouseDown.Raise(right, 0, 10, 10);
    EXPECT_EQ(button.Image(), bytes("Exit_move.png")) << "a right press changes nothing";
    button.MouseDown.Raise(left, 0, 10, 10);
    EXPECT_EQ(button.Image(), bytes("Exit_down.png"));
    button.MouseLeave.Raise();  // leaves while pressed
    EXPECT_EQ(button.Image(), bytes("Exit_up.png"));
    button.MouseMove.Raise(1, 0, 10, 10);  // re-enters
    EXPECT_EQ(button.Image(), bytes("Exit_move.png"));

    // A picture file that has gone leaves the picture shown; that is no failure.
    std::filesystem::remove(data / "Exit_up.png");
    button.MouseLeave.Raise();
    EXPECT_EQ(button.Image(), bytes("Exit_move.png"));
    EXPECT_TRUE(h.messages.shown.empty());
    EXPECT_FALSE(h.process.ended);
}

}  // namespace
