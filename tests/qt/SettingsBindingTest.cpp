// SPDX-License-Identifier: MIT
// The settings window and the tray menu made real with widgets on the offscreen platform.
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>
#include <QWebEngineProfile>

#include <sys/stat.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "BindingFixture.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "binding/Browser.h"
#include "binding/QtPictureDecoder.h"
#include "forms/Addresses.h"
#include "platform/Shell.h"
#include "settings/FrmMenu.h"
#include "settings/FrmOption.h"
#include "settings/Mod_Config.h"

namespace {

using testing_support::FocusWalk;

class SettingsBindingTest : public testing_support::BindingTest {
  protected:
    core::FrmOption& Open() {
        Start();
        m_program.ShowOption();
        QApplication::processEvents();
        return m_program.Option();
    }
};

TEST_F(SettingsBindingTest, WindowIsFramelessAtItsSizeAndCentred) {
    core::FrmOption& option = Open();
    binding::FormWidget* window = m_windows.WidgetOf(option);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(773, 527));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("软件设置"));
    // Centred on the 1280 x 800 screen of the test double: 253.5 and 136.5 round to even.
    EXPECT_EQ(window->pos(), QPoint(254, 136));
    // The corners are cut away.
    EXPECT_FALSE(window->mask().contains(QPoint(0, 0)));
    EXPECT_FALSE(window->mask().contains(QPoint(772, 526)));
    EXPECT_TRUE(window->mask().contains(QPoint(386, 263)));
}

// Both windows come up centred whatever logical dpi the desktop reports: the widgets are placed
// at 15 twips to the pixel, and so is the centring.
class CentringBindingTest : public SettingsBindingTest,
                            public ::testing::WithParamInterface<int> {};

TEST_P(CentringBindingTest, BothWindowsCentredOnTheScreen) {
    h.screen.SetLogicalDpi(GetParam());
    core::FrmOption& option = Open();
    const core::FrmMain& main = m_program.Main();
    using Point = std::pair<int, int>;
    struct Case {
        const platform::Form& form;
        Point at;  // as on the 96 dpi screen
    };
    for (const Case& c : {Case{main, {268, 128}}, Case{option, {254, 136}}}) {
        const QWidget* window = m_windows.WidgetOf(c.form);
        ASSERT_NE(window, nullptr) << c.form.Name();
        EXPECT_EQ(Point(window->x(), window->y()), c.at) << c.form.Name();
        EXPECT_EQ(Point(static_cast<int>(c.form.Left()), static_cast<int>(c.form.Top())),
                  Point(c.at.first * 15, c.at.second * 15))
            << c.form.Name();
    }
}

INSTANTIATE_TEST_SUITE_P(LogicalDpi, CentringBindingTest,
                         ::testing::Values(72, 96, 100, 110, 120, 144, 168, 192, 288));

