// SPDX-License-Identifier: MIT
#include "platform/gdi/Gdi.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

using namespace platform::gdi;

constexpr Pixel kWhitePx = 0xFFFFFFFFu;
constexpr Pixel kBlackPx = 0xFF000000u;

// A memory context with its own bitmap selected; everything is released at the end of the test.
class Surface {
  public:
    Surface(int width, int height, int bitsPerPixel, Pixel fill)
        : m_dc(CreateCompatibleDC(nullptr)),
          m_bitmap(CreateBitmap(width, height, 1, static_cast<unsigned>(bitsPerPixel), nullptr)) {
        m_old = static_cast<HBITMAP>(SelectObject(m_dc, m_bitmap));
        for (Pixel& p : Bits().Pixels()) {
            p = fill;
        }
    }
    ~Surface() {
        SelectObject(m_dc, m_old);
        DeleteObject(m_bitmap);
        DeleteDC(m_dc);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC Dc() const { return m_dc; }
    HBITMAP Handle() const { return m_bitmap; }
    Bitmap& Bits() const { return *BitmapOf(m_bitmap); }
    Pixel At(int x, int y) const { return Bits().At(x, y); }
    void Set(int x, int y, Pixel p) const { Bits().Set(x, y, p); }

  private:
    HDC m_dc;
    HBITMAP m_bitmap;
    HBITMAP m_old = nullptr;
};

// Each test must give back every object it made.
class GdiTest : public ::testing::Test {
  protected:
    void SetUp() override { m_live = LiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(LiveObjectCount(), m_live) << "objects leaked"; }
    size_t m_live = 0;
};

// --- Raster operations on colour bitmaps ------------------------------------------------------

struct RopCase {
    const char* name;
    std::uint32_t rop;
    // The documented boolean formula of the operation on one word.
    Pixel (*expected)(Pixel p, Pixel s, Pixel d);
};

Pixel Rgb(Pixel p) {
    return p & 0x00FFFFFFu;
}

const RopCase kRops[] = {
    {"SRCCOPY", SRCCOPY, [](Pixel, Pixel s, Pixel) { return s; }},
    {"SRCAND", SRCAND, [](Pixel, Pixel s, Pixel d) { return s & d; }},
    {"SRCINVERT", SRCINVERT, [](Pixel, Pixel s, Pixel d) { return s ^ d; }},
    {"NOTSRCCOPY", NOTSRCCOPY, [](Pixel, Pixel s, Pixel) { return ~s; }},
    {"SRCPAINT", SRCPAINT, [](Pixel, Pixel s, Pixel d) { return s | d; }},
    {"SRCERASE", SRCERASE, [](Pixel, Pixel s, Pixel d) { return s & ~d; }},
    {"NOTSRCERASE", NOTSRCERASE, [](Pixel, Pixel s, Pixel d) { return ~(s | d); }},
    {"MERGEPAINT", MERGEPAINT, [](Pixel, Pixel s, Pixel d) { return ~s | d; }},
    {"DSTINVERT", DSTINVERT, [](Pixel, Pixel, Pixel d) { return ~d; }},
    {"BLACKNESS", BLACKNESS, [](Pixel, Pixel, Pixel) { return Pixel{0}; }},
    {"WHITENESS", WHITENESS, [](Pixel, Pixel, Pixel) { return ~Pixel{0}; }},
    {"PATCOPY", PATCOPY, [](Pixel p, Pixel, Pixel) { return p; }},
    {"PATINVERT", 0x005A0049, [](Pixel p, Pixel, Pixel d) { return p ^ d; }},
    {"MERGECOPY", 0x00C000CA, [](Pixel p, Pixel s, Pixel) { return p & s; }},
    {"PATPAINT", 0x00FB0A09, [](Pixel p, Pixel s, Pixel d) { return p | ~s | d; }},
    {"DSPDxax", 0x00E20746, [](Pixel p, Pixel s, Pixel d) { return ((p ^ d) & s) ^ d; }},
    {"PSDPxax", 0x00B8074A, [](Pixel p, Pixel s, Pixel d) { return ((p ^ d) & s) ^ p; }},
};

TEST_F(GdiTest, EveryRopMatchesItsFormulaOnColourBitmaps) {
    const Pixel sources[] = {0xFF123456u, 0xFFFFFFFFu, 0xFF000000u, 0xFFA5C3E1u};
    const Pixel dests[] = {0xFF0F0F0Fu, 0xFFFF00FFu, 0xFF000000u};
    const COLORREF brush = RGB(0x3C, 0x99, 0x66);
    for (const RopCase& c : kRops) {
        for (Pixel s : sources) {
            for (Pixel d : dests) {
                Surface src(2, 1, 32, s);
                Surface dst(2, 1, 32, d);
                HBRUSH b = CreateSolidBrush(brush);
                HGDIOBJ oldBrush = SelectObject(dst.Dc(), b);
                ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 2, 1, src.Dc(), 0, 0, c.rop)) << c.name;
                SelectObject(dst.Dc(), oldBrush);
                DeleteObject(b);
                const Pixel want = Rgb(c.expected(ToPixel(brush), s, d));
                EXPECT_EQ(dst.At(0, 0), kOpaque | want)
                    << c.name << " s=" << std::hex << s << " d=" << d;
                EXPECT_EQ(dst.At(1, 0), kOpaque | want) << c.name;
            }
        }
    }
}

