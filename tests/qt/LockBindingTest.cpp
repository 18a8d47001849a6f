// SPDX-License-Identifier: MIT
// The lock panel's boxes and the keyboard while the panel covers the browser.
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QWebEngineView>

#include <set>

#include "BindingFixture.h"

namespace {

using LockBindingTest = testing_support::BindingTest;
using testing_support::FocusWalk;

bool InsideBrowser(QWidget* w, QWidget* browser) {
    return w == browser || (w != nullptr && browser->isAncestorOf(w));
}

TEST_F(LockBindingTest, PasswordBoxShowsStarsAndBoxesKeepTheirLimits) {
    core::FrmMain& main = Start();
    auto* password = WidgetOf<QLineEdit>(main.PassWord);
    auto* user = WidgetOf<QLineEdit>(main.UserName);
    ASSERT_NE(password, nullptr);
    ASSERT_NE(user, nullptr);
    password->setText(QStringLiteral("abc12"));
    EXPECT_EQ(password->displayText(), QStringLiteral("*****"));
    EXPECT_EQ(password->maxLength(), 20);
    EXPECT_EQ(user->maxLength(), 16);
    user->setText(QStringLiteral("alice"));
    EXPECT_EQ(user->displayText(), QStringLiteral("alice"));

    // Typing goes to the model, cut to the limit.
    password->clear();
    for (int i = 0; i < 25; ++i) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(password, &key);
    }
    EXPECT_EQ(main.PassWord.Text(), std::u16string(20, u'a'));
}

TEST_F(LockBindingTest, TabNeverReachesThePageWhileLocked) {
    core::FrmMain& main = Start();
    h.clock.Advance(3000);  // the panel has slid in
    ASSERT_TRUE(main.Locked());
    QWidget* window = m_windows.WidgetOf(main);
    QApplication::setActiveWindow(window);
    QWidget* user = WidgetOf(main.UserName);
    QWidget* browser = WidgetOf(main.Web1);
    user->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), user);
    EXPECT_FALSE(browser->isEnabled());

    const std::set<QWidget*> panel = {user, WidgetOf(main.PassWord), WidgetOf(main.CommandButton1)};
    for (Qt::Key key : {Qt::Key_Tab, Qt::Key_Backtab}) {
        std::set<QWidget*> visited;
        for (QWidget* w : FocusWalk(key, 9)) {
            EXPECT_FALSE(InsideBrowser(w, browser)) << "Tab reached the page";
            visited.insert(w);
        }
        EXPECT_EQ(visited, panel);
    }
    // Order: user name, password, button.
    user->setFocus();
    const std::vector<QWidget*> order = FocusWalk(Qt::Key_Tab, 3);
    EXPECT_EQ(order, (std::vector<QWidget*>{WidgetOf(main.PassWord), WidgetOf(main.CommandButton1),
                                            user}));
}

TEST_F(LockBindingTest, AfterUnlockThePanelTakesNoFocusAndThePageDoes) {
    core::FrmMain& main = Start();
    h.clock.Advance(3000);
    main.UserName.TextFromView(std::u16string(core::kUserName.defaultValue));
    main.PassWord.TextFromView(std::u16string(core::kPassWord.defaultValue));
    main.CommandButton1.Click.Raise();
    h.clock.Advance(3000);
    ASSERT_FALSE(main.Locked());
    QWidget* window = m_windows.WidgetOf(main);
    QApplication::setActiveWindow(window);
    for (const platform::Control* c :
         {static_cast<const platform::Control*>(&main.UserName),
          static_cast<const platform::Control*>(&main.PassWord),
          static_cast<const platform::Control*>(&main.CommandButton1)}) {
        QWidget* w = WidgetOf(*c);
        EXPECT_FALSE(w->isEnabled()) << c->Name();
        w->setFocus();
        EXPECT_NE(QApplication::focusWidget(), w) << c->Name();
    }
    EXPECT_TRUE(WidgetOf(main.Web1)->isEnabled());
}

}  // namespace
