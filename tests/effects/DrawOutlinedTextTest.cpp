// SPDX-License-Identifier: MIT
#include "effects/Mod_TextOut.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Doubles.h"
#include "platform/Form.h"

namespace {

namespace gdi = platform::gdi;
using testing_support::RecordingTextRasteriser;

constexpr gdi::COLORREF kBlack = gdi::RGB(0, 0, 0);
constexpr gdi::COLORREF kWhite = gdi::RGB(255, 255, 255);
constexpr gdi::COLORREF kRed = gdi::RGB(255, 0, 0);
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

// Draws on a window's persistent surface with the text recorded instead of drawn.
class OutlinedTextTest : public ::testing::Test {
  protected:
    OutlinedTextTest() {
        window.Move(0, 0, 100 * 15, 30 * 15);
        window.SetAutoRedraw(true);
        gdi::SetTextColor(window.hDC(), kRed);
    }
    std::vector<std::pair<int, int>> Positions() const {
        std::vector<std::pair<int, int>> v;
        for (const auto& d : text.drawn) {
            v.emplace_back(d.x, d.y);
        }
        return v;
    }

    RecordingTextRasteriser text;
    platform::ServicesScope scope{platform::Services{.text = &text}};
    platform::Form window{"Window"};
};

TEST_F(OutlinedTextTest, EightOutlineCopiesThenTheText) {
    core::DrawOutlinedText(window.hDC(), u"Loomhaven", 13, 8, kBlack, kWhite);
    const std::vector<std::pair<int, int>> expected = {{12, 7}, {14, 9}, {13, 7}, {12, 8}, {13, 9},
                                                       {14, 8}, {12, 9}, {14, 7}, {13, 8}};
    EXPECT_EQ(Positions(), expected);
    ASSERT_EQ(text.drawn.size(), 9u);
    for (size_t i = 0; i < text.drawn.size(); ++i) {
        const auto& d = text.drawn[i];
        EXPECT_EQ(d.text, u"Loomhaven") << i;
        EXPECT_EQ(d.style.colour, i < 8 ? kBlack : kWhite) << i;
        EXPECT_FALSE(d.style.opaque) << i;  // the surface's own mode: no background boxes
        EXPECT_EQ(d.target, window.Image()) << i;
    }
    EXPECT_EQ(gdi::GetTextColor(window.hDC()), kWhite);  // left at the text colour
}

TEST_F(OutlinedTextTest, EmptyTextDrawsNothingButSetsTheTextColour) {
    core::DrawOutlinedText(window.hDC(), u"", 13, 8, kBlack, kWhite);
    EXPECT_TRUE(text.drawn.empty());
    EXPECT_EQ(gdi::GetTextColor(window.hDC()), kWhite);
}

TEST_F(OutlinedTextTest, TextEndsAtTheFirstNul) {
    const std::u16string withNul(u"Loom\0haven", 10);
    core::DrawOutlinedText(window.hDC(), withNul, 13, 8, kBlack, kWhite);
    ASSERT_EQ(text.drawn.size(), 9u);
    for (const auto& d : text.drawn) {
        EXPECT_EQ(d.text, u"Loom");
    }
}

TEST_F(OutlinedTextTest, OutlineAtTheOriginReachesPastTheSurface) {
    core::DrawOutlinedText(window.hDC(), u"L", 0, 0, kBlack, kWhite);
    ASSERT_EQ(text.drawn.size(), 9u);
    EXPECT_EQ(Positions().front(), (std::pair{-1, -1}));
    EXPECT_EQ(Positions().back(), (std::pair{0, 0}));
}

TEST_F(OutlinedTextTest, PositionsAtTheEdgeOfTheIntegerRangeOverflow) {
    struct Case {
        std::int32_t x, y;
        size_t drawnBeforeFailure;
    };
    const Case cases[] = {
        {kMax, 0, 1},  // (x - 1, y - 1) is drawn, x + 1 overflows
        {kMin, 0, 0},  // x - 1 overflows at once
        {0, kMax, 1}, {0, kMin, 0}, {kMax, kMin, 0},
    };
    for (const Case& c : cases) {
        text.drawn.clear();
        gdi::SetTextColor(window.hDC(), kRed);
        EXPECT_THROW(core::DrawOutlinedText(window.hDC(), u"L", c.x, c.y, kBlack, kWhite),
                     std::overflow_error)
            << c.x << "," << c.y;
        EXPECT_EQ(text.drawn.size(), c.drawnBeforeFailure) << c.x << "," << c.y;
        EXPECT_EQ(gdi::GetTextColor(window.hDC()), kBlack) << c.x << "," << c.y;
    }
    // One short of the edges every neighbour exists.
    text.drawn.clear();
    core::DrawOutlinedText(window.hDC(), u"L", kMax - 1, kMin + 1, kBlack, kWhite);
    EXPECT_EQ(text.drawn.size(), 9u);
}

}  // namespace
