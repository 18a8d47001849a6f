// SPDX-License-Identifier: MIT
// The pointer on the real windows, as the window system delivers it (offscreen): presses hold
// the mouse for the widget under them, and there is no window manager to move windows.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>
#include <QWindow>

#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "BindingFixture.h"
#include "settings/FrmOption.h"

namespace {

const std::filesystem::path kDataImage = std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / "data/image";

class PointerBindingTest : public testing_support::BindingTest {
  protected:
    // The point `p` of `w` in the coordinates of its window.
    static QPoint InWindow(QWidget* w, QPoint p) { return w->mapTo(w->window(), p); }

    static std::vector<std::uint8_t> Bytes(const std::filesystem::path& file) {
        const std::string s = testing_support::ReadFile(file);
        return {s.begin(), s.end()};
    }

    using Point = std::pair<int, int>;
    static Point Of(QPoint p) { return {p.x(), p.y()}; }
    // The form's Left and Top, in twips.
    static Point LeftTop(const platform::Form& f) {
        return {static_cast<int>(f.Left()), static_cast<int>(f.Top())};
    }

    // The pointer to `global`, wherever the window is by now.
    static void MoveTo(QWindow* window, QPoint global) {
        QTest::mouseMove(window, window->mapFromGlobal(global));
    }
};

TEST_F(PointerBindingTest, CloseButtonShowsTheNormalPictureWhenLeftWhilePressed) {
    const std::filesystem::path data = h.AppPath() / "data" / "image";
    std::filesystem::create_directories(data);
    for (const char* f : {"Exit_up.png", "Exit_move.png", "Exit_down.png"}) {
        std::filesystem::copy_file(kDataImage / f, data / f);
    }
    const std::map<std::vector<std::uint8_t>, std::string> looks = {
        {Bytes(data / "Exit_up.png"), "normal"},
        {Bytes(data / "Exit_move.png"), "hovered"},
        {Bytes(data / "Exit_down.png"), "pressed"},
    };

    core::FrmMain& main = Start();
    m_program.ShowOption();
    QApplication::processEvents();
    core::FrmOption& option = m_program.Option();

    for (core::AlphaImage* button : {&main.QExit, &option.QExit}) {
        QWidget* w = WidgetOf(*button);
        ASSERT_NE(w, nullptr);
        QWindow* window = w->window()->windowHandle();
        ASSERT_NE(window, nullptr);
        const QPoint over = InWindow(w, w->rect().center());
        const QPoint beside = over - QPoint(60, 0);  // the title strip, left of the button
        std::vector<std::string> shown;
        auto Look = [&] {
            const auto it = looks.find(button->Image());
            shown.push_back(it != looks.end() ? it->second : "other");
        };

        QTest::mouseMove(window, beside);
        QTest::mouseMove(window, over);
        Look();
        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, over);
        Look();
        QTest::mouseMove(window, beside);  // the button is still down
        Look();
        QTest::mouseMove(window, beside + QPoint(0, 3));
        Look();
        QTest::mouseMove(window, over);
        Look();
        QTest::mouseMove(window, beside);
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, beside);
        Look();
        EXPECT_EQ(shown, (std::vector<std::string>{"hovered", "pressed", "normal", "normal",
                                                   "hovered", "normal"}))
            << w->window()->windowTitle().toStdString();
    }
    // Released beside the buttons: neither window took it for a click.
    EXPECT_TRUE(main.Visible());
    EXPECT_EQ(main.WindowState(), platform::vbNormal);
    EXPECT_TRUE(option.IsLoaded());
}

// Without a window manager that moves windows, the window follows the pointer itself while
// the button that pressed on its free surface is down.
TEST_F(PointerBindingTest, WindowFollowsThePointerWhereNoSystemMoveIsOffered) {
    core::FrmMain& main = Start();
    binding::FormWidget* widget = m_windows.WidgetOf(main);
    ASSERT_NE(widget, nullptr);
    QWindow* window = widget->windowHandle();
    ASSERT_NE(window, nullptr);

    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        SCOPED_TRACE(button == Qt::LeftButton ? "left button" : "right button");
        const QPoint start = widget->pos();
        const QPoint press = widget->mapToGlobal(QPoint(400, 20));  // the title strip
        QTest::mousePress(window, button, Qt::NoModifier, window->mapFromGlobal(press));
        for (const QPoint by : {QPoint(30, 17), QPoint(-45, 62), QPoint(-200, -90)}) {
            MoveTo(window, press + by);
            EXPECT_EQ(Of(widget->pos()), Of(start + by));
            EXPECT_EQ(LeftTop(main), Of((start + by) * 15));
        }
        const QPoint end = widget->pos();
        QTest::mouseRelease(window, button, Qt::NoModifier,
                            window->mapFromGlobal(press + (end - start)));
        MoveTo(window, press + QPoint(25, 25));
        EXPECT_EQ(Of(widget->pos()), Of(end)) << "released: the window stays";
        EXPECT_EQ(LeftTop(main), Of(end * 15));
    }

    // A press on a control (the lock panel, once it has slid over the browser) moves nothing.
    h.clock.Advance(3000);
    QApplication::processEvents();
    const QPoint start = widget->pos();
    QWidget* panel = WidgetOf(main.Picture2);
    ASSERT_NE(panel, nullptr);
    const QPoint onPanel = panel->mapToGlobal(QPoint(100, 100));
    ASSERT_EQ(widget->childAt(widget->mapFromGlobal(onPanel)), panel);
    QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, window->mapFromGlobal(onPanel));
    MoveTo(window, onPanel + QPoint(40, 40));
    QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier,
                        window->mapFromGlobal(onPanel + QPoint(40, 40)));
    EXPECT_EQ(Of(widget->pos()), Of(start));
}

}  // namespace
