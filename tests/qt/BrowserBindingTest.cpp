// SPDX-License-Identifier: MIT
// The page shown in the main window, with the real engine offscreen: its dialogs are answered
// unseen while the program says so, and one left open is closed when the reload comes due.
#include <gtest/gtest.h>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineProfile>

#include "ScopedEnv.h"
#include "TempDir.h"
#include "binding/Browser.h"
#include "forms/WebBrowser.h"

namespace {

// The alert comes with the first load only: window.name lives on across the reload.
const QString kPage = QStringLiteral(
    "<html><body><script>"
    "if (window.name !== 'seen') { window.name = 'seen'; alert('the page speaks');"
    "  document.title = 'first'; } else { document.title = 'reloaded'; }"
    "</script></body></html>");

class BrowserBindingTest : public ::testing::Test {
  protected:
    BrowserBindingTest()
        : m_data("XDG_DATA_HOME", (m_dir / "data").string()),
          m_cache("XDG_CACHE_HOME", (m_dir / "cache").string()),
          m_profile(binding::CreateBrowserProfile(nullptr)) {
        web.Move(0, 0, 6000, 4500);
        view = new binding::BrowserWidget(web, *m_profile, nullptr);
        view->show();
    }
    ~BrowserBindingTest() override {
        delete view;
        delete m_profile;
    }
    // The message box of the page on screen, if any.
    static QMessageBox* PageBox() {
        return qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    }

    testing_support::TempDir m_dir;
    testing_support::ScopedEnv m_data;
    testing_support::ScopedEnv m_cache;
    QWebEngineProfile* m_profile;
    core::WebBrowser web{"Web1"};
    binding::BrowserWidget* view = nullptr;
};

TEST_F(BrowserBindingTest, WhileQuietTheAlertIsAnsweredUnseen) {
    web.SetQuietWhen([] { return true; });
    bool boxSeen = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] { boxSeen = boxSeen || PageBox() != nullptr; });
    watch.start(20);
    view->setHtml(kPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == QStringLiteral("first"); }, 20000))
        << "the page went on past its alert";
    EXPECT_FALSE(boxSeen) << "the page's alert was shown";
    EXPECT_FALSE(web.DialogOpen());
}

TEST_F(BrowserBindingTest, AnAlertLeftOpenIsClosedWhenTheReloadIsDue) {
    web.SetQuietWhen([] { return false; });
    QPointer<QMessageBox> box;
    bool reloadAsked = false;
    // Runs inside the dialog's own event loop: nobody answers it, and the reload comes due.
    QTimer due;
    QObject::connect(&due, &QTimer::timeout, [&] {
        if (!reloadAsked && PageBox() != nullptr) {
            box = PageBox();
            EXPECT_TRUE(box->text().contains(QStringLiteral("the page speaks")));
            EXPECT_TRUE(web.DialogOpen());
            reloadAsked = true;
            web.Refresh();
        }
    });
    due.start(50);
    view->setHtml(kPage);
    ASSERT_TRUE(QTest::qWaitFor([&] { return view->title() == QStringLiteral("reloaded"); }, 30000))
        << "the reload never came: title " << view->title().toStdString();
    EXPECT_TRUE(reloadAsked) << "the alert was never shown on an open page";
    EXPECT_TRUE(box.isNull() || !box->isVisible()) << "the dialog is still up";
    EXPECT_FALSE(web.DialogOpen());
}

}  // namespace