TEST_F(GdiTest, PatternWithoutBrushIsTheStockWhiteBrush) {
    Surface dst(1, 1, 32, 0xFF102030u);
    ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 1, 1, nullptr, 0, 0, PATCOPY));
    EXPECT_EQ(dst.At(0, 0), kWhitePx);
}

TEST_F(GdiTest, SourceRopsNeedALiveSourceOthersDoNot) {
    Surface dst(1, 1, 32, 0xFF102030u);
    EXPECT_FALSE(BitBlt(dst.Dc(), 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), 0xFF102030u);
    EXPECT_TRUE(BitBlt(dst.Dc(), 0, 0, 1, 1, nullptr, 0, 0, DSTINVERT));
    EXPECT_EQ(dst.At(0, 0), 0xFFEFDFCFu);
}

// --- Conversions between colour and monochrome -------------------------------------------------

TEST_F(GdiTest, NewContextHasWhiteBackgroundAndBlackText) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetBkColor(dc), RGB(255, 255, 255));
    EXPECT_EQ(GetTextColor(dc), RGB(0, 0, 0));
    EXPECT_EQ(GetBkMode(dc), OPAQUE);
    DeleteDC(dc);
}

TEST_F(GdiTest, ColourToMonochromeMarksTheSourceBackgroundColour) {
    struct Case {
        COLORREF srcBackground;
        Pixel pixel;
        Pixel mono;
    };
    const Case cases[] = {
        {RGB(10, 20, 30), ToPixel(RGB(10, 20, 30)), kWhitePx},
        {RGB(10, 20, 30), ToPixel(RGB(10, 20, 31)), kBlackPx},
        {RGB(255, 255, 255), kWhitePx, kWhitePx},  // the default background
        {RGB(255, 255, 255), ToPixel(RGB(254, 255, 255)), kBlackPx},
        {RGB(0, 0, 0), kBlackPx, kWhitePx},
        // A decoded pixel may carry any alpha: only the colour counts.
        {RGB(10, 20, 30), 0x000A141Eu, kWhitePx},
    };
    for (const Case& c : cases) {
        Surface src(1, 1, 32, c.pixel);
        Surface mono(1, 1, 1, 0xFF000000u);
        SetBkColor(src.Dc(), c.srcBackground);
        SetBkColor(mono.Dc(), RGB(1, 2, 3));  // the destination's colours play no part
        SetTextColor(mono.Dc(), RGB(4, 5, 6));
        ASSERT_TRUE(BitBlt(mono.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, SRCCOPY));
        EXPECT_EQ(mono.At(0, 0), c.mono) << std::hex << c.pixel;
    }
}