TEST_F(SettingsBindingTest, ControlsAtTheirPixelRectangles) {
    core::FrmOption& option = Open();
    struct Case {
        const platform::Control& control;
        QRect pixels;  // in the container
    };
    const Case sized[] = {
        {option.Picture1, QRect(119, 42, 651, 462)},
        {option.QExit, QRect(730, -1, 44, 24)},  // a pixel beyond the top and right edges
        {option.GifPlay1, QRect(3, 379, 644, 78)},
        {option.ReUpdate[3], QRect(139, 290, 72, 17)},
        {option.ReUpdate[2], QRect(71, 290, 72, 17)},
        {option.ReUpdate[1], QRect(139, 266, 72, 17)},
        {option.ReUpdate[0], QRect(71, 266, 67, 17)},
        {option.Mini[1], QRect(138, 210, 87, 17)},
        {option.Mini[0], QRect(70, 210, 70, 17)},
        {option.Shape2, QRect(13, 40, 373, 111)},
        {option.Shape1, QRect(13, 179, 374, 191)},
        {option.Command1, QRect(276, 53, 84, 26)},
        {option.NewPass, QRect(99, 117, 152, 19)},
        {option.oldPass, QRect(99, 87, 152, 19)},
        {option.Users, QRect(99, 55, 152, 19)},
        // The forum's address: a row below the reload periods, inside the frame of the other
        // settings and above the banner.
        {option.HomePage, QRect(88, 317, 289, 19)},
    };
    for (const Case& c : sized) {
        const QWidget* w = WidgetOf(c.control);
        ASSERT_NE(w, nullptr) << c.control.Name() << c.control.Index();
        EXPECT_EQ(w->geometry(), c.pixels) << c.control.Name() << c.control.Index();
    }
    // Labels size themselves to their captions; where they start is the layout's.
    struct LabelCase {
        const platform::Label& label;
        QPoint at;
        QString caption;
    };
    const LabelCase labels[] = {
        {option.Label1, {19, 6}, QStringLiteral("选项设置")},
        {option.Label4, {22, 243}, QStringLiteral("网页刷新时间：")},
        {option.Label3, {22, 190}, QStringLiteral("最小化后是否锁屏：")},
        {option.Label2[4], {15, 22}, QStringLiteral("账号操作：")},
        {option.Label2[3], {15, 161}, QStringLiteral("其他操作：")},
        {option.Label2[2], {35, 119}, QStringLiteral("新的密码：")},
        {option.Label2[1], {35, 87}, QStringLiteral("原始密码：")},
        {option.Label2[0], {35, 57}, QStringLiteral("用户账号：")},
        {option.Label5, {22, 320}, QStringLiteral("论坛地址：")},
    };
    for (const LabelCase& c : labels) {
        const QWidget* w = WidgetOf(c.label);
        ASSERT_NE(w, nullptr) << c.label.Name() << c.label.Index();
        EXPECT_EQ(w->pos(), c.at) << c.label.Name() << c.label.Index();
        EXPECT_EQ(binding::ToQString(c.label.Caption()), c.caption);
        EXPECT_GE(w->width(), QFontMetrics(w->font()).horizontalAdvance(c.caption) - 1)
            << c.label.Name() << c.label.Index();
    }
    // Everything but the title and the close button lies on the panel.
    EXPECT_EQ(WidgetOf(option.GifPlay1)->parentWidget(), WidgetOf(option.Picture1));
    EXPECT_EQ(WidgetOf(option.Users)->parentWidget(), WidgetOf(option.Picture1));
    EXPECT_EQ(WidgetOf(option.QExit)->parentWidget(), m_windows.WidgetOf(option));
}

TEST_F(SettingsBindingTest, OptionsShowTheirCaptionsAsStoredAndEachArrayIsItsOwnChoice) {
    core::FrmOption& option = Open();
    const std::vector<std::pair<const core::OptionButton*, QString>> captions = {
        {&option.Mini[0], QStringLiteral("  锁屏")},
        {&option.Mini[1], QStringLiteral("不锁屏")},
        {&option.ReUpdate[0], QStringLiteral(" 10分钟")},
        {&option.ReUpdate[1], QStringLiteral(" 15分钟")},
        {&option.ReUpdate[2], QStringLiteral(" 20分钟")},
        {&option.ReUpdate[3], QStringLiteral(" 23分钟")},
    };
    for (const auto& [model, caption] : captions) {
        auto* radio = WidgetOf<QRadioButton>(*model);
        ASSERT_NE(radio, nullptr);
        EXPECT_EQ(radio->text(), caption);
        EXPECT_FALSE(radio->isChecked()) << caption.toStdString();
        EXPECT_EQ(radio->palette().color(QPalette::WindowText), QColor(192, 255, 192));
    }
    // Clicking with the mouse: a choice in one array leaves the other's choice alone.
    WidgetOf<QRadioButton>(option.Mini[1])->click();
    WidgetOf<QRadioButton>(option.ReUpdate[2])->click();
    WidgetOf<QRadioButton>(option.ReUpdate[0])->click();
    EXPECT_TRUE(WidgetOf<QRadioButton>(option.Mini[1])->isChecked());
    EXPECT_TRUE(WidgetOf<QRadioButton>(option.ReUpdate[0])->isChecked());
    EXPECT_FALSE(WidgetOf<QRadioButton>(option.ReUpdate[2])->isChecked());
    EXPECT_TRUE(option.Mini[1].Value());
    EXPECT_TRUE(option.ReUpdate[0].Value());
    EXPECT_FALSE(option.ReUpdate[2].Value());
    EXPECT_EQ(h.messages.shown.size(), 0u);
}

// What the window shows of the leftmost 16 columns of `w`, where an option's circle is.
QImage CircleArea(QWidget* window, QWidget* w) {
    const QPoint at = w->mapTo(window, QPoint(0, 0));
    return window->grab(QRect(at, QSize(16, w->height()))).toImage();
}

