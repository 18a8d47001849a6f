// SPDX-License-Identifier: MIT
// The GIF player made real on the offscreen platform: its widget shows the drawing surface,
// passes the mouse on in twips and holds the mouse grab while the control has the capture.
#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>

#include <filesystem>
#include <string>
#include <vector>

#include "Doubles.h"
#include "ScopedEnv.h"
#include "TempDir.h"
#include "gif/GifPlay.h"
#include "platform/Form.h"
#include "qt/QtPictureDecoder.h"
#include "qt/QtWindowSystem.h"
#include "qt/UserControlWidget.h"

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

    void Move(int x, int y) {
        QWidget* w = Widget();
        QMouseEvent e(QEvent::MouseMove, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    void Button(QEvent::Type type, int x, int y) {
        QWidget* w = Widget();
        QMouseEvent e(type, QPointF(x, y), w->mapToGlobal(QPointF(x, y)), Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::ShiftModifier);
        QApplication::sendEvent(w, &e);
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

TEST_F(GifPlayBindingTest, TheMouseInTwipsAndTheGrab) {
    std::vector<std::string> events;
    core::GifPlay& player = m_window.Player;
    player.MouseMove.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("move " + std::to_string(b) + " " + std::to_string(s) + " " +
                         std::to_string(static_cast<int>(x)) + "," +
                         std::to_string(static_cast<int>(y)));
    });
    player.MouseLeave.Connect([&] { events.push_back("leave"); });
    player.MouseDown.Connect([&](std::int16_t b, std::int16_t s, float x, float y) {
        events.push_back("down " + std::to_string(b) + " " + std::to_string(s) + " " +
                         std::to_string(static_cast<int>(x)) + "," +
                         std::to_string(static_cast<int>(y)));
    });
    player.MouseUp.Connect(
        [&](std::int16_t, std::int16_t, float, float) { events.push_back("up"); });
    player.Click.Connect([&] { events.push_back("click"); });

    Move(10, 20);
    EXPECT_EQ(QWidget::mouseGrabber(), Widget()) << "inside: the control holds the mouse";
    Move(644, 78);  // the far edges are still inside
    EXPECT_EQ(QWidget::mouseGrabber(), Widget());
    Move(645, 30);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr) << "outside: let go";
    Move(3, 3);
    Button(QEvent::MouseButtonPress, 3, 3);
    Button(QEvent::MouseButtonRelease, 4, 4);
    Button(QEvent::MouseButtonPress, 3, 3);
    Button(QEvent::MouseButtonRelease, 700, 4);  // released outside: no click
    EXPECT_EQ(events, (std::vector<std::string>{"move 0 0 150,300", "move 0 0 9660,1170", "leave",
                                                "move 0 0 45,45", "down 1 1 45,45", "up", "click",
                                                "down 1 1 45,45", "up"}));
    // Hidden, the control loses the grab it held.
    Move(5, 5);
    ASSERT_EQ(QWidget::mouseGrabber(), Widget());
    m_window.Player.SetVisible(false);
    EXPECT_EQ(QWidget::mouseGrabber(), nullptr);
    EXPECT_FALSE(player.HasCapture());
}

}  // namespace
