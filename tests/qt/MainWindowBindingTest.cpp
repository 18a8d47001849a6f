// SPDX-License-Identifier: MIT
// The main window made real with widgets on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QWebEngineView>

#include "BindingFixture.h"
#include "app/FrmMain.h"
#include "app/Program.h"
#include "binding/Convert.h"
#include "binding/FormWidget.h"
#include "binding/QtWindowSystem.h"

namespace {

using MainWindowBindingTest = testing_support::BindingTest;

TEST_F(MainWindowBindingTest, WindowIsFramelessAtItsSizeAndCentred) {
    core::FrmMain& main = Start();
    binding::FormWidget* window = m_windows.WidgetOf(main);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(window->windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(window->size(), QSize(743, 545));
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Quillmere"));
    // Centred on the 1280 x 800 screen of the test double: (1280 - 743) / 2 = 268.5 -> 268.
    EXPECT_EQ(window->pos(), QPoint(268, 128));
}

TEST_F(MainWindowBindingTest, ControlsAtTheirPixelRectangles) {
    core::FrmMain& main = Start();
    struct Case {
        const platform::Control& control;
        QRect pixels;
    };
    const Case cases[] = {
        {main.Picture1, QRect(-3, 50, 746, 462)},
        {main.QExit, QRect(699, 0, 44, 24)},  // moved flush with the right edge at load
        {main.Web1, QRect(2, 0, 744, 462)},
        {main.CommandButton1, QRect(477, 312, 66, 28)},
        {main.aicAlphaImage2, QRect(246, 186, 24, 24)},
        {main.aicAlphaImage1, QRect(246, 233, 24, 24)},
        {main.PassWord, QRect(293, 232, 227, 24)},
        {main.UserName, QRect(293, 185, 226, 24)},
        {main.AImage1, QRect(156, 68, 460, 310)},
    };
    for (const Case& c : cases) {
        const QWidget* w = WidgetOf(c.control);
        ASSERT_NE(w, nullptr) << c.control.Name();
        EXPECT_EQ(w->geometry(), c.pixels) << c.control.Name();
    }
    // The lock panel is as large as the browser panel and lies in front of it.
    const QWidget* panel = WidgetOf(main.Picture2);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->size(), QSize(746, 462));
    const QObjectList& siblings = panel->parentWidget()->children();
    EXPECT_GT(siblings.indexOf(const_cast<QWidget*>(panel)),
              siblings.indexOf(WidgetOf(main.Picture1)));
}

TEST_F(MainWindowBindingTest, ClockLabelLooksAsDesigned) {
    core::FrmMain& main = Start();
    QWidget* clock = WidgetOf(main.Label2);
    ASSERT_NE(clock, nullptr);
    EXPECT_EQ(clock->pos(), QPoint(539, 346));
    const QFontInfo info(clock->font());
    EXPECT_EQ(info.family(), QStringLiteral("Comic Neue"));
    EXPECT_TRUE(clock->font().bold());
    EXPECT_DOUBLE_EQ(clock->font().pointSizeF(), 12.0);
    EXPECT_EQ(binding::ToQColor(main.Label2.ForeColor()), QColor(255, 255, 255));
    // The label sizes itself to the time it shows.
    h.clock.SetTime(2026, 12, 9, 23, 59, 58);
    h.clock.Advance(1000);
    EXPECT_EQ(main.Label2.Caption(), u"11:59:59");
    EXPECT_EQ(clock->width(),
              QFontMetrics(clock->font()).horizontalAdvance(QStringLiteral("11:59:59")));
}

TEST_F(MainWindowBindingTest, SongTiFallsBackToAnInstalledChineseFont) {
    core::FrmMain& main = Start();
    const QFontInfo info(WidgetOf(main.UserName)->font());
    EXPECT_TRUE(info.family().startsWith(QStringLiteral("AR PL UMing")))
        << info.family().toStdString();
}

TEST_F(MainWindowBindingTest, PointerMovingOverTheWindowIsNoTrayMessage) {
    core::FrmMain& main = Start();
    QWidget* window = m_windows.WidgetOf(main);
    // Pixel column 514 would read as "left button released" (hide the window) if pointer
    // movements over the window were passed on as the tray's messages are.
    QMouseEvent move(QEvent::MouseMove, QPointF(514, 20), window->mapToGlobal(QPointF(514, 20)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(window, &move);
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbNormal);
}

}  // namespace
