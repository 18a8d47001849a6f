// SPDX-License-Identifier: MIT
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Text.h"

#include <gtest/gtest.h>

#include "Doubles.h"
#include "platform/Services.h"

namespace {

namespace gdi = platform::gdi;
using testing_support::RecordingTextRasteriser;

class TextOutTest : public ::testing::Test {
  protected:
    TextOutTest() { m_old = gdi::SelectObject(m_dc, m_bitmap); }
    ~TextOutTest() override {
        gdi::SelectObject(m_dc, m_old);
        gdi::DeleteObject(m_bitmap);
        gdi::DeleteDC(m_dc);
    }

    RecordingTextRasteriser m_text;
    platform::ServicesScope m_scope{platform::Services{.text = &m_text}};
    gdi::HDC m_dc = gdi::CreateCompatibleDC(nullptr);
    gdi::HBITMAP m_bitmap = gdi::CreateCompatibleBitmap(nullptr, 40, 20);
    gdi::HGDIOBJ m_old = nullptr;
};

TEST_F(TextOutTest, HandsTheContextsFontColoursAndModeToTheRasteriser) {
    gdi::LOGFONTW lf;
    lf.lfHeight = -14;
    lf.lfWeight = gdi::FW_BOLD;
    lf.lfCharSet = gdi::GB2312_CHARSET;
    lf.lfFaceName = u"宋体";
    gdi::HFONT font = gdi::CreateFontIndirectW(&lf);
    gdi::SelectObject(m_dc, font);
    gdi::SetTextColor(m_dc, gdi::RGB(1, 2, 3));
    gdi::SetBkColor(m_dc, gdi::RGB(4, 5, 6));
    gdi::SetBkMode(m_dc, gdi::TRANSPARENT);
    const std::uint64_t generation = gdi::BitmapOf(m_bitmap)->Generation();

    ASSERT_TRUE(gdi::TextOutW(m_dc, -1, 7, u"Loomhaven", 4));
    ASSERT_EQ(m_text.drawn.size(), 1u);
    const auto& d = m_text.drawn[0];
    EXPECT_EQ(d.target, gdi::BitmapOf(m_bitmap));
    EXPECT_EQ(d.x, -1);
    EXPECT_EQ(d.y, 7);
    EXPECT_EQ(d.text, u"Loom");
    EXPECT_EQ(d.style.face, u"宋体");
    EXPECT_FLOAT_EQ(d.style.pointSize, 10.5f);  // 14 pixels at 96 dpi
    EXPECT_TRUE(d.style.bold);
    EXPECT_EQ(d.style.charset, 134);
    EXPECT_EQ(d.style.colour, gdi::RGB(1, 2, 3));
    EXPECT_EQ(d.style.background, gdi::RGB(4, 5, 6));
    EXPECT_FALSE(d.style.opaque);
    // The bitmap's view learns that it changed.
    EXPECT_GT(gdi::BitmapOf(m_bitmap)->Generation(), generation);

    gdi::DeleteObject(font);
}

TEST_F(TextOutTest, RefusesWhatCannotBeDrawn) {
    EXPECT_FALSE(gdi::TextOutW(m_dc, 0, 0, u"x", -1));
    EXPECT_FALSE(gdi::TextOutW(m_dc, 0, 0, nullptr, 1));
    gdi::HDC mono = gdi::CreateCompatibleDC(nullptr);  // holds a monochrome bitmap
    EXPECT_FALSE(gdi::TextOutW(mono, 0, 0, u"x", 1));
    gdi::DeleteDC(mono);
    EXPECT_FALSE(gdi::TextOutW(mono, 0, 0, u"x", 1));
    EXPECT_TRUE(m_text.drawn.empty());
    // Nothing to draw is no failure, and reaches no rasteriser.
    EXPECT_TRUE(gdi::TextOutW(m_dc, 0, 0, u"", 0));
    EXPECT_TRUE(m_text.drawn.empty());
    {
        platform::ServicesScope none{platform::Services{}};
        EXPECT_FALSE(gdi::TextOutW(m_dc, 0, 0, u"x", 1));  // no rasteriser installed
    }
}

TEST(Lstrlen, CountsCodeUnitsUpToTheFirstNul) {
    EXPECT_EQ(gdi::lstrlenW(nullptr), 0);
    EXPECT_EQ(gdi::lstrlenW(u""), 0);
    EXPECT_EQ(gdi::lstrlenW(u"Loom\0haven"), 4);
    EXPECT_EQ(gdi::lstrlenW(u"宋体\U0001F600"), 4);  // a surrogate pair counts twice
}

}  // namespace