TEST_F(GdiTest, MonochromeToColourTakesTheDestinationColours) {
    struct Case {
        Pixel mono;
        COLORREF destBackground;
        COLORREF destText;
        std::uint32_t rop;
        Pixel dest;
        Pixel want;
    };
    const Case cases[] = {
        {kWhitePx, RGB(255, 255, 255), RGB(0, 0, 0), SRCCOPY, 0xFF445566u, kWhitePx},
        {kBlackPx, RGB(255, 255, 255), RGB(0, 0, 0), SRCCOPY, 0xFF445566u, kBlackPx},
        {kWhitePx, RGB(1, 2, 3), RGB(7, 8, 9), SRCCOPY, 0xFF445566u, ToPixel(RGB(1, 2, 3))},
        {kBlackPx, RGB(1, 2, 3), RGB(7, 8, 9), SRCCOPY, 0xFF445566u, ToPixel(RGB(7, 8, 9))},
        // The masking step: white keeps the destination, black clears it.
        {kWhitePx, RGB(255, 255, 255), RGB(0, 0, 0), SRCAND, 0xFF445566u, 0xFF445566u},
        {kBlackPx, RGB(255, 255, 255), RGB(0, 0, 0), SRCAND, 0xFF445566u, kBlackPx},
    };
    for (const Case& c : cases) {
        Surface mono(1, 1, 1, c.mono);
        SetBkColor(mono.Dc(), RGB(9, 9, 9));  // the source's colours play no part
        Surface dst(1, 1, 32, c.dest);
        SetBkColor(dst.Dc(), c.destBackground);
        SetTextColor(dst.Dc(), c.destText);
        ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 1, 1, mono.Dc(), 0, 0, c.rop));
        EXPECT_EQ(dst.At(0, 0), c.want) << std::hex << c.mono << " rop " << c.rop;
    }
}

TEST_F(GdiTest, MonochromeRopsStayMonochrome) {
    const struct {
        std::uint32_t rop;
        Pixel s, d, want;
    } cases[] = {
        {NOTSRCCOPY, kWhitePx, kWhitePx, kBlackPx}, {NOTSRCCOPY, kBlackPx, kBlackPx, kWhitePx},
        {SRCINVERT, kWhitePx, kWhitePx, kBlackPx},  {SRCINVERT, kWhitePx, kBlackPx, kWhitePx},
        {SRCAND, kWhitePx, kBlackPx, kBlackPx},     {SRCPAINT, kBlackPx, kWhitePx, kWhitePx},
    };
    for (const auto& c : cases) {
        Surface src(1, 1, 1, c.s);
        Surface dst(1, 1, 1, c.d);
        ASSERT_TRUE(BitBlt(dst.Dc(), 0, 0, 1, 1, src.Dc(), 0, 0, c.rop));
        EXPECT_EQ(dst.At(0, 0), c.want) << std::hex << c.rop;
    }
}

// The classic masked copy done by hand: only pixels of the key colour let the canvas through.
TEST_F(GdiTest, MaskSequenceKeepsTheCanvasUnderTheKeyColour) {
    const Pixel key = ToPixel(RGB(0, 255, 0));
    Surface frame(3, 1, 32, key);
    frame.Set(1, 0, ToPixel(RGB(200, 0, 0)));
    Surface canvas(3, 1, 32, ToPixel(RGB(0, 0, 90)));
    Surface mask(3, 1, 1, kBlackPx);
    Surface inverse(3, 1, 1, kBlackPx);
    Surface part(3, 1, 32, kBlackPx);

    SetBkColor(frame.Dc(), RGB(0, 255, 0));
    BitBlt(mask.Dc(), 0, 0, 3, 1, frame.Dc(), 0, 0, SRCCOPY);
    BitBlt(inverse.Dc(), 0, 0, 3, 1, mask.Dc(), 0, 0, NOTSRCCOPY);
    BitBlt(canvas.Dc(), 0, 0, 3, 1, mask.Dc(), 0, 0, SRCAND);
    BitBlt(part.Dc(), 0, 0, 3, 1, frame.Dc(), 0, 0, SRCCOPY);
    BitBlt(part.Dc(), 0, 0, 3, 1, inverse.Dc(), 0, 0, SRCAND);
    BitBlt(canvas.Dc(), 0, 0, 3, 1, part.Dc(), 0, 0, SRCINVERT);

    EXPECT_EQ(canvas.At(0, 0), ToPixel(RGB(0, 0, 90)));
    EXPECT_EQ(canvas.At(1, 0), ToPixel(RGB(200, 0, 0)));
    EXPECT_EQ(canvas.At(2, 0), ToPixel(RGB(0, 0, 90)));
}

