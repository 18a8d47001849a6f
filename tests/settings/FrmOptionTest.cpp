// SPDX-License-Identifier: MIT
// The settings window and the tray menu's settings item.
#include "settings/FrmOption.h"

#include <gtest/gtest.h>

#include <string>

#include "Doubles.h"
#include "Unprivileged.h"
#include "UnreadableSettings.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "settings/FrmMenu.h"
#include "settings/Mod_Config.h"

namespace {

using testing_support::Harness;
using testing_support::ReadFile;

// The pair that opens the lock while there is no settings file.
const std::u16string kDefaultUser(core::kUserName.defaultValue);
const std::u16string kDefaultPassword(core::kPassWord.defaultValue);

class FrmOptionTest : public ::testing::Test {
  protected:
    core::FrmMain& StartMain() {
        m_program.Start();
        h.clock.Advance(3000);
        return m_program.Main();
    }
    // The tray menu's "软件设置(&S)".
    core::FrmOption& OpenFromTray() {
        h.windows.choose = "Setting";
        m_program.Main().MouseMove.Raise(0, 0, platform::WM_RBUTTONUP * 15.0f, 0);
        return m_program.Option();
    }
    // What the file holds for `setting`; "(none)" when the key is missing.
    std::u16string Stored(core::Setting setting) {
        setting.defaultValue = u"(none)";
        return core::ReadSetting(setting);
    }

    Harness h;
    core::Program m_program;
};

TEST_F(FrmOptionTest, SettingsItemOpensTheWindowAndHidesTheMainOne) {
    h.WriteSettings("[Setting]\nLock=False\n");
    core::FrmMain& main = StartMain();
    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(kDefaultPassword);
    main.CommandButton1.Click.Raise();
    h.clock.Advance(3000);
    ASSERT_FALSE(main.Locked());

    core::FrmOption& option = OpenFromTray();
    EXPECT_TRUE(option.IsLoaded());
    EXPECT_TRUE(option.Visible());
    EXPECT_EQ(option.BorderStyle(), platform::vbBSNone);
    EXPECT_FALSE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbMinimized);
    h.clock.Advance(3000);
    EXPECT_FALSE(main.Locked()) << "with the lock switched off, the settings item does not lock";
}

TEST_F(FrmOptionTest, OpensWithNothingMarkedWhateverTheFileHolds) {
    h.WriteSettings("[Setting]\nLock=False\nLockTime=10\nPassWord=x\n");
    StartMain();
    core::FrmOption& option = OpenFromTray();
    for (const core::OptionButton& o : option.Mini) {
        EXPECT_FALSE(o.Value());
    }
    for (const core::OptionButton& o : option.ReUpdate) {
        EXPECT_FALSE(o.Value());
    }
    EXPECT_EQ(option.Users.Text(), u"");
    EXPECT_EQ(option.oldPass.Text(), u"");
    EXPECT_EQ(option.NewPass.Text(), u"");
}

TEST_F(FrmOptionTest, SecondOpenBringsTheSameWindowForward) {
    StartMain();
    core::FrmOption& first = OpenFromTray();
    first.Users.TextFromView(u"typed");
    first.Mini[1].ChooseFromView();
    core::FrmOption& second = OpenFromTray();
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(second.Users.Text(), u"typed");
    EXPECT_TRUE(second.Mini[1].Value());
    EXPECT_EQ(std::count(h.windows.realized.begin(), h.windows.realized.end(), "FrmOption"), 1);
}

TEST_F(FrmOptionTest, ClosedWindowOpensAnewFresh) {
    StartMain();
    core::FrmOption& first = OpenFromTray();
    first.ReUpdate[0].ChooseFromView();
    first.Users.TextFromView(u"typed");
    first.QExit.Click.Raise(2);  // another button does nothing
    EXPECT_TRUE(first.IsLoaded());
    first.QExit.Click.Raise(1);
    EXPECT_FALSE(first.IsLoaded());
    EXPECT_EQ(Stored(core::kLockTime), u"10");

    core::FrmOption& second = OpenFromTray();
    EXPECT_TRUE(second.IsLoaded());
    EXPECT_FALSE(second.ReUpdate[0].Value());
    EXPECT_EQ(second.Users.Text(), u"");
}

