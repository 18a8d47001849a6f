// SPDX-License-Identifier: MIT
#include "platform/gdi/Blend.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/gdi/GdiObjects.h"

namespace {

namespace gdi = platform::gdi;
using gdi::Pixel;

// A memory context with a 32-bit bitmap of its own, filled with one colour.
class Canvas {
  public:
    Canvas(int width, int height, Pixel fill)
        : m_dc(gdi::CreateCompatibleDC(nullptr)),
          m_bitmap(gdi::CreateCompatibleBitmap(nullptr, width, height)) {
        m_old = gdi::SelectObject(m_dc, m_bitmap);
        for (Pixel& p : Bits().Pixels()) {
            p = fill;
        }
    }
    ~Canvas() {
        gdi::SelectObject(m_dc, m_old);
        gdi::DeleteObject(m_bitmap);
        gdi::DeleteDC(m_dc);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    gdi::HDC Dc() const { return m_dc; }
    gdi::Bitmap& Bits() const { return *gdi::BitmapOf(m_bitmap); }
    Pixel At(int x, int y) const { return Bits().At(x, y); }

  private:
    gdi::HDC m_dc;
    gdi::HBITMAP m_bitmap;
    gdi::HGDIOBJ m_old = nullptr;
};

gdi::BLENDFUNCTION Constant(std::uint8_t alpha) {
    gdi::BLENDFUNCTION f;
    f.SourceConstantAlpha = alpha;
    return f;
}

Pixel Grey(std::uint32_t v) {
    return 0xFF000000u | (v << 16) | (v << 8) | v;
}

TEST(AlphaBlend, MixesEachChannelWithRoundingToNearest) {
    struct Case {
        Pixel source;
        Pixel dest;
        std::uint8_t alpha;
        Pixel expected;
    };
    const Case cases[] = {
        {Grey(200), Grey(100), 0, Grey(100)},    // nothing of the source
        {Grey(200), Grey(100), 255, Grey(200)},  // only the source
        {Grey(255), Grey(0), 100, Grey(100)},    // 100.498
        {Grey(0), Grey(255), 100, Grey(155)},    // 155.498
        {Grey(200), Grey(100), 100, Grey(139)},  // 139.2
        {Grey(12), Grey(240), 100, Grey(151)},
        {Grey(200), Grey(30), 150, Grey(130)},  // 130.0
        {Grey(90), Grey(240), 150, Grey(152)},
        {Grey(1), Grey(0), 128, Grey(1)},  // 0.502 rounds up
        {Grey(1), Grey(0), 127, Grey(0)},  // 0.498 rounds down
        {Grey(0), Grey(255), 1, Grey(254)},
        // The channels are blended apart: red 255 over 0, green 0 over 255, blue 200 over 100.
        {0xFFFF00C8u, 0xFF00FF64u, 100, 0xFF649B8Bu},
    };
    for (const Case& c : cases) {
        Canvas src(1, 1, c.source);
        Canvas dest(1, 1, c.dest);
        EXPECT_TRUE(
            gdi::AlphaBlend(dest.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, 1, 1, Constant(c.alpha)));
        EXPECT_EQ(dest.At(0, 0), c.expected)
            << std::hex << c.source << " over " << c.dest << " alpha " << std::dec << +c.alpha;
    }
}

TEST(AlphaBlend, TakesTheSourceRectangleAtItsOffset) {
    Canvas src(6, 4, Grey(0));
    src.Bits().Set(4, 3, Grey(255));
    Canvas dest(3, 2, Grey(7));
    ASSERT_TRUE(gdi::AlphaBlend(dest.Dc(), 1, 0, 2, 2, src.Dc(), 3, 2, 2, 2, Constant(255)));
    // Destination (1..2, 0..1) holds source (3..4, 2..3); column 0 is left alone.
    EXPECT_EQ(dest.At(0, 0), Grey(7));
    EXPECT_EQ(dest.At(0, 1), Grey(7));
    EXPECT_EQ(dest.At(2, 1), Grey(255));
    EXPECT_EQ(dest.At(1, 1), Grey(0));
    EXPECT_EQ(dest.At(2, 0), Grey(0));
}

TEST(AlphaBlend, RefusesASourceRectangleOutsideTheSourceAndDrawsNothing) {
    struct Case {
        const char* name;
        int srcX, srcY, width, height;
    };
    const Case cases[] = {
        {"left of the bitmap", -1, 0, 3, 3},   {"above the bitmap", 0, -1, 3, 3},
        {"past the right edge", 2, 0, 3, 3},   {"past the bottom edge", 0, 1, 3, 3},
        {"wider than the bitmap", 0, 0, 5, 1}, {"negative width", 0, 0, -1, 1},
        {"negative height", 0, 0, 1, -1},
    };
    Canvas src(4, 3, Grey(255));
    for (const Case& c : cases) {
        Canvas dest(4, 3, Grey(10));
        EXPECT_FALSE(gdi::AlphaBlend(dest.Dc(), 0, 0, c.width, c.height, src.Dc(), c.srcX, c.srcY,
                                     c.width, c.height, Constant(255)))
            << c.name;
        for (Pixel p : dest.Bits().Pixels()) {
            ASSERT_EQ(p, Grey(10)) << c.name;
        }
    }
}

TEST(AlphaBlend, ClipsTheDestinationToItsBitmap) {
    Canvas src(4, 4, Grey(200));
    Canvas dest(3, 3, Grey(0));
    // Half of the rectangle lies left of and above the destination.
    ASSERT_TRUE(gdi::AlphaBlend(dest.Dc(), -2, -2, 4, 4, src.Dc(), 0, 0, 4, 4, Constant(255)));
    EXPECT_EQ(dest.At(0, 0), Grey(200));
    EXPECT_EQ(dest.At(1, 1), Grey(200));
    EXPECT_EQ(dest.At(2, 0), Grey(0));
    EXPECT_EQ(dest.At(0, 2), Grey(0));
}

TEST(AlphaBlend, StretchesToTheNearestSourcePixel) {
    Canvas src(2, 1, Grey(0));
    src.Bits().Set(1, 0, Grey(90));
    Canvas dest(4, 1, Grey(255));
    ASSERT_TRUE(gdi::AlphaBlend(dest.Dc(), 0, 0, 4, 1, src.Dc(), 0, 0, 2, 1, Constant(255)));
    EXPECT_EQ(dest.At(0, 0), Grey(0));
    EXPECT_EQ(dest.At(1, 0), Grey(0));
    EXPECT_EQ(dest.At(2, 0), Grey(90));
    EXPECT_EQ(dest.At(3, 0), Grey(90));
}

TEST(AlphaBlend, OntoItselfReadsWhatWasThereBefore) {
    Canvas c(3, 1, Grey(0));
    c.Bits().Set(0, 0, Grey(255));
    // Shift right by one: a pass that read its own output would smear the white to the end.
    ASSERT_TRUE(gdi::AlphaBlend(c.Dc(), 1, 0, 2, 1, c.Dc(), 0, 0, 2, 1, Constant(255)));
    EXPECT_EQ(c.At(1, 0), Grey(255));
    EXPECT_EQ(c.At(2, 0), Grey(0));
}

TEST(AlphaBlend, RefusesWhatItDoesNotBlend) {
    Canvas src(2, 2, Grey(255));
    Canvas dest(2, 2, Grey(0));
    gdi::BLENDFUNCTION perPixel = Constant(255);
    perPixel.AlphaFormat = gdi::AC_SRC_ALPHA;
    gdi::BLENDFUNCTION otherOp = Constant(255);
    otherOp.BlendOp = 1;
    gdi::BLENDFUNCTION flags = Constant(255);
    flags.BlendFlags = 1;
    for (const gdi::BLENDFUNCTION& f : {perPixel, otherOp, flags}) {
        EXPECT_FALSE(gdi::AlphaBlend(dest.Dc(), 0, 0, 2, 2, src.Dc(), 0, 0, 2, 2, f));
    }
    // A new memory context holds a monochrome bitmap; a stale context holds nothing.
    gdi::HDC mono = gdi::CreateCompatibleDC(nullptr);
    EXPECT_FALSE(gdi::AlphaBlend(mono, 0, 0, 1, 1, src.Dc(), 0, 0, 1, 1, Constant(255)));
    EXPECT_FALSE(gdi::AlphaBlend(dest.Dc(), 0, 0, 1, 1, mono, 0, 0, 1, 1, Constant(255)));
    gdi::DeleteDC(mono);
    EXPECT_FALSE(gdi::AlphaBlend(dest.Dc(), 0, 0, 1, 1, mono, 0, 0, 1, 1, Constant(255)));
    for (Pixel p : dest.Bits().Pixels()) {
        EXPECT_EQ(p, Grey(0));
    }
}

}  // namespace
