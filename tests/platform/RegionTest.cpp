// SPDX-License-Identifier: MIT
#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

namespace gdi = platform::gdi;

// Each row's covered columns as [first, last] by asking the region pixel by pixel, over a box
// one pixel larger than the rectangle on every side; {-1, -1} for an empty row.
std::vector<std::pair<int, int>> Rows(gdi::HRGN rgn, int width, int height) {
    std::vector<std::pair<int, int>> rows;
    for (int y = -1; y <= height; ++y) {
        int first = -1;
        int last = -1;
        for (int x = -1; x <= width; ++x) {
            if (gdi::PtInRegion(rgn, x, y)) {
                if (first < 0) {
                    first = x;
                }
                last = x;
            }
        }
        rows.emplace_back(first, last);
    }
    return rows;
}

class Region {
  public:
    explicit Region(gdi::HRGN rgn) : m_rgn(rgn) {}
    ~Region() { gdi::DeleteObject(m_rgn); }
    Region(const Region&) = delete;
    Region& operator=(const Region&) = delete;
    gdi::HRGN Get() const { return m_rgn; }
    bool Has(int x, int y) const { return gdi::PtInRegion(m_rgn, x, y); }

  private:
    gdi::HRGN m_rgn;
};

TEST(CreateRoundRectRgn, SmallExampleWorkedOutByHand) {
    // A 20 x 20 rectangle with 15 x 15 corners covers 19 x 19 pixels. The corner is the
    // midpoint circle of radius 7 centred on the corner box's middle pixel: from the top row
    // down it lies 5, 3, 2, 1, 1, 0, 0, 0 pixels in.
    const Region rgn(gdi::CreateRoundRectRgn(0, 0, 20, 20, 15, 15));
    const std::vector<std::pair<int, int>> expected = {
        {-1, -1},                                       // row -1
        {5, 13},  {3, 15},  {2, 16}, {1, 17}, {1, 17},  // rows 0..4
        {0, 18},  {0, 18},  {0, 18}, {0, 18}, {0, 18}, {0, 18}, {0, 18}, {0, 18}, {0, 18},  // 5..13
        {1, 17},  {1, 17},  {2, 16}, {3, 15}, {5, 13},  // rows 14..18
        {-1, -1}, {-1, -1},                             // rows 19 and 20
    };
    EXPECT_EQ(Rows(rgn.Get(), 20, 20), expected);
    // One band per run of equal rows, top to bottom.
    const std::vector<gdi::RECT> rects = gdi::RegionRects(rgn.Get());
    ASSERT_EQ(rects.size(), 9u);
    EXPECT_EQ(rects[0].top, 0);
    EXPECT_EQ(rects[0].left, 5);
    EXPECT_EQ(rects[0].right, 14);
    EXPECT_EQ(rects[4].top, 5);
    EXPECT_EQ(rects[4].bottom, 14);
    EXPECT_EQ(rects[8].bottom, 19);
}

TEST(CreateRoundRectRgn, EvenSizedCornerWorkedOutByHand) {
    // A 4 x 4 ellipse has its centre between pixels: only the outermost corner pixel goes.
    const Region rgn(gdi::CreateRoundRectRgn(0, 0, 11, 11, 4, 4));
    const std::vector<std::pair<int, int>> expected = {
        {-1, -1}, {1, 8}, {0, 9}, {0, 9}, {0, 9},   {0, 9},   {0, 9},
        {0, 9},   {0, 9}, {0, 9}, {1, 8}, {-1, -1}, {-1, -1},
    };
    EXPECT_EQ(Rows(rgn.Get(), 11, 11), expected);
}