TEST_F(FrmOptionTest, OptionsWriteExactlyTheirValues) {
    StartMain();
    core::FrmOption& option = OpenFromTray();
    struct Case {
        core::OptionButton& button;
        const core::Setting& setting;
        const char16_t* value;
    };
    const Case cases[] = {
        {option.Mini[1], core::kLock, u"False"},      {option.Mini[0], core::kLock, u"True"},
        {option.ReUpdate[0], core::kLockTime, u"10"}, {option.ReUpdate[1], core::kLockTime, u"15"},
        {option.ReUpdate[2], core::kLockTime, u"20"}, {option.ReUpdate[3], core::kLockTime, u"23"}};
    for (const Case& c : cases) {
        c.button.ChooseFromView();
        EXPECT_EQ(Stored(c.setting), c.value);
        EXPECT_TRUE(c.button.Value());
    }
    // Each array is its own choice: the last of each stays marked.
    EXPECT_TRUE(option.Mini[0].Value());
    EXPECT_FALSE(option.Mini[1].Value());
    EXPECT_TRUE(option.ReUpdate[3].Value());
    EXPECT_FALSE(option.ReUpdate[0].Value());
    EXPECT_EQ(ReadFile(h.SettingsFile()), "[Setting]\nLock=True\nLockTime=23\n");
}

TEST_F(FrmOptionTest, NoLockMakesTheNextCloseOnlyHide) {
    core::FrmMain& main = StartMain();
    core::FrmOption& option = OpenFromTray();
    option.Mini[1].ChooseFromView();
    main.MouseMove.Raise(0, 0, platform::WM_LBUTTONUP * 15.0f,
                         0);  // the main window back from the tray
    ASSERT_TRUE(main.Visible());
    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(kDefaultPassword);
    main.CommandButton1.Click.Raise();
    h.clock.Advance(3000);
    ASSERT_FALSE(main.Locked());
    main.QExit.Click.Raise(1);
    EXPECT_FALSE(main.Visible());
    h.clock.Advance(3000);
    EXPECT_FALSE(main.Locked());
}

TEST_F(FrmOptionTest, NewReloadPeriodWaitsForTheNextStart) {
    core::FrmMain& main = StartMain();
    core::FrmOption& option = OpenFromTray();
    option.ReUpdate[3].ChooseFromView();
    EXPECT_EQ(main.LockTimeValue(), u"15");
    EXPECT_EQ(Stored(core::kLockTime), u"23");
}

// ---------------------------------------------------------------------------------------------
// The password change

struct ChangeCase {
    const char* name;
    const char* settings;  // nullptr: no file
    std::u16string user;
    std::u16string old;
    std::u16string fresh;
    bool accepted;
};

void PrintTo(const ChangeCase& c, std::ostream* os) {
    *os << c.name;
}

class PasswordChangeTest : public FrmOptionTest,
                           public ::testing::WithParamInterface<ChangeCase> {};

