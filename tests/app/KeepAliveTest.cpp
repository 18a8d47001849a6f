// SPDX-License-Identifier: MIT
// The keep-alive as a forum is really used: pages reached by sending a form, pages that ask
// before they are left, page dialogs, and the lock on every way to the tray.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Doubles.h"
#include "RecordingEngine.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "platform/Shell.h"
#include "settings/FrmMenu.h"
#include "settings/FrmOption.h"
#include "settings/Mod_Config.h"

namespace {

using core::WebBrowser;
using testing_support::Harness;
using testing_support::RecordingEngine;

constexpr long long kMinute = 60'000;
const std::u16string kDefaultUser(core::kUserName.defaultValue);
const std::u16string kDefaultPassword(core::kPassWord.defaultValue);

class KeepAliveTest : public ::testing::Test {
  protected:
    // Starts the program with the browser recorded, reloading every minute, and waits until
    // the home page has been opened and the lock panel has arrived.
    core::FrmMain& Start(const std::string& settings = "[Setting]\nLockTime=0\n") {
        h.WriteSettings(settings);
        core::FrmMain& main = m_program.Main();
        engine.Attach(main.Web1);
        m_program.Start();
        h.clock.Advance(5000);
        return main;
    }
    void Unlock(core::FrmMain& main) {
        main.UserName.TextFromView(kDefaultUser);
        main.PassWord.TextFromView(kDefaultPassword);
        main.CommandButton1.Click.Raise();
        h.clock.Advance(3000);
        ASSERT_FALSE(main.Locked());
    }
    void Tray(core::FrmMain& main, int message) {
        main.MouseMove.Raise(0, 0, static_cast<float>(message) * 15.0f, 0.0f);
    }