// --- Clipping ----------------------------------------------------------------------------------

// A 4 x 3 source numbered by position is copied onto a 4 x 3 destination of zeros; the string
// shows the destination afterwards, row by row ('.' for untouched).
std::string Blit(int x, int y, int w, int h, int sx, int sy) {
    Surface src(4, 3, 32, 0);
    for (int yy = 0; yy < 3; ++yy) {
        for (int xx = 0; xx < 4; ++xx) {
            src.Set(xx, yy, kOpaque | static_cast<Pixel>('a' + yy * 4 + xx));
        }
    }
    Surface dst(4, 3, 32, kOpaque | '.');
    BitBlt(dst.Dc(), x, y, w, h, src.Dc(), sx, sy, SRCCOPY);
    std::string out;
    for (int yy = 0; yy < 3; ++yy) {
        for (int xx = 0; xx < 4; ++xx) {
            out += static_cast<char>(dst.At(xx, yy) & 0xFF);
        }
        out += yy < 2 ? "/" : "";
    }
    return out;
}

TEST_F(GdiTest, BlitsClipToBothBitmaps) {
    const struct {
        int x, y, w, h, sx, sy;
        const char* want;
    } cases[] = {
        {0, 0, 4, 3, 0, 0, "abcd/efgh/ijkl"},
        {1, 1, 2, 1, 0, 0, "..../.ab./...."},
        {-1, 0, 4, 1, 0, 0, "bcd./..../...."},  // left of the destination
        {2, 0, 9, 9, 0, 0, "..ab/..ef/..ij"},   // beyond its right and bottom
        {0, 0, 4, 3, 2, 1, "gh../kl../...."},   // source runs out
        {0, 0, 4, 3, -1, -2, "..../..../.abc"},
        {0, 0, 0, 3, 0, 0, "..../..../...."},  // empty
        {5, 5, 2, 2, 0, 0, "..../..../...."},  // nowhere
        {-2147483647, 0, 2147483647, 3, 0, 0, "..../..../...."},
        {0, 0, 2147483647, 2147483647, -2147483647, 0, "..../..../...."},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Blit(c.x, c.y, c.w, c.h, c.sx, c.sy), c.want)
            << c.x << "," << c.y << " " << c.w << "x" << c.h << " from " << c.sx << "," << c.sy;
    }
}