TEST_F(SettingsBindingTest, OptionCirclesShowOverThePanelAndShowTheirMark) {
    core::FrmOption& option = Open();
    QWidget* window = m_windows.WidgetOf(option);
    QWidget* lock = WidgetOf(option.Mini[0]);
    ASSERT_NE(lock, nullptr);
    // The panel behind is a light green; the circle's rim stands out from it.
    const QImage before = CircleArea(window, lock);
    int darkest = 255;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            darkest = std::min(darkest, before.pixelColor(x, y).lightness());
        }
    }
    EXPECT_LT(darkest, 140) << "no circle in front of the caption";
    // A chosen option carries a dark dot in its circle.
    WidgetOf<QRadioButton>(option.Mini[0])->click();
    const QImage after = CircleArea(window, lock);
    int darkened = 0;
    for (int y = 0; y < before.height(); ++y) {
        for (int x = 0; x < before.width(); ++x) {
            darkened +=
                before.pixelColor(x, y).lightness() - after.pixelColor(x, y).lightness() > 100;
        }
    }
    EXPECT_GE(darkened, 4) << "the mark of the chosen option is not seen";
}

TEST_F(SettingsBindingTest, PasswordsAreShownAsTypedAndTabFollowsTheLayout) {
    core::FrmOption& option = Open();
    QApplication::setActiveWindow(m_windows.WidgetOf(option));
    for (const core::TextBox* box : {&option.Users, &option.oldPass, &option.NewPass}) {
        auto* edit = WidgetOf<QLineEdit>(*box);
        ASSERT_NE(edit, nullptr);
        EXPECT_EQ(edit->echoMode(), QLineEdit::Normal);
        edit->setText(QStringLiteral("s3cret"));
        EXPECT_EQ(edit->displayText(), QStringLiteral("s3cret"));
    }
    QWidget* users = WidgetOf(option.Users);
    users->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), users);
    const std::vector<QWidget*> order = FocusWalk(Qt::Key_Tab, 3);
    EXPECT_EQ(order, (std::vector<QWidget*>{WidgetOf(option.oldPass), WidgetOf(option.NewPass),
                                            WidgetOf(option.Command1)}));
}

TEST_F(SettingsBindingTest, TheAddressRowLooksLikeItsNeighbours) {
    core::FrmOption& option = Open();
    // The caption as the reload period's; the box as the account boxes.
    EXPECT_EQ(WidgetOf(option.Label5)->font(), WidgetOf(option.Label4)->font());
    EXPECT_EQ(WidgetOf(option.Label5)->palette().color(QPalette::WindowText),
              WidgetOf(option.Label4)->palette().color(QPalette::WindowText));
    auto* address = WidgetOf<QLineEdit>(option.HomePage);
    auto* users = WidgetOf<QLineEdit>(option.Users);
    ASSERT_NE(address, nullptr);
    EXPECT_EQ(address->font(), users->font());
    EXPECT_EQ(address->styleSheet(), users->styleSheet());
    EXPECT_EQ(address->echoMode(), QLineEdit::Normal);
    const QRect frame = WidgetOf(option.Shape1)->geometry();
    EXPECT_TRUE(frame.contains(address->geometry())) << "inside the other settings' frame";
    EXPECT_FALSE(address->geometry().intersects(WidgetOf(option.ReUpdate[3])->geometry()));
    EXPECT_FALSE(address->geometry().intersects(WidgetOf(option.GifPlay1)->geometry()));
}

TEST_F(SettingsBindingTest, TheAddressIsWrittenOnEnterAndWhenTheBoxIsLeft) {
    core::FrmOption& option = Open();
    QWidget* window = m_windows.WidgetOf(option);
    QApplication::setActiveWindow(window);
    auto* address = WidgetOf<QLineEdit>(option.HomePage);
    ASSERT_NE(address, nullptr);
    address->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), address);
    QTest::keyClicks(address, QStringLiteral("127.0.0.1:9/a"));
    QTest::keyClick(address, Qt::Key_Return);
    EXPECT_EQ(core::ReadSetting(core::kHomePage), u"127.0.0.1:9/a");

    address->selectAll();
    QTest::keyClicks(address, QStringLiteral("127.0.0.1:9/b"));
    EXPECT_EQ(core::ReadSetting(core::kHomePage), u"127.0.0.1:9/a") << "not before it is left";
    WidgetOf(option.Users)->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(QApplication::focusWidget(), WidgetOf(option.Users));
    EXPECT_EQ(core::ReadSetting(core::kHomePage), u"127.0.0.1:9/b");
    EXPECT_TRUE(h.messages.shown.empty());

    // Reopened, the window shows what is stored.
    option.QExit.Click.Raise(platform::vbLeftButton);
    QApplication::processEvents();
    core::FrmOption& again = Open();
    EXPECT_EQ(WidgetOf<QLineEdit>(again.HomePage)->text(), QStringLiteral("127.0.0.1:9/b"));
}

