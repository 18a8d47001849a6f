// SPDX-License-Identifier: MIT
#include "effects/Mod_PicBoxAplha.h"

#include <gtest/gtest.h>

#include "GdiSurface.h"

#include <cmath>
#include <memory>
#include <stdexcept>

#include "platform/Form.h"
#include "platform/PictureBox.h"

namespace {

namespace gdi = platform::gdi;
using gdi::Pixel;

Pixel Grey(std::uint32_t v) {
    return 0xFF000000u | (v << 16) | (v << 8) | v;
}
std::uint32_t Blue(Pixel p) {
    return p & 0xFF;
}

std::shared_ptr<const gdi::Bitmap> Solid(int width, int height, Pixel p) {
    auto b = std::make_shared<gdi::Bitmap>(width, height, 32);
    for (Pixel& q : b->Pixels()) {
        q = p;
    }
    return b;
}

using testing_support::Numbered;

// A window of 20 x 16 pixels with a picture box on it; the box is the usual grey 240.
class BlendTest : public ::testing::Test {
  protected:
    BlendTest() {
        window.Move(0, 0, 20 * 15, 16 * 15);
        window.Add(box);
        box.Move(2 * 15, 3 * 15, 4 * 15, 2 * 15);
    }
    Pixel BoxAt(int x, int y) { return box.Image()->At(x, y); }

    platform::Form window{"Window"};
    platform::PictureBox box{"Box"};
};

TEST_F(BlendTest, EachPixelMixesWindowAndBoxByAlpha) {
    struct Case {
        std::int16_t alpha;
        std::uint32_t window;
        std::uint32_t expected;
    };
    const Case cases[] = {
        {0, 12, 240},    // nothing of the window
        {255, 12, 12},   // only the window
        {100, 12, 151},  // (12 * 100 + 240 * 155 + 127) / 255
        {100, 34, 159}, {150, 90, 152}, {150, 240, 240},
    };
    for (const Case& c : cases) {
        platform::Form w("Window");
        platform::PictureBox b("Box");
        w.Move(0, 0, 20 * 15, 16 * 15);
        w.Add(b);
        b.Move(2 * 15, 3 * 15, 4 * 15, 2 * 15);
        w.SetPicture(Solid(20, 16, Grey(c.window)));
        core::BlendPictureBox(w, b, c.alpha);
        for (Pixel p : b.Image()->Pixels()) {
            ASSERT_EQ(p, Grey(c.expected)) << "alpha " << c.alpha << " window " << c.window;
        }
    }
}

TEST_F(BlendTest, TakesTheWindowUnderTheBoxAtTheNearestPixel) {
    struct Case {
        platform::Twips left, top;
        int x, y;  // the window pixel under the box's top-left pixel
    };
    const Case cases[] = {
        {112.5f, 97.5f, 8, 6},  // 7.5 and 6.5 pixels go to the even neighbours
        {127.5f, 82.5f, 8, 6},  // 8.5 and 5.5 as well
        {120.0f, 90.0f, 8, 6},
        {113.0f, 98.0f, 8, 7},  // past the half
    };
    window.SetPicture(Numbered(20, 16));
    for (const Case& c : cases) {
        box.Move(c.left, c.top, 4 * 15, 2 * 15);
        box.SetAutoRedraw(false);  // a fresh box each time
        core::BlendPictureBox(window, box, 255);
        const auto w = Numbered(20, 16);
        EXPECT_EQ(BoxAt(0, 0), w->At(c.x, c.y)) << c.left << "," << c.top;
        EXPECT_EQ(BoxAt(3, 1), w->At(c.x + 3, c.y + 1)) << c.left << "," << c.top;
    }
}

TEST_F(BlendTest, RepeatedBlendsConvergeOnTheBackground) {
    // After k blends of alpha a the box holds the window's value plus (1 - a/255)^k of the
    // first difference, give or take the rounding of each step.
    window.SetPicture(Solid(20, 16, Grey(20)));
    std::uint32_t previous = 240;
    for (int k = 1; k <= 5; ++k) {
        core::BlendPictureBox(window, box, 100);
        const std::uint32_t v = Blue(BoxAt(1, 1));
        const double predicted = 20 + 220 * std::pow(1 - 100.0 / 255.0, k);
        EXPECT_NEAR(v, predicted, 1.0) << "after " << k << " blends";
        EXPECT_LT(v, previous) << "after " << k << " blends";
        previous = v;
    }
    EXPECT_EQ(previous, 38u);  // 38.25 predicted
}

TEST_F(BlendTest, RefusesAnAlphaThatIsNoByteBeforeDrawing) {
    window.SetPicture(Solid(20, 16, Grey(0)));
    for (const std::int16_t alpha : {-1, 256, 1000, -32768, 32767}) {
        EXPECT_THROW(core::BlendPictureBox(window, box, alpha), std::overflow_error) << alpha;
        // Persistent drawing is already on, but nothing has been drawn.
        ASSERT_TRUE(window.AutoRedraw());
        ASSERT_TRUE(box.AutoRedraw());
        for (Pixel p : box.Image()->Pixels()) {
            ASSERT_EQ(p, Grey(240)) << alpha;
        }
    }
}

TEST_F(BlendTest, ABoxOverTheWindowsEdgesBlendsThePartOverTheWindow) {
    // Like the main window's panels: from x = -3 to 3 pixels past the right edge.
    window.SetPicture(Numbered(20, 16));
    box.Move(-45, 2 * 15, 26 * 15, 3 * 15);
    core::BlendPictureBox(window, box, 255);
    for (int x = 0; x < 26; ++x) {
        const bool overWindow = x >= 3 && x < 23;
        const Pixel expected = overWindow ? Numbered(20, 16)->At(x - 3, 3) : Grey(240);
        EXPECT_EQ(BoxAt(x, 1), expected) << x;
    }

    // Wholly outside: nothing to blend, and no failure.
    box.Move(21 * 15, 0, 4 * 15, 2 * 15);
    box.SetAutoRedraw(false);
    core::BlendPictureBox(window, box, 255);
    EXPECT_EQ(BoxAt(0, 0), Grey(240));
}

TEST_F(BlendTest, TouchesNeitherTheWindowNorTheBoxsControls) {
    platform::PictureBox inner("Inner");
    box.Add(inner);
    inner.Move(15, 0, 30, 30);
    inner.SetBackColor(gdi::RGB(255, 0, 0));
    inner.SetAutoRedraw(true);
    window.SetPicture(Solid(20, 16, Grey(60)));
    core::BlendPictureBox(window, box, 150);
    for (Pixel p : inner.Image()->Pixels()) {
        EXPECT_EQ(p, 0xFFFF0000u);
    }
    for (Pixel p : window.Image()->Pixels()) {
        ASSERT_EQ(p, Grey(60));
    }
}

}  // namespace