TEST_P(PasswordChangeTest, WritesOnlyForTheStoredPair) {
    const ChangeCase& c = GetParam();
    if (c.settings != nullptr) {
        h.WriteSettings(c.settings);
    }
    StartMain();
    core::FrmOption& option = OpenFromTray();
    const std::string before = ReadFile(h.SettingsFile());
    option.Users.TextFromView(c.user);
    option.oldPass.TextFromView(c.old);
    option.NewPass.TextFromView(c.fresh);
    // The boxes are emptied only once the message box has been closed.
    std::vector<std::u16string> whileOpen;
    h.messages.onShow = [&] {
        whileOpen = {option.Users.Text(), option.oldPass.Text(), option.NewPass.Text()};
    };
    option.Command1.Click.Raise();
    if (c.accepted) {
        EXPECT_TRUE(h.messages.shown.empty());
        EXPECT_EQ(Stored(core::kPassWord), c.fresh);
        EXPECT_EQ(option.Users.Text(), c.user) << "the boxes keep their texts";
        EXPECT_EQ(option.NewPass.Text(), c.fresh);
    } else {
        ASSERT_EQ(h.messages.shown.size(), 1u);
        EXPECT_EQ(h.messages.shown[0].text, u"账号密码有误，请重新操作！");
        EXPECT_EQ(h.messages.shown[0].title, u"系统提示");
        EXPECT_EQ(h.messages.shown[0].style, platform::MsgBoxStyle::OkCritical);
        EXPECT_EQ(whileOpen, (std::vector<std::u16string>{c.user, c.old, c.fresh}));
        EXPECT_EQ(option.Users.Text(), u"");
        EXPECT_EQ(option.oldPass.Text(), u"");
        EXPECT_EQ(option.NewPass.Text(), u"");
        EXPECT_EQ(ReadFile(h.SettingsFile()), before) << "the file is not touched";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PasswordChangeTest,
    ::testing::Values(
        ChangeCase{"DefaultsCreateTheFile", nullptr, kDefaultUser, kDefaultPassword, u"new one",
                   true},
        // The lock panel's box could not take these: they would lock the user out.
        ChangeCase{"EmptyNewPassword", "[Setting]\nPassWord=old\n", kDefaultUser, u"old", u"",
                   false},
        ChangeCase{"LongerThanTheLockPanelTakes", nullptr, kDefaultUser, kDefaultPassword,
                   std::u16string(core::kPassWordMaxLength + 1, u'p'), false},
        ChangeCase{"MuchLonger", nullptr, kDefaultUser, kDefaultPassword, std::u16string(40, u'p'),
                   false},
        ChangeCase{"AsLongAsTheLockPanelTakes", nullptr, kDefaultUser, kDefaultPassword,
                   std::u16string(core::kPassWordMaxLength, u'p'), true},
        ChangeCase{"ChineseAsLongAsTheLockPanelTakes", nullptr, kDefaultUser, kDefaultPassword,
                   std::u16string(core::kPassWordMaxLength, u'密'), true},
        ChangeCase{"WrongUser", nullptr, kDefaultUser + u"x", kDefaultPassword, u"x", false},
        ChangeCase{"WrongPassword", "[Setting]\nUserName=Alice\nPassWord=Secret\n", u"Alice",
                   u"Secre", u"x", false},
        ChangeCase{"UserCase", "[Setting]\nUserName=Alice\nPassWord=Secret\n", u"alice", u"Secret",
                   u"x", false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

struct PanelCase {
    const char* name;
    std::u16string fresh;
    bool taken;
};

void PrintTo(const PanelCase& c, std::ostream* os) {
    *os << c.name;
}

class NewPasswordAtTheLockPanelTest : public FrmOptionTest,
                                      public ::testing::WithParamInterface<PanelCase> {};

// Whatever the change button does, the lock panel can still be opened: with the new password
// when it was taken, with the old one when it was refused.
TEST_P(NewPasswordAtTheLockPanelTest, CanAlwaysBeTyped) {
    const PanelCase& c = GetParam();
    core::FrmMain& main = StartMain();
    core::FrmOption& option = OpenFromTray();
    option.Users.TextFromView(kDefaultUser);
    option.oldPass.TextFromView(kDefaultPassword);
    option.NewPass.TextFromView(c.fresh);
    option.Command1.Click.Raise();
    EXPECT_EQ(h.messages.shown.size(), c.taken ? 0u : 1u);

    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(c.taken ? c.fresh
                                       : kDefaultPassword);  // typed: cut to what the box takes
    main.CommandButton1.Click.Raise();
    h.clock.Advance(3000);
    EXPECT_FALSE(main.Locked());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NewPasswordAtTheLockPanelTest,
    ::testing::Values(PanelCase{"Longest", std::u16string(core::kPassWordMaxLength, u'x'), true},
                      PanelCase{"OneTooLong", std::u16string(core::kPassWordMaxLength + 1, u'x'),
                                false},
                      PanelCase{"Empty", u"", false}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

class UnreadableSettingsOptionTest
    : public FrmOptionTest,
      public ::testing::WithParamInterface<testing_support::UnreadableCase> {};

// A settings file that is there but cannot be read: the pair cannot be checked, so the change
// is refused with a message, nothing is written and the typed texts stay for another try.
TEST_P(UnreadableSettingsOptionTest, PasswordChangeSaysWhyAndWritesNothing) {
    const testing_support::Watchdog watchdog(60);
    StartMain();
    core::FrmOption& option = OpenFromTray();
    testing_support::MakeUnreadable(GetParam().kind, h.SettingsFile());
    const std::string before = testing_support::Snapshot(h.SettingsFile());
    // What happened, in one line that a child process can compare as well.
    auto change = [&] {
        option.Users.TextFromView(kDefaultUser);
        option.oldPass.TextFromView(kDefaultPassword);
        option.NewPass.TextFromView(u"new one");
        option.Command1.Click.Raise();
        std::string seen;
        for (const auto& m : h.messages.shown) {
            seen += "[" + platform::ToUtf8Lossy(m.title) + "|" +
                    (m.style == platform::MsgBoxStyle::OkCritical ? "stop" : "plain") + "|" +
                    platform::ToUtf8Lossy(m.text.substr(0, core::kSettingsUnreadable.size())) +
                    "] ";
        }
        return seen + "boxes " +
               platform::ToUtf8Lossy(option.Users.Text() + u"/" + option.oldPass.Text() + u"/" +
                                     option.NewPass.Text());
    };
    const std::string expected =
        "[系统提示|stop|" + platform::ToUtf8Lossy(core::kSettingsUnreadable) + "] boxes " +
        platform::ToUtf8Lossy(kDefaultUser + u"/" + kDefaultPassword + u"/new one");
    if (GetParam().kind == testing_support::Unreadable::NoPermission) {
        EXPECT_TRUE(testing_support::CheckUnprivileged([&] { return change() == expected; }));
    } else {
        EXPECT_EQ(change(), expected);
    }
    EXPECT_EQ(testing_support::Snapshot(h.SettingsFile()), before);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadableSettingsOptionTest,
                         ::testing::ValuesIn(testing_support::kUnreadableCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// A write the file refuses is said, and nothing pretends it was kept.
TEST_F(FrmOptionTest, RefusedWritesAreReported) {
    StartMain();
    core::FrmOption& option = OpenFromTray();
    option.Mini[0].ChooseFromView();
    ASSERT_EQ(Stored(core::kLock), u"True");
    const std::string before = ReadFile(h.SettingsFile());
    // From now on the settings file cannot be replaced: its directory is a file's place.
    std::filesystem::remove_all(h.SettingsFile().parent_path());
    testing_support::WriteFile(h.SettingsFile().parent_path(), before);

    option.Mini[1].ChooseFromView();
    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].title, u"系统提示");
    EXPECT_NE(h.messages.shown[0].text.find(u"最小化后是否锁屏"), std::u16string::npos);
    EXPECT_TRUE(option.Mini[0].Value()) << "the mark goes back to what the file holds";
    EXPECT_FALSE(option.Mini[1].Value());

    option.ReUpdate[2].ChooseFromView();
    ASSERT_EQ(h.messages.shown.size(), 2u);
    EXPECT_NE(h.messages.shown[1].text.find(u"网页刷新时间"), std::u16string::npos);
    for (const core::OptionButton& o : option.ReUpdate) {
        EXPECT_FALSE(o.Value());
    }

    option.Users.TextFromView(kDefaultUser);
    option.oldPass.TextFromView(kDefaultPassword);
    option.NewPass.TextFromView(u"new");
    option.Command1.Click.Raise();
    ASSERT_EQ(h.messages.shown.size(), 3u);
    EXPECT_NE(h.messages.shown[2].text.find(u"新的密码"), std::u16string::npos);
    EXPECT_EQ(option.NewPass.Text(), u"new") << "the typed password stays for another try";
    EXPECT_FALSE(h.process.ended);
}

}  // namespace