TEST_F(GdiTest, NegativeSizesAreRefused) {
    Surface src(2, 2, 32, kWhitePx);
    Surface dst(2, 2, 32, kBlackPx);
    EXPECT_FALSE(BitBlt(dst.Dc(), 0, 0, -1, 2, src.Dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(dst.Dc(), 0, 0, 2, -1, src.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(dst.At(0, 0), kBlackPx);
}

// A bitmap copied onto itself reads what it had, in every direction of the move.
TEST_F(GdiTest, OverlappingCopiesWithinOneBitmap) {
    const struct {
        int x, y, sx, sy;
        const char* want;
    } cases[] = {
        {0, 1, 0, 0, "abcd/abcd/efgh"},  // down
        {0, 0, 0, 1, "efgh/ijkl/ijkl"},  // up
        {1, 0, 0, 0, "aabc/eefg/iijk"},  // right
        {0, 0, 1, 0, "bcdd/fghh/jkll"},  // left
        {1, 1, 0, 0, "abcd/eabc/iefg"},  // down and right
    };
    for (const auto& c : cases) {
        Surface s(4, 3, 32, 0);
        for (int yy = 0; yy < 3; ++yy) {
            for (int xx = 0; xx < 4; ++xx) {
                s.Set(xx, yy, kOpaque | static_cast<Pixel>('a' + yy * 4 + xx));
            }
        }
        ASSERT_TRUE(BitBlt(s.Dc(), c.x, c.y, 4, 3, s.Dc(), c.sx, c.sy, SRCCOPY));
        std::string out;
        for (int yy = 0; yy < 3; ++yy) {
            for (int xx = 0; xx < 4; ++xx) {
                out += static_cast<char>(s.At(xx, yy) & 0xFF);
            }
            out += yy < 2 ? "/" : "";
        }
        EXPECT_EQ(out, c.want) << c.x << "," << c.y << " from " << c.sx << "," << c.sy;
    }
}

TEST_F(GdiTest, FillRectClipsAndConvertsForMonochrome) {
    const struct {
        RECT rect;
        int filled;  // how many pixels of the 4 x 3 bitmap change
    } cases[] = {
        {{0, 0, 4, 3}, 12},       {{1, 1, 3, 2}, 2},
        {{-5, -5, 100, 100}, 12}, {{3, 2, 1, 1}, 0},
        {{10, 10, 20, 20}, 0},    {{-20, -20, -10, -10}, 0},
        {{2, 0, 9, 1}, 2},        {{-2147483647, 0, 2147483647, 1}, 4},
    };
    for (const auto& c : cases) {
        Surface s(4, 3, 32, kBlackPx);
        HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
        EXPECT_EQ(FillRect(s.Dc(), &c.rect, b), 1);
        DeleteObject(b);
        int changed = 0;
        for (Pixel p : s.Bits().Pixels()) {
            changed += p == ToPixel(RGB(1, 2, 3)) ? 1 : 0;
        }
        EXPECT_EQ(changed, c.filled) << c.rect.left << "," << c.rect.top;
    }
    Surface mono(2, 1, 1, kBlackPx);
    const RECT all{0, 0, 2, 1};
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    HBRUSH grey = CreateSolidBrush(RGB(200, 200, 200));
    FillRect(mono.Dc(), &all, white);
    EXPECT_EQ(mono.At(0, 0), kWhitePx);
    FillRect(mono.Dc(), &all, grey);
    EXPECT_EQ(mono.At(0, 0), kBlackPx);
    DeleteObject(white);
    DeleteObject(grey);
}

TEST_F(GdiTest, DrawingTellsTheBitmapsObserver) {
    Surface s(2, 2, 32, kBlackPx);
    Surface src(2, 2, 32, kWhitePx);
    int told = 0;
    s.Bits().SetObserver([&] { ++told; });
    const auto before = s.Bits().Generation();
    HBRUSH b = CreateSolidBrush(RGB(1, 1, 1));
    const RECT r{0, 0, 1, 1};
    FillRect(s.Dc(), &r, b);
    BitBlt(s.Dc(), 0, 0, 2, 2, src.Dc(), 0, 0, SRCCOPY);
    BitBlt(s.Dc(), 5, 5, 2, 2, src.Dc(), 0, 0, SRCCOPY);  // clipped away: nothing changes
    DeleteObject(b);
    EXPECT_EQ(told, 2);
    EXPECT_EQ(s.Bits().Generation(), before + 2);
    s.Bits().SetObserver(nullptr);
}

// --- Contexts, bitmaps and selection -----------------------------------------------------------

TEST_F(GdiTest, CompatibleBitmapsFollowTheSelectedBitmap) {
    HDC fresh = CreateCompatibleDC(nullptr);
    Surface colour(2, 2, 32, kBlackPx);
    HDC screen = GetDC(0);
    const struct {
        HDC dc;
        int w, h;
        int bpp;
        int width;
    } cases[] = {
        {nullptr, 3, 2, 32, 3},  // the screen
        {screen, 3, 2, 32, 3},   // the screen's context
        {fresh, 3, 2, 1, 3},     // a new memory context holds a monochrome bitmap
        {colour.Dc(), 3, 2, 32, 3},
        {fresh, 0, 0, 1, 1},  // an empty request gives a 1 x 1 monochrome bitmap
        {colour.Dc(), 0, 5, 1, 1},
    };
    for (const auto& c : cases) {
        HBITMAP b = CreateCompatibleBitmap(c.dc, c.w, c.h);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(BitmapOf(b)->BitsPerPixel(), c.bpp);
        EXPECT_EQ(BitmapOf(b)->Width(), c.width);
        DeleteObject(b);
    }
    EXPECT_EQ(CreateCompatibleBitmap(colour.Dc(), -1, 2), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 40000, 2), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(nullptr, 30000, 30000), nullptr);  // too many pixels
    ReleaseDC(0, screen);
    DeleteDC(fresh);
}

TEST_F(GdiTest, CreateBitmapReadsRowsOfBits) {
    // 1 bpp rows are padded to 16 bits.
    const std::uint8_t mono[] = {0b10100000, 0x00, 0b01000000, 0x00};
    HBITMAP m = CreateBitmap(3, 2, 1, 1, mono);
    ASSERT_NE(m, nullptr);
    const Bitmap& mb = *BitmapOf(m);
    EXPECT_EQ(mb.At(0, 0), kWhitePx);
    EXPECT_EQ(mb.At(1, 0), kBlackPx);
    EXPECT_EQ(mb.At(2, 0), kWhitePx);
    EXPECT_EQ(mb.At(1, 1), kWhitePx);
    EXPECT_EQ(mb.At(0, 1), kBlackPx);
    const Pixel words[] = {0x00112233u, 0x80445566u};
    HBITMAP c = CreateBitmap(2, 1, 1, 32, words);
    EXPECT_EQ(BitmapOf(c)->At(0, 0), 0xFF112233u);  // alpha made opaque
    EXPECT_EQ(BitmapOf(c)->At(1, 0), 0xFF445566u);
    EXPECT_EQ(CreateBitmap(2, 2, 2, 1, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(2, 2, 1, 8, nullptr), nullptr);
    DeleteObject(m);
    DeleteObject(c);
}

TEST_F(GdiTest, ABitmapIsSelectedIntoOneContextAtATime) {
    HDC a = CreateCompatibleDC(nullptr);
    HDC b = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(nullptr, 2, 2);
    HGDIOBJ oldA = SelectObject(a, bmp);
    ASSERT_NE(oldA, nullptr);
    EXPECT_EQ(SelectObject(b, bmp), nullptr) << "already selected elsewhere";
    EXPECT_EQ(SelectObject(a, bmp), bmp) << "selecting it again where it is";
    EXPECT_FALSE(DeleteObject(bmp)) << "a selected bitmap stays";
    EXPECT_EQ(SelectObject(a, oldA), bmp);
    EXPECT_NE(SelectObject(b, bmp), nullptr);
    // A context that ends lets go of its bitmap, which can then be deleted.
    DeleteDC(b);
    EXPECT_TRUE(DeleteObject(bmp));
    DeleteDC(a);
}

// The bitmap a context starts with is one shared stock bitmap: a handle displaced from one
// context can be put back into another, even after the first context has ended, and deleting
// it does nothing.
TEST_F(GdiTest, TheStartingBitmapIsSharedStock) {
    HDC first = CreateCompatibleDC(nullptr);
    HDC second = CreateCompatibleDC(nullptr);
    HBITMAP canvas = CreateCompatibleBitmap(nullptr, 4, 4);
    HBITMAP frame = CreateCompatibleBitmap(nullptr, 2, 2);
    HGDIOBJ stock = SelectObject(second, canvas);
    HGDIOBJ stockToo = SelectObject(first, frame);
    EXPECT_EQ(stock, stockToo);
    SelectObject(first, stockToo);
    DeleteDC(first);
    // The canvas comes out of the second context with the handle kept from the first.
    EXPECT_EQ(SelectObject(second, stockToo), canvas);
    EXPECT_TRUE(DeleteObject(canvas));
    EXPECT_TRUE(DeleteObject(stock));  // harmless
    EXPECT_EQ(BitmapOf(static_cast<HBITMAP>(stock))->Width(), 1);
    // Drawing into a context that holds the stock bitmap changes nothing shared.
    HDC third = CreateCompatibleDC(nullptr);
    HBRUSH white = CreateSolidBrush(RGB(255, 255, 255));
    const RECT r{0, 0, 1, 1};
    const Pixel before = SelectedBitmap(third)->At(0, 0);
    FillRect(second, &r, white);
    EXPECT_EQ(SelectedBitmap(third)->At(0, 0), before);
    DeleteObject(white);
    DeleteDC(third);
    DeleteDC(second);
    DeleteObject(frame);
}

// --- Stale handles -----------------------------------------------------------------------------

TEST_F(GdiTest, StaleHandlesAreRefusedEvenWhenNewObjectsFollow) {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(nullptr, 2, 2);
    HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
    ASSERT_TRUE(DeleteDC(dc));
    ASSERT_TRUE(DeleteObject(bmp));
    ASSERT_TRUE(DeleteObject(brush));
    // New objects of the same kinds must not answer to the old handles.
    std::vector<HDC> dcs;
    std::vector<HBITMAP> bmps;
    std::vector<HBRUSH> brushes;
    for (int i = 0; i < 64; ++i) {
        dcs.push_back(CreateCompatibleDC(nullptr));
        bmps.push_back(CreateCompatibleBitmap(nullptr, 2, 2));
        brushes.push_back(CreateSolidBrush(RGB(9, 9, 9)));
    }
    Surface live(2, 2, 32, kBlackPx);
    const RECT r{0, 0, 2, 2};
    EXPECT_FALSE(DeleteDC(dc));
    EXPECT_FALSE(DeleteObject(bmp));
    EXPECT_FALSE(DeleteObject(brush));
    EXPECT_EQ(SelectObject(dc, live.Handle()), nullptr);
    EXPECT_EQ(SelectObject(live.Dc(), bmp), nullptr);
    EXPECT_EQ(SelectObject(live.Dc(), brush), nullptr);
    EXPECT_FALSE(BitBlt(dc, 0, 0, 2, 2, live.Dc(), 0, 0, SRCCOPY));
    EXPECT_FALSE(BitBlt(live.Dc(), 0, 0, 2, 2, dc, 0, 0, SRCCOPY));
    EXPECT_EQ(FillRect(live.Dc(), &r, brush), 0);
    EXPECT_EQ(FillRect(dc, &r, brushes[0]), 0);
    EXPECT_EQ(SetBkColor(dc, 0), CLR_INVALID);
    EXPECT_EQ(GetTextColor(dc), CLR_INVALID);
    EXPECT_EQ(GetNearestColor(dc, RGB(1, 2, 3)), CLR_INVALID);
    EXPECT_EQ(CreateCompatibleDC(dc), nullptr);
    EXPECT_EQ(CreateCompatibleBitmap(dc, 2, 2), nullptr);
    EXPECT_EQ(BitmapOf(bmp), nullptr);
    EXPECT_EQ(SelectedBitmap(dc), nullptr);
    EXPECT_EQ(live.At(0, 0), kBlackPx);
    // A handle of the wrong kind is refused too.
    EXPECT_FALSE(BitBlt(reinterpret_cast<HDC>(brushes[0]), 0, 0, 1, 1, live.Dc(), 0, 0, SRCCOPY));
    EXPECT_EQ(BitmapOf(reinterpret_cast<HBITMAP>(dcs[0])), nullptr);
    EXPECT_FALSE(DeleteObject(reinterpret_cast<HGDIOBJ>(dcs[0]))) << "contexts end by DeleteDC";
    for (int i = 0; i < 64; ++i) {
        DeleteDC(dcs[static_cast<size_t>(i)]);
        DeleteObject(bmps[static_cast<size_t>(i)]);
        DeleteObject(brushes[static_cast<size_t>(i)]);
    }
}

TEST_F(GdiTest, DeletingASelectedBrushLeavesTheContextUsable) {
    Surface s(1, 1, 32, kBlackPx);
    HBRUSH b = CreateSolidBrush(RGB(1, 2, 3));
    SelectObject(s.Dc(), b);
    EXPECT_TRUE(DeleteObject(b));
    ASSERT_TRUE(BitBlt(s.Dc(), 0, 0, 1, 1, nullptr, 0, 0, PATCOPY));
    EXPECT_EQ(s.At(0, 0), kWhitePx);  // back to the stock white brush
}

// --- Leak counting -----------------------------------------------------------------------------

TEST(GdiLeaks, LiveObjectCountSeesEveryKind) {
    const size_t start = LiveObjectCount();
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(LiveObjectCount(), start + 1);
    HBITMAP bmp = CreateCompatibleBitmap(dc, 3, 3);
    HBRUSH brush = CreateSolidBrush(0);
    HDC screen = GetDC(0);
    EXPECT_EQ(LiveObjectCount(), start + 4);
    ReleaseDC(0, screen);
    DeleteObject(brush);
    EXPECT_EQ(LiveObjectCount(), start + 2);
    DeleteObject(bmp);
    DeleteDC(dc);
    EXPECT_EQ(LiveObjectCount(), start);
}

// --- Colours and the screen --------------------------------------------------------------------

TEST_F(GdiTest, SystemColoursAndNearestColour) {
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(240, 240, 240));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(255, 255, 255));
    EXPECT_EQ(GetSysColor(COLOR_WINDOWTEXT), RGB(0, 0, 0));
    EXPECT_EQ(GetSysColor(-1), 0u);
    EXPECT_EQ(GetSysColor(1000), 0u);
    HDC screen = GetDC(0);
    for (COLORREF c : {RGB(0, 0, 0), RGB(1, 2, 3), RGB(255, 255, 255), RGB(17, 240, 99)}) {
        EXPECT_EQ(GetNearestColor(screen, c), c);
    }
    ReleaseDC(0, screen);
}

TEST_F(GdiTest, ReleaseDCEndsOnlyScreenContexts) {
    Surface s(1, 1, 32, kBlackPx);
    EXPECT_EQ(ReleaseDC(0, s.Dc()), 0);
    HBRUSH b = CreateSolidBrush(RGB(255, 255, 255));
    const RECT r{0, 0, 1, 1};
    EXPECT_EQ(FillRect(s.Dc(), &r, b), 1) << "a memory context stays usable";
    EXPECT_EQ(s.At(0, 0), kWhitePx);
    DeleteObject(b);
    HDC screen = GetDC(0);
    EXPECT_EQ(GetDC(1), nullptr);
    EXPECT_EQ(ReleaseDC(0, screen), 1);
    EXPECT_EQ(GetBkColor(screen), CLR_INVALID);
    EXPECT_EQ(ReleaseDC(0, screen), 0);
}

TEST_F(GdiTest, ContextColoursAndModes) {
    HDC dc = CreateCompatibleDC(nullptr);
    EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
    EXPECT_EQ(SetBkColor(dc, 0xFF112233u), RGB(1, 2, 3));
    EXPECT_EQ(GetBkColor(dc), 0x00112233u);
    EXPECT_EQ(SetTextColor(dc, RGB(4, 5, 6)), RGB(0, 0, 0));
    EXPECT_EQ(GetTextColor(dc), RGB(4, 5, 6));
    EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc, 7), 0);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    DeleteDC(dc);
}

}  // namespace