TEST(CreateRoundRectRgn, IsSymmetricAndConvex) {
    struct Case {
        int left, top, right, bottom, ew, eh;
    };
    const Case cases[] = {
        {0, 0, 20, 20, 15, 15},   {3, 7, 53, 37, 16, 9},  {0, 0, 743, 545, 15, 15},
        {-5, -5, 30, 12, 40, 40}, {0, 0, 60, 60, 57, 58}, {10, 10, 17, 90, 6, 31},
        {0, 0, 9, 9, 2, 2},
    };
    for (const Case& c : cases) {
        const Region rgn(gdi::CreateRoundRectRgn(c.left, c.top, c.right, c.bottom, c.ew, c.eh));
        // Covered: columns left .. right - 2 and rows top .. bottom - 2 at most.
        const int lastX = c.right - 2;
        const int lastY = c.bottom - 2;
        int previousInset = 0;
        for (int y = c.top - 1; y <= c.bottom; ++y) {
            int inset = -1;
            for (int x = c.left - 1; x <= c.right; ++x) {
                const bool in = rgn.Has(x, y);
                if (x < c.left || x > lastX || y < c.top || y > lastY) {
                    ASSERT_FALSE(in) << x << "," << y;
                    continue;
                }
                ASSERT_EQ(in, rgn.Has(c.left + lastX - x, y)) << "left-right at " << x << "," << y;
                ASSERT_EQ(in, rgn.Has(x, c.top + lastY - y)) << "top-bottom at " << x << "," << y;
                if (in && inset < 0) {
                    inset = x - c.left;
                }
            }
            // From the top row to the middle the rows only widen.
            if (y >= c.top && y <= c.top + (lastY - c.top) / 2) {
                ASSERT_GE(inset, 0) << "row " << y << " is empty";
                if (y > c.top) {
                    ASSERT_LE(inset, previousInset) << "row " << y;
                }
                previousInset = inset;
            }
        }
    }
}

TEST(CreateRoundRectRgn, CornersOfTheMainWindow) {
    const Region rgn(gdi::CreateRoundRectRgn(0, 0, 743, 545, 15, 15));
    struct Point {
        int x, y;
        bool in;
    };
    const Point points[] = {
        // The four corner pixels are cut off, and so is the corner's next pixel inwards.
        {0, 0, false},
        {1, 1, false},
        {741, 0, false},
        {740, 1, false},
        {0, 543, false},
        {1, 542, false},
        {741, 543, false},
        {740, 542, false},
        // The top row starts five pixels in, the left column five pixels down.
        {4, 0, false},
        {5, 0, true},
        {736, 0, true},
        {737, 0, false},
        {0, 4, false},
        {0, 5, true},
        {0, 538, true},
        {0, 539, false},
        {5, 543, true},
        {741, 538, true},
        {741, 539, false},
        {371, 272, true},
        // The last column and the last row of the window stay out.
        {742, 272, false},
        {371, 544, false},
    };
    for (const Point& p : points) {
        EXPECT_EQ(rgn.Has(p.x, p.y), p.in) << p.x << "," << p.y;
    }
}

TEST(CreateRoundRectRgn, DegenerateRectangles) {
    {
        // Ellipses under 2 pixels give square corners.
        const Region rgn(gdi::CreateRoundRectRgn(0, 0, 10, 10, 1, 15));
        EXPECT_TRUE(rgn.Has(0, 0));
        EXPECT_TRUE(rgn.Has(8, 8));
        EXPECT_FALSE(rgn.Has(9, 9));
    }
    {
        // Corners given the other way round are put in order first.
        const Region swapped(gdi::CreateRoundRectRgn(20, 20, 0, 0, 15, 15));
        const Region plain(gdi::CreateRoundRectRgn(0, 0, 20, 20, 15, 15));
        EXPECT_EQ(Rows(swapped.Get(), 20, 20), Rows(plain.Get(), 20, 20));
    }
    for (const auto& [w, h] : {std::pair{0, 10}, std::pair{1, 10}, std::pair{10, 1}}) {
        const Region rgn(gdi::CreateRoundRectRgn(0, 0, w, h, 15, 15));
        EXPECT_TRUE(gdi::RegionRects(rgn.Get()).empty()) << w << "x" << h;
    }
}

TEST(Regions, EndWithDeleteObjectAndRefuseStaleHandles) {
    const size_t before = gdi::LiveObjectCount();
    gdi::HRGN rgn = gdi::CreateRoundRectRgn(0, 0, 50, 50, 15, 15);
    gdi::HRGN rect = gdi::CreateRectRgn(4, 3, 1, 1);
    EXPECT_EQ(gdi::LiveObjectCount(), before + 2);
    EXPECT_TRUE(gdi::PtInRegion(rect, 1, 1));
    EXPECT_TRUE(gdi::PtInRegion(rect, 3, 2));
    EXPECT_FALSE(gdi::PtInRegion(rect, 4, 2));
    EXPECT_TRUE(gdi::DeleteObject(rgn));
    EXPECT_TRUE(gdi::DeleteObject(rect));
    EXPECT_EQ(gdi::LiveObjectCount(), before);
    EXPECT_FALSE(gdi::PtInRegion(rgn, 25, 25));
    EXPECT_TRUE(gdi::RegionRects(rgn).empty());
}

}  // namespace