    Harness h;
    RecordingEngine engine{h.clock};
    core::Program m_program;
};

// ---------------------------------------------------------------------------------------------
// The scheduled reload, by the page shown

struct PageCase {
    const char* name;
    RecordingEngine::Page page;
    bool unlocked;  // the page shown and open, or behind the lock
    // Over three reload periods:
    int gets;        // loads by GET
    int posts;       // forms sent again
    int keepAlives;  // requests for the home page by the page never shown
};

void PrintTo(const PageCase& c, std::ostream* os) {
    *os << c.name;
}

class ReloadByPageTest : public KeepAliveTest, public ::testing::WithParamInterface<PageCase> {};

TEST_P(ReloadByPageTest, NeverResendsNeverLeavesADraftAndKeepsTheSessionAlive) {
    const PageCase& c = GetParam();
    core::FrmMain& main = Start();
    if (c.unlocked) {
        Unlock(main);
    }
    engine.Show(c.page);
    engine.getsSent = 0;
    const long long start = h.clock.Elapsed();
    h.clock.Advance(3 * kMinute + 1000);

    EXPECT_EQ(engine.getsSent, c.gets);
    EXPECT_EQ(engine.postsSent, c.posts) << "a reload sent the form again";
    EXPECT_EQ(engine.leavePromptsShown, 0) << "a reload asked the user whether to leave";
    ASSERT_EQ(engine.keepAlives.size(), static_cast<size_t>(c.keepAlives));
    for (size_t i = 0; i < engine.keepAlives.size(); ++i) {
        // One per period, each for the forum's home page, each after a reload was tried.
        EXPECT_EQ(engine.keepAlives[i].second, u"http://bbs.loomhaven.example");
        EXPECT_GT(engine.keepAlives[i].first, start + static_cast<long long>(i) * kMinute);
        EXPECT_LE(engine.keepAlives[i].first, start + static_cast<long long>(i + 1) * kMinute);
    }
    if (c.page.asksBeforeLeaving) {
        // The page stays: the draft, its history and its place are the user's. Every period
        // still tries the reload first.
        EXPECT_TRUE(engine.page.asksBeforeLeaving);
        EXPECT_EQ(engine.refreshes.size() + engine.afresh.size(), 3u);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Pages, ReloadByPageTest,
    ::testing::Values(
        PageCase{"PlainPage", {}, false, 3, 0, 0}, PageCase{"PlainPageUnlocked", {}, true, 3, 0, 0},
        // The first reload loads the result page afresh; it is a plain page from then on.
        PageCase{"ReachedByPost", {.post = true}, false, 3, 0, 0},
        PageCase{"ReachedByPostUnlocked", {.post = true}, true, 3, 0, 0},
        PageCase{"AsksBeforeLeaving", {.asksBeforeLeaving = true}, false, 0, 0, 3},
        // Someone may be at the screen, or not: the reload never puts the question.
        PageCase{"AsksBeforeLeavingUnlocked", {.asksBeforeLeaving = true}, true, 0, 0, 3},
        PageCase{"PostThatAsksBeforeLeaving",
                 {.post = true, .asksBeforeLeaving = true},
                 false,
                 0,
                 0,
                 3}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(KeepAliveTest, ThePageReachedByPostIsLoadedAfreshNotReloaded) {
    Start();
    engine.Show({.post = true});
    h.clock.Advance(kMinute);
    EXPECT_EQ(engine.afresh.size(), 1u);
    EXPECT_TRUE(engine.refreshes.empty());
    h.clock.Advance(kMinute);  // the page now came by GET: the engine's reload is safe
    EXPECT_EQ(engine.afresh.size(), 1u);
    EXPECT_EQ(engine.refreshes.size(), 1u);
}

TEST_F(KeepAliveTest, TheUsersOwnNavigationFromADraftStillAsks) {
    // Long after the program's last load, a leave-page question is the user's to answer.
    core::FrmMain& main = Start();
    Unlock(main);
    h.clock.Advance(WebBrowser::kReloadWaitMs);
    EXPECT_EQ(main.Web1.DialogRequested(WebBrowser::PageDialog::Leave),
              WebBrowser::DialogAnswer::Show);
    EXPECT_TRUE(engine.keepAlives.empty());
}

TEST_F(KeepAliveTest, AFailedKeepAliveIsTriedAgainAtTheNextPeriod) {
    Start();
    engine.Show({.asksBeforeLeaving = true});
    h.clock.Advance(kMinute);
    ASSERT_EQ(engine.keepAlives.size(), 1u);
    // The engine reports nothing back for the keep-alive: the next period asks again.
    h.clock.Advance(kMinute);
    EXPECT_EQ(engine.keepAlives.size(), 2u);
}

// ---------------------------------------------------------------------------------------------
// Page dialogs

enum class Scene { LockedShown, LockComing, UnlockedShown, UnlockedHidden };

struct DialogCase {
    const char* name;
    Scene scene;
    WebBrowser::DialogAnswer expected;
};

void PrintTo(const DialogCase& c, std::ostream* os) {
    *os << c.name;
}

class PageDialogTest : public KeepAliveTest, public ::testing::WithParamInterface<DialogCase> {};

TEST_P(PageDialogTest, ShownOnlyOnAnOpenPageOnScreen) {
    const DialogCase& c = GetParam();
    core::FrmMain& main = Start("[Setting]\nLockTime=0\nLock=False\n");
    h.clock.Advance(3000);
    switch (c.scene) {
        case Scene::LockedShown:
            ASSERT_TRUE(main.Locked());
            break;
        case Scene::LockComing:
            Unlock(main);
            ASSERT_TRUE(core::WriteSetting(core::kLock, u"True"));
            main.QExit.Click.Raise(platform::vbLeftButton);
            Tray(main, platform::WM_LBUTTONUP);  // back at once: the panel has only set out
            ASSERT_TRUE(main.Visible());
            ASSERT_TRUE(main.Locked());
            ASSERT_GT(main.Picture2.Left(), main.Picture1.Left() + main.Picture1.Width() - 100);
            break;
        case Scene::UnlockedShown:
            Unlock(main);
            break;
        case Scene::UnlockedHidden:
            Unlock(main);
            Tray(main, platform::WM_LBUTTONUP);
            ASSERT_FALSE(main.Visible());
            ASSERT_FALSE(main.Locked());
            break;
    }
    for (const WebBrowser::PageDialog d :
         {WebBrowser::PageDialog::Alert, WebBrowser::PageDialog::Confirm,
          WebBrowser::PageDialog::Prompt, WebBrowser::PageDialog::Leave}) {
        EXPECT_EQ(main.Web1.DialogRequested(d), c.expected) << "dialog " << static_cast<int>(d);
        if (main.Web1.DialogOpen()) {
            main.Web1.DialogClosed();  // the user answered it
        }
    }
    EXPECT_TRUE(engine.keepAlives.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, PageDialogTest,
    ::testing::Values(
        DialogCase{"LockedShown", Scene::LockedShown, WebBrowser::DialogAnswer::Cancel},
        DialogCase{"LockComing", Scene::LockComing, WebBrowser::DialogAnswer::Cancel},
        DialogCase{"UnlockedShown", Scene::UnlockedShown, WebBrowser::DialogAnswer::Show},
        DialogCase{"UnlockedHidden", Scene::UnlockedHidden, WebBrowser::DialogAnswer::Cancel}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(KeepAliveTest, AnUnansweredDialogIsCancelledWhenTheReloadIsDue) {
    core::FrmMain& main = Start();
    Unlock(main);
    const long long due = ((h.clock.Elapsed() / kMinute) + 1) * kMinute;
    ASSERT_EQ(main.Web1.DialogRequested(WebBrowser::PageDialog::Alert),
              WebBrowser::DialogAnswer::Show);
    h.clock.Advance(due - h.clock.Elapsed() - 1);
    EXPECT_EQ(engine.cancelledDialogs, 0) << "a dialog is the user's until the reload is due";
    const size_t before = engine.refreshes.size();
    h.clock.Advance(1);
    EXPECT_EQ(engine.cancelledDialogs, 1);
    EXPECT_FALSE(main.Web1.DialogOpen());
    EXPECT_EQ(engine.refreshes.size(), before + 1) << "the reload goes on";
}

TEST_F(KeepAliveTest, GoingToTheTrayCancelsADialogOnScreen) {
    core::FrmMain& main = Start("[Setting]\nLockTime=0\nLock=False\n");
    Unlock(main);
    ASSERT_EQ(main.Web1.DialogRequested(WebBrowser::PageDialog::Confirm),
              WebBrowser::DialogAnswer::Show);
    Tray(main, platform::WM_LBUTTONUP);
    EXPECT_EQ(engine.cancelledDialogs, 1);
    EXPECT_FALSE(main.Web1.DialogOpen());
}

// ---------------------------------------------------------------------------------------------
// The lock on every way to the tray

enum class Way { CloseButton, TrayClick, WindowManager, SettingsItem };

struct HideCase {
    const char* name;
    Way way;
    const char* lock;  // the "Lock" setting
    bool locked;       // when the window is back from the tray
};

void PrintTo(const HideCase& c, std::ostream* os) {
    *os << c.name;
}

class HideTest : public KeepAliveTest, public ::testing::WithParamInterface<HideCase> {};

TEST_P(HideTest, TheWindowComesBackLockedWhenTheSwitchSaysSo) {
    const HideCase& c = GetParam();
    core::FrmMain& main = Start(std::string("[Setting]\nLockTime=0\nLock=") + c.lock + "\n");
    Unlock(main);
    switch (c.way) {
        case Way::CloseButton:
            main.QExit.Click.Raise(platform::vbLeftButton);
            break;
        case Way::TrayClick:
            Tray(main, platform::WM_LBUTTONUP);
            break;
        case Way::WindowManager:
            main.WindowStateFromView(platform::vbMinimized);
            break;
        case Way::SettingsItem:
            h.windows.choose = "Setting";
            Tray(main, platform::WM_RBUTTONUP);
            ASSERT_TRUE(m_program.Option().Visible());
            break;
    }
    ASSERT_FALSE(main.Visible()) << "the window went to the tray";
    h.clock.Advance(3000);  // the panel slides on while the window is hidden
    Tray(main, platform::WM_LBUTTONUP);
    ASSERT_TRUE(main.Visible());
    EXPECT_EQ(main.Locked(), c.locked);
    if (c.locked) {
        EXPECT_NEAR(main.Picture2.Left(), main.Picture1.Left(), 1.0f) << "all the way over";
        EXPECT_FALSE(main.Web1.Enabled());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ways, HideTest,
    ::testing::Values(HideCase{"CloseButtonLock", Way::CloseButton, "True", true},
                      HideCase{"CloseButtonNoLock", Way::CloseButton, "False", false},
                      HideCase{"TrayClickLock", Way::TrayClick, "True", true},
                      HideCase{"TrayClickNoLock", Way::TrayClick, "False", false},
                      HideCase{"WindowManagerLock", Way::WindowManager, "True", true},
                      HideCase{"WindowManagerNoLock", Way::WindowManager, "False", false},
                      HideCase{"SettingsItemLock", Way::SettingsItem, "True", true},
                      HideCase{"SettingsItemNoLock", Way::SettingsItem, "False", false}),
    [](const auto& p) { return std::string(p.param.name); });

TEST_F(KeepAliveTest, HidingWhileThePanelSlidesOutTurnsItBack) {
    core::FrmMain& main = Start();
    h.clock.Advance(3000);
    main.UserName.TextFromView(kDefaultUser);
    main.PassWord.TextFromView(kDefaultPassword);
    main.CommandButton1.Click.Raise();
    h.clock.Advance(150);  // on its way out, still over part of the page
    Tray(main, platform::WM_LBUTTONUP);
    h.clock.Advance(3000);
    Tray(main, platform::WM_LBUTTONUP);
    EXPECT_TRUE(main.Locked());
    EXPECT_NEAR(main.Picture2.Left(), main.Picture1.Left(), 1.0f);
}

// ---------------------------------------------------------------------------------------------
// The forum's address

TEST_F(KeepAliveTest, TheConfiguredForumIsOpenedAndKeptAlive) {
    Start("[Setting]\nLockTime=0\nHomePage= forum.example.org:8080/bbs \n");
    ASSERT_EQ(engine.navigations.size(), 1u);
    EXPECT_EQ(engine.navigations[0].second, u"http://forum.example.org:8080/bbs");
    engine.Show({.asksBeforeLeaving = true});
    h.clock.Advance(kMinute);
    ASSERT_EQ(engine.keepAlives.size(), 1u);
    EXPECT_EQ(engine.keepAlives[0].second, u"http://forum.example.org:8080/bbs");
}

TEST_F(KeepAliveTest, AnAddressThatIsNoneOpensTheCompiledInForum) {
    Start("[Setting]\nLockTime=0\nHomePage=file:///etc/passwd\nLock=False\n");
    ASSERT_EQ(engine.navigations.size(), 1u);
    EXPECT_EQ(engine.navigations[0].second, u"http://bbs.loomhaven.example");
}

// ---------------------------------------------------------------------------------------------
// The settings window's address row

class AddressRowTest : public KeepAliveTest {
  protected:
    core::FrmOption& OpenSettings() {
        h.windows.choose = "Setting";
        Tray(m_program.Main(), platform::WM_RBUTTONUP);
        return m_program.Option();
    }
    std::u16string Stored() {
        core::Setting setting = core::kHomePage;
        setting.defaultValue = u"(none)";
        return core::ReadSetting(setting);
    }
};

TEST_F(AddressRowTest, ShowsTheStoredAddress) {
    Start("[Setting]\nHomePage=bbs.example.org/index.php\n");
    EXPECT_EQ(OpenSettings().HomePage.Text(), u"bbs.example.org/index.php");
}

TEST_F(AddressRowTest, EnterOrLeavingTheBoxWritesANewAddressAndOpensItAtOnce) {
    Start("[Setting]\nLockTime=0\nLock=False\n");
    core::FrmOption& option = OpenSettings();
    ASSERT_EQ(option.HomePage.Text(), u"");
    h.clock.Advance(20'000);  // between two ticks of the minute

    struct Step {
        const char16_t* typed;
        bool enter;  // Enter; else the box is left
        const char16_t* opened;
    };
    for (const Step& step :
         {Step{u"bbs.example.org", true, u"http://bbs.example.org"},
          Step{u" https://Forum.Example.net/x ", false, u"https://forum.example.net/x"}}) {
        option.HomePage.TextFromView(step.typed);
        const size_t before = engine.navigations.size();
        if (step.enter) {
            option.HomePage.KeyDown.Raise(platform::vbKeyReturn);
        } else {
            option.HomePage.LostFocus.Raise();
        }
        std::u16string trimmed(step.typed);
        trimmed.erase(0, trimmed.find_first_not_of(u' '));
        trimmed.erase(trimmed.find_last_not_of(u' ') + 1);
        EXPECT_EQ(Stored(), trimmed);
        ASSERT_EQ(engine.navigations.size(), before + 1);
        EXPECT_EQ(engine.navigations.back().second, step.opened);
        EXPECT_TRUE(h.messages.shown.empty());

        // The reload period counts from the new forum's opening.
        const long long opened = h.clock.Elapsed();
        const size_t reloads = engine.refreshes.size();
        h.clock.Advance(kMinute - 1);
        EXPECT_EQ(engine.refreshes.size(), reloads);
        h.clock.Advance(1);
        ASSERT_EQ(engine.refreshes.size(), reloads + 1);
        EXPECT_EQ(engine.refreshes.back(), opened + kMinute);
        // The keep-alive asks for the new forum.
        EXPECT_EQ(m_program.Main().Web1.HomePage(), step.opened);
    }
    // Leaving the box without a change opens nothing again.
    const size_t before = engine.navigations.size();
    option.HomePage.LostFocus.Raise();
    option.HomePage.KeyDown.Raise(platform::vbKeyReturn);
    EXPECT_EQ(engine.navigations.size(), before);
}

TEST_F(AddressRowTest, AnEmptyBoxGoesBackToTheCompiledInForum) {
    Start("[Setting]\nHomePage=bbs.example.org\n");
    core::FrmOption& option = OpenSettings();
    option.HomePage.TextFromView(u"");
    option.HomePage.KeyDown.Raise(platform::vbKeyReturn);
    EXPECT_EQ(Stored(), u"");
    EXPECT_EQ(engine.navigations.back().second, u"http://bbs.loomhaven.example");
}

class InvalidAddressTest : public AddressRowTest,
                           public ::testing::WithParamInterface<std::u16string> {};

TEST_P(InvalidAddressTest, SaysSoAndLeavesTheFileAsItWas) {
    const std::string settings = "[Setting]\nLockTime=0\nHomePage=bbs.example.org\nLock=False\n";
    Start(settings);
    core::FrmOption& option = OpenSettings();
    const size_t navigations = engine.navigations.size();
    option.HomePage.TextFromView(GetParam());
    // The box loses the keyboard to the message box while it is up: one message, not two.
    h.messages.onShow = [&] { option.HomePage.LostFocus.Raise(); };
    option.HomePage.KeyDown.Raise(platform::vbKeyReturn);

    ASSERT_EQ(h.messages.shown.size(), 1u);
    EXPECT_EQ(h.messages.shown[0].text, u"论坛地址无效，请重新输入！");
    EXPECT_EQ(h.messages.shown[0].title, u"系统提示");
    EXPECT_EQ(h.messages.shown[0].style, platform::MsgBoxStyle::OkCritical);
    EXPECT_EQ(testing_support::ReadFile(h.SettingsFile()), settings);
    EXPECT_EQ(engine.navigations.size(), navigations);
}

INSTANTIATE_TEST_SUITE_P(Values, InvalidAddressTest,
                         ::testing::Values(u"javascript:alert(1)", u"file:///etc/passwd",
                                           u"data:text/html,<b>x</b>", u"bbs.exa mple.org",
                                           u"ftp://bbs.example.org", std::u16string(3000, u'a')));

}  // namespace
