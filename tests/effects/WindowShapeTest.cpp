// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "Doubles.h"
#include "effects/Mod_Window.h"
#include "platform/User.h"
#include "platform/gdi/Region.h"

namespace {

namespace gdi = platform::gdi;

using Rects = std::vector<std::tuple<int, int, int, int>>;

Rects AsTuples(const std::vector<gdi::RECT>& rects) {
    Rects v;
    for (const gdi::RECT& r : rects) {
        v.emplace_back(r.left, r.top, r.right, r.bottom);
    }
    return v;
}

// What CreateRoundRectRgn(0, 0, right, bottom, 15, 15) covers.
Rects Rounded(int right, int bottom) {
    gdi::HRGN rgn = gdi::CreateRoundRectRgn(0, 0, right, bottom, 15, 15);
    Rects v = AsTuples(gdi::RegionRects(rgn));
    gdi::DeleteObject(rgn);
    return v;
}

class ScreenOf final : public platform::IScreen {
  public:
    ScreenOf(float x, float y) : m_x(x), m_y(y) {}
    float TwipsPerPixelX() const override { return m_x; }
    float TwipsPerPixelY() const override { return m_y; }
    int Width() const override { return 1280; }
    int Height() const override { return 800; }

  private:
    float m_x, m_y;
};

TEST(MakeRoundWindow, ShapesTheWindowFromItsSizeInPixels) {
    struct Case {
        platform::Twips width, height;
        float twipsX, twipsY;
        int right, bottom;
    };
    const Case cases[] = {
        {11145, 8175, 15, 15, 743, 545},     // the main window
        {11137.5f, 8175, 15, 15, 742, 545},  // 742.5 pixels: to the even neighbour
        {11152.5f, 8175, 15, 15, 744, 545},  // 743.5 pixels
        {11145, 8167.5f, 15, 15, 743, 544},  // 544.5 pixels high
        // The window is placed at 15 twips a pixel whatever the screen reports: the shape
        // fits it on a 120-dpi and a 72-dpi screen too.
        {11145, 8175, 12, 12, 743, 545},
        {11145, 8175, 20, 20, 743, 545},
    };
    for (const Case& c : cases) {
        ScreenOf screen(c.twipsX, c.twipsY);
        platform::ServicesScope scope{platform::Services{.screen = &screen}};
        platform::Form window("Window");
        window.Move(0, 0, c.width, c.height);
        const size_t objects = gdi::LiveObjectCount();
        core::MakeRoundWindow(window);
        ASSERT_TRUE(window.WindowRegion().has_value());
        EXPECT_EQ(AsTuples(*window.WindowRegion()), Rounded(c.right, c.bottom))
            << c.width << " x " << c.height;
        // The region went to the window: no object is left behind.
        EXPECT_EQ(gdi::LiveObjectCount(), objects);
    }
}

TEST(MakeRoundWindow, CutsTheMainWindowsCorners) {
    testing_support::Harness h;
    platform::Form window("Window");
    window.Move(0, 0, 11145, 8175);
    core::MakeRoundWindow(window);
    const auto& rects = *window.WindowRegion();
    const auto covered = [&](int x, int y) {
        for (const gdi::RECT& r : rects) {
            if (x >= r.left && x < r.right && y >= r.top && y < r.bottom) {
                return true;
            }
        }
        return false;
    };
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{741, 0}, std::pair{0, 543},
                               std::pair{741, 543}, std::pair{742, 272}, std::pair{371, 544}}) {
        EXPECT_FALSE(covered(x, y)) << x << "," << y;
    }
    for (const auto& [x, y] : {std::pair{5, 0}, std::pair{736, 0}, std::pair{0, 5},
                               std::pair{741, 538}, std::pair{371, 272}}) {
        EXPECT_TRUE(covered(x, y)) << x << "," << y;
    }
}

TEST(SetWindowRgn, TakesTheRegionOrGivesTheWholeRectangleBack) {
    platform::Form window("Window");
    gdi::HRGN rgn = gdi::CreateRectRgn(0, 0, 5, 5);
    const size_t objects = gdi::LiveObjectCount();
    EXPECT_EQ(platform::SetWindowRgn(window.hWnd(), rgn, true), 1);
    EXPECT_EQ(gdi::LiveObjectCount(), objects - 1);  // the handle is the window's now
    EXPECT_EQ(AsTuples(*window.WindowRegion()), (Rects{{0, 0, 5, 5}}));
    // The stale handle is refused; no region at all restores the whole rectangle.
    EXPECT_EQ(platform::SetWindowRgn(window.hWnd(), rgn, true), 0);
    EXPECT_EQ(platform::SetWindowRgn(window.hWnd(), nullptr, true), 1);
    EXPECT_FALSE(window.WindowRegion().has_value());
    // A window that does not exist keeps nothing, and the caller keeps the region.
    gdi::HRGN other = gdi::CreateRectRgn(0, 0, 1, 1);
    EXPECT_EQ(platform::SetWindowRgn(0x7FFFFFF0, other, true), 0);
    EXPECT_TRUE(gdi::DeleteObject(other));
}

TEST(BeginWindowDrag, HandsThePressToTheWindowSystemUnlessMaximised) {
    struct Case {
        int state;
        bool moves;
    };
    for (const Case c : {Case{platform::vbNormal, true}, Case{platform::vbMinimized, true},
                         Case{platform::vbMaximized, false}}) {
        testing_support::Harness h;
        platform::Form window("Window");
        window.SetWindowState(c.state);
        core::BeginWindowDrag(window);
        EXPECT_EQ(h.windows.moves.size(), c.moves ? 1u : 0u) << c.state;
        EXPECT_EQ(h.windows.captureReleases, c.moves ? 1 : 0) << c.state;
    }
}

TEST(SendMessageA, OnlyAPressOnTheTitleBarMovesTheWindow) {
    testing_support::Harness h;
    platform::Form window("Window");
    platform::SendMessageA(window.hWnd(), platform::WM_NCLBUTTONDOWN, 1, 0);  // client area
    platform::SendMessageA(window.hWnd(), 0x201, platform::HTCAPTION, 0);     // WM_LBUTTONDOWN
    platform::SendMessageA(0x7FFFFFF0, platform::WM_NCLBUTTONDOWN, platform::HTCAPTION, 0);
    EXPECT_TRUE(h.windows.moves.empty());
    platform::SendMessageA(window.hWnd(), platform::WM_NCLBUTTONDOWN, platform::HTCAPTION, 0);
    EXPECT_EQ(h.windows.moves, std::vector<std::string>{"Window"});
}

}  // namespace
