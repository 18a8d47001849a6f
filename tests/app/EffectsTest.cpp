// SPDX-License-Identifier: MIT
// The main window's look: translucent panels, the outlined title, rounded corners, dragging.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "Doubles.h"
#include "RoundedWindow.h"
#include "app/FrmMain.h"
#include "app/Program.h"

namespace {

namespace gdi = platform::gdi;
using gdi::Pixel;

// One channel of a constant-alpha blend of 100.
std::uint32_t Mix100(std::uint32_t window, std::uint32_t box) {
    return (window * 100 + box * 155 + 127) / 255;
}
Pixel Blend100(Pixel window, Pixel box) {
    Pixel out = 0xFF000000u;
    for (int shift : {0, 8, 16}) {
        out |= Mix100((window >> shift) & 0xFF, (box >> shift) & 0xFF) << shift;
    }
    return out;
}
int Distance(Pixel a, Pixel b) {
    int d = 0;
    for (int shift : {0, 8, 16}) {
        d +=
            std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
    }
    return d;
}

class EffectsTest : public ::testing::Test {
  protected:
    core::FrmMain& Start() {
        m_program.Start();
        return m_program.Main();
    }

    testing_support::Harness h;
    core::Program m_program;
};

TEST_F(EffectsTest, LoadDrawsTheOutlinedTitleOnTheWindowsSurface) {
    core::FrmMain& main = Start();
    ASSERT_TRUE(main.AutoRedraw());
    const std::vector<std::pair<int, int>> positions = {{12, 7}, {14, 9}, {13, 7}, {12, 8}, {13, 9},
                                                        {14, 8}, {12, 9}, {14, 7}, {13, 8}};
    ASSERT_EQ(h.text.drawn.size(), positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        const auto& d = h.text.drawn[i];
        EXPECT_EQ(d.target, main.Image()) << i;
        EXPECT_EQ(std::pair(d.x, d.y), positions[i]) << i;
        EXPECT_EQ(d.text, u"Loomhaven") << i;
        EXPECT_EQ(d.style.colour, i < 8 ? gdi::RGB(0, 0, 0) : gdi::RGB(255, 255, 255)) << i;
        // The window's own font, without background boxes.
        EXPECT_EQ(d.style.face, u"宋体") << i;
        EXPECT_FLOAT_EQ(d.style.pointSize, 9.0f) << i;
        EXPECT_FALSE(d.style.opaque) << i;
    }
}

TEST_F(EffectsTest, LoadBlendsBothPanelsAndTheFirstActivationBlendsThemAgain) {
    int activations = 0;
    core::FrmMain& main = m_program.Main();
    main.Activate.Connect([&] { ++activations; });  // counted instead of blended
    m_program.Start();
    EXPECT_EQ(activations, 1);  // once, when the load is over
    ASSERT_TRUE(main.Picture1.AutoRedraw());
    ASSERT_TRUE(main.Picture2.AutoRedraw());
    const gdi::Bitmap& window = *main.Image();
    const Pixel grey = 0xFFF0F0F0u;
    // The browser panel stands at (-3, 50): its first three columns lie off the window.
    const gdi::Bitmap& browserPanel = *main.Picture1.Image();
    EXPECT_EQ(browserPanel.At(10, 10), Blend100(window.At(7, 60), grey));
    EXPECT_EQ(browserPanel.At(745, 461), Blend100(window.At(742, 511), grey));
    EXPECT_EQ(browserPanel.At(1, 10), grey);
    // The lock panel was blended at its place in the layout, (0, 52), before it was parked.
    const gdi::Bitmap& lockPanel = *main.Picture2.Image();
    EXPECT_EQ(lockPanel.At(0, 0), Blend100(window.At(0, 52), grey));
    EXPECT_EQ(lockPanel.At(400, 300), Blend100(window.At(400, 352), grey));
    EXPECT_EQ(lockPanel.At(744, 10), grey);  // past the window's right edge
}

TEST_F(EffectsTest, FirstActivationComesBeforeTheSlideAndBlendsThePanelsWhereTheyAre) {
    core::FrmMain& main = Start();
    const gdi::Bitmap& window = *main.Image();
    const Pixel grey = 0xFFF0F0F0u;
    // The browser panel twice where it stands.
    EXPECT_EQ(main.Picture1.Image()->At(10, 10),
              Blend100(window.At(7, 60), Blend100(window.At(7, 60), grey)));
    // The lock panel again where it was parked, at x = 740: only its first three columns lie
    // over the window there, and once it has slid in to x = -3 those lie off the window.
    const gdi::Bitmap& lockPanel = *main.Picture2.Image();
    EXPECT_EQ(lockPanel.At(0, 0), Blend100(window.At(740, 52), Blend100(window.At(0, 52), grey)));
    EXPECT_EQ(lockPanel.At(3, 0), Blend100(window.At(3, 52), grey));
    EXPECT_EQ(lockPanel.At(400, 300), Blend100(window.At(400, 352), grey));
}

TEST_F(EffectsTest, EveryActivationBringsThePanelsCloserToTheBackground) {
    core::FrmMain& main = Start();
    h.clock.Advance(3000);  // the lock panel has slid in to (-3, 50)
    ASSERT_EQ(platform::TwipsToPixels(main.Picture2.Left()), -3);
    ASSERT_EQ(platform::TwipsToPixels(main.Picture2.Top()), 50);
    const Pixel background = main.Image()->At(97, 150);
    Pixel previous = main.Picture2.Image()->At(100, 100);
    for (int k = 1; k <= 5; ++k) {
        main.Activate.Raise();
        const Pixel now = main.Picture2.Image()->At(100, 100);
        EXPECT_EQ(now, Blend100(background, previous)) << "activation " << k;
        EXPECT_LT(Distance(now, background), Distance(previous, background)) << "activation " << k;
        previous = now;
    }
}

TEST_F(EffectsTest, LoadRoundsTheWindowsCorners) {
    core::FrmMain& main = Start();
    testing_support::ExpectRoundedCorners(main, 743, 545);
}

TEST_F(EffectsTest, PressingOnTheWindowsSurfaceDragsItUnlessMaximised) {
    core::FrmMain& main = Start();
    for (std::int16_t button : {platform::vbLeftButton, platform::vbRightButton}) {
        main.MouseDown.Raise(button, 0, 200 * 15.0f, 20 * 15.0f);  // the title strip
    }
    EXPECT_EQ(h.windows.moves, (std::vector<std::string>{"FrmMain", "FrmMain"}));
    main.SetWindowState(platform::vbMaximized);
    main.MouseDown.Raise(platform::vbLeftButton, 0, 200 * 15.0f, 530 * 15.0f);
    EXPECT_EQ(h.windows.moves.size(), 2u);
}

}  // namespace