TEST_F(SettingsBindingTest, BannerIsDrawnAndAClickOnItOpensTheBoardPage) {
    binding::QtPictureDecoder decoder;
    platform::Services services = platform::CurrentServices();
    services.pictures = &decoder;
    platform::ServicesScope scope(services);
    core::FrmOption& option = Open();
    h.clock.Advance(200);  // a few frames in
    QApplication::processEvents();

    QWidget* banner = WidgetOf(option.GifPlay1);
    ASSERT_NE(banner, nullptr);
    const QImage shown = banner->grab().toImage();
    ASSERT_EQ(shown.size(), QSize(644, 78));
    int notFace = 0;
    for (int y = 0; y < shown.height(); y += 3) {
        for (int x = 0; x < shown.width(); x += 3) {
            notFace += shown.pixelColor(x, y) != QColor(240, 240, 240) ? 1 : 0;
        }
    }
    EXPECT_GT(notFace, 1000) << "the banner's picture is on the control";

    const QPointF at(300, 40);
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent e(type, at, banner->mapToGlobal(at), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
        QApplication::sendEvent(banner, &e);
    }
    ASSERT_EQ(h.shell.opened.size(), 1u);
    EXPECT_EQ(h.shell.opened[0].file, "http://bbs.loomhaven.example/forum-2-1.html");
    EXPECT_EQ(h.shell.opened[0].show, platform::SW_SHOWNORMAL);
}

TEST_F(SettingsBindingTest, TrayMenuHasItsFiveEntriesWithAccessKeys) {
    core::FrmMain& main = Start();
    std::vector<std::pair<bool, QString>> entries;  // separator?, text
    QTimer::singleShot(0, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (menu == nullptr) {
            return;
        }
        for (QAction* a : menu->actions()) {
            entries.emplace_back(a->isSeparator(), a->text());
            EXPECT_TRUE(a->isEnabled());
            EXPECT_TRUE(a->isVisible());
            EXPECT_FALSE(a->isChecked());
        }
        menu->close();
    });
    main.MouseMove.Raise(0, 0, platform::WM_RBUTTONUP * 15.0f,
                         0);  // the tray icon's right-button message
    const std::vector<std::pair<bool, QString>> want = {
        {false, QStringLiteral("检测更新(&U)")}, {true, QString()},
        {false, QStringLiteral("软件设置(&S)")}, {true, QString()},
        {false, QStringLiteral("退出软件(&E)")},
    };
    EXPECT_EQ(entries, want);
    EXPECT_FALSE(m_program.Menu().Visible()) << "the menu's window is never shown";
}

// The browser profile keeps the forum session (cookies, storage, cache): only the user may look
// into its directories, whether the program makes them or finds them there already.
TEST(BrowserProfileBinding, StorageAndCacheAreOwnerOnly) {
    testing_support::TempDir dir;
    const testing_support::ScopedEnv data("XDG_DATA_HOME", (dir / "data").string());
    const testing_support::ScopedEnv cache("XDG_CACHE_HOME", (dir / "cache").string());
    auto modeOf = [](const QString& path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode)
                   ? (st.st_mode & 07777)
                   : 07777u;
    };
    for (const char* round : {"made", "found open"}) {
        SCOPED_TRACE(round);
        QWebEngineProfile* profile = binding::CreateBrowserProfile(nullptr);
        const QString storage = profile->persistentStoragePath();
        const QString cachePath = profile->cachePath();
        delete profile;
        ASSERT_TRUE(storage.startsWith(QString::fromStdString((dir / "data").string())))
            << storage.toStdString();
        ASSERT_TRUE(cachePath.startsWith(QString::fromStdString((dir / "cache").string())))
            << cachePath.toStdString();
        EXPECT_EQ(modeOf(storage), 0700u) << storage.toStdString();
        EXPECT_EQ(modeOf(cachePath), 0700u) << cachePath.toStdString();
        // The next round finds them readable by everyone.
        ::chmod(QFile::encodeName(storage).constData(), 0755);
        ::chmod(QFile::encodeName(cachePath).constData(), 0755);
    }
}

}  // namespace
