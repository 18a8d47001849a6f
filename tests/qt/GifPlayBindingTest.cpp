// SPDX-License-Identifier: MIT
// The GIF player made real on the offscreen platform: its widget shows the drawing surface,
// passes the mouse on in twips, and keeps the control's capture to itself: the pointer leaving
// the widget ends it, and nothing else on the desktop loses the mouse to it.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QTest>
#include <QWindow>

#include <filesystem>
#include <string>
#include <vector>

#include "Doubles.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "binding/QtPictureDecoder.h"
#include "binding/QtWindowSystem.h"
#include "binding/UserControlWidget.h"
#include "gif/GifPlay.h"
#include "platform/Form.h"

namespace {

const std::filesystem::path kAssets = std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / "assets";

// A window holding one player where the settings window holds its banner.
struct Window : platform::Form {
    Window() : Form("FrmHost") {
        Move(0, 0, 11595, 7905);
        SetBorderStyle(platform::vbBSNone);
        Add(Player);
        Player.Move(1830, 6315, 9660, 1170);
    }
    core::GifPlay Player{"GifPlay1"};
};

class GifPlayBindingTest : public ::testing::Test {
  protected:
    GifPlayBindingTest()
        : m_scope(platform::Services{.clock = &m_clock,
                                     .process = &m_process,
                                     .screen = &m_screen,
                                     .windows = &m_windows,
                                     .pictures = &m_pictures}) {
        m_window.Show();
        QApplication::processEvents();
    }
    ~GifPlayBindingTest() override { m_window.Unload(); }

    binding::UserControlWidget* Widget() {
        return dynamic_cast<binding::UserControlWidget*>(
            binding::QtWindowSystem::WidgetOf(m_window.Player));
    }

    // The pointer as the window system moves it, at (x, y) of the player's widget.
    QPoint InWindow(int x, int y) { return Widget()->mapTo(Widget()->window(), QPoint(x, y)); }
    QWindow* Handle() { return Widget()->window()->windowHandle(); }
    void Move(int x, int y) { QTest::mouseMove(Handle(), InWindow(x, y)); }
    void Press(int x, int y) {
        QTest::mousePress(Handle(), Qt::LeftButton, Qt::ShiftModifier, InWindow(x, y));
    }
    void Release(int x, int y) {
        QTest::mouseRelease(Handle(), Qt::LeftButton, Qt::ShiftModifier, InWindow(x, y));
    }

    testing_support::TempDir m_tmp;
    testing_support::ScopedEnv m_tmpEnv{"TMPDIR", m_tmp.path().string()};
    testing_support::VirtualClock m_clock;
    testing_support::FakeProcess m_process;
    testing_support::FakeScreen m_screen;
    binding::QtWindowSystem m_windows;
    binding::QtPictureDecoder m_pictures;
    platform::ServicesScope m_scope;
    Window m_window;
};

TEST_F(GifPlayBindingTest, TheWidgetShowsTheSurface) {
    binding::UserControlWidget* w = Widget();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->geometry(), QRect(122, 421, 644, 78));
    EXPECT_TRUE(w->hasMouseTracking());
    m_window.Player.Play((kAssets / "101.gif").string());
    for (int frame = 0; frame < 3; ++frame) {
        m_clock.Advance(201);
        const QImage shown = w->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const platform::gdi::Bitmap& surface = *m_window.Player.Surface();
        ASSERT_EQ(shown.size(), QSize(surface.Width(), surface.Height()));
        int differences = 0;
        for (int y = 0; y < shown.height(); ++y) {
            for (int x = 0; x < shown.width(); ++x) {
                differences += (shown.pixel(x, y) & 0xFFFFFF) != (surface.At(x, y) & 0xFFFFFF);
            }
        }
        EXPECT_EQ(differences, 0) << "frame " << frame;
    }
    EXPECT_EQ(m_window.Player.LastFrameDrawn(), 2);
    EXPECT_TRUE(std::filesystem::is_empty(m_tmp.path()));
}

TEST_F(GifPlayBindingTest, TheMouseInTwipsAndTheCapture) {
    std::vector<std::string> events;
    core::GifPlay& player = m_window.Player;
    auto Args = [](std::int16_t b, std::int16_t s, float x, float y) {
        return std::to_string(b) + " " + std::to_string(s) + " " +
               std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y));
    };
    player.MouseMove.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("move " + Args(b, s, x, y));
    });
    player.MouseLeave.Connect([&] { events.push_back("leave"); });
    player.MouseDown.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("down " + Args(b, s, x, y));
    });
    player.MouseUp.Connect(
        [&](std::int16_t, std::int16_t, float, float) { events.push_back("up"); });
    player.Click.Connect([&] { events.push_back("click"); });
    ASSERT_NE(Handle(), nullptr);

    // Hovering captures for the control, yet takes the mouse from no one: a page the banner
    // opened over it gets its own clicks.
    Move(10, 20);
    EXPECT_TRUE(player.HasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    Move(643, 77);  // the last pixel inside
    EXPECT_TRUE(player.HasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    Move(645, 30);  // on the window beside the player
    EXPECT_FALSE(player.HasCapture()) << "the pointer left: the capture ends";
    EXPECT_EQ(events,
              (std::vector<std::string>{"move 0 0 150,300", "move 0 0 9645,1155", "leave"}));

    // A click; then a press dragged out, which leaves while the button is down, and released
    // outside: no click.
    events.clear();
    Move(3, 3);
    Press(3, 3);
    Release(3, 3);
    Press(3, 3);
    Move(300, -50);
    EXPECT_FALSE(player.HasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    Release(300, -50);
    EXPECT_EQ(events, (std::vector<std::string>{"move 0 0 45,45", "down 1 1 45,45", "up", "click",
                                                "down 1 1 45,45", "leave", "up"}));

    // Something covering the player (a browser window opened over it) takes the pointer away
    // while it is still above the player's rectangle: that too ends the capture.
    events.clear();
    Move(5, 5);
    ASSERT_TRUE(player.HasCapture());
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Widget(), &leave);
    EXPECT_FALSE(player.HasCapture());
    EXPECT_EQ(events, (std::vector<std::string>{"move 0 0 75,75", "leave"}));

    // Hidden, the control loses the capture it held.
    Move(6, 6);
    ASSERT_TRUE(player.HasCapture());
    m_window.Player.SetVisible(false);
    EXPECT_FALSE(player.HasCapture());
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
}

}  // namespace
