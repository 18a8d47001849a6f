// SPDX-License-Identifier: MIT
// Persistent drawing surfaces of forms and picture boxes.
#include <gtest/gtest.h>

#include "GdiSurface.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "Doubles.h"
#include "platform/Form.h"
#include "platform/PictureBox.h"
#include "platform/gdi/GdiObjects.h"
#include "platform/gdi/Text.h"

namespace {

namespace gdi = platform::gdi;
using gdi::Pixel;
using platform::Property;

class RecordingView final : public platform::ControlView {
  public:
    void PropertyChanged(Property p) override { changes.push_back(p); }
    void ControlGone() override {}
    size_t Count(Property p) const {
        return static_cast<size_t>(std::count(changes.begin(), changes.end(), p));
    }
    std::vector<Property> changes;
};

using testing_support::Numbered;

const Pixel kButtonFace = gdi::ToPixel(gdi::GetSysColor(gdi::COLOR_BTNFACE));

TEST(FormSurface, StartsAsTheBackgroundPictureUnscaledAndClipped) {
    platform::Form form("Test");
    form.Move(0, 0, 5 * 15, 2 * 15);  // 5 x 2 pixels
    form.SetPicture(Numbered(3, 4));  // narrower and taller than the window
    EXPECT_EQ(form.hDC(), nullptr);
    EXPECT_EQ(form.Image(), nullptr);

    form.SetAutoRedraw(true);
    ASSERT_NE(form.hDC(), nullptr);
    const gdi::Bitmap* image = form.Image();
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(image->Width(), 5);
    ASSERT_EQ(image->Height(), 2);
    EXPECT_EQ(image->At(0, 0), 0xFF000000u);
    EXPECT_EQ(image->At(2, 1), 0xFF000201u);
    EXPECT_EQ(image->At(3, 0), kButtonFace);  // beyond the picture
    EXPECT_EQ(image->At(4, 1), kButtonFace);
    // The surface's context draws black text without a background box.
    EXPECT_EQ(gdi::GetBkMode(form.hDC()), gdi::TRANSPARENT);
    EXPECT_EQ(gdi::GetTextColor(form.hDC()), gdi::RGB(0, 0, 0));
}

TEST(FormSurface, KeepsWhatIsDrawnAndTellsTheView) {
    platform::Form form("Test");
    form.Move(0, 0, 4 * 15, 4 * 15);
    RecordingView view;
    form.SetView(&view);
    form.SetAutoRedraw(true);
    EXPECT_GE(view.Count(Property::Surface), 1u);
    view.changes.clear();

    gdi::HBRUSH red = gdi::CreateSolidBrush(gdi::RGB(255, 0, 0));
    const gdi::RECT rc{1, 1, 3, 2};
    gdi::FillRect(form.hDC(), &rc, red);
    gdi::DeleteObject(red);
    EXPECT_EQ(view.Count(Property::Surface), 1u);
    EXPECT_EQ(form.Image()->At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(form.Image()->At(0, 0), kButtonFace);

    // Turned on again: nothing changes; turned off: the view paints the window plainly again.
    form.SetAutoRedraw(true);
    EXPECT_EQ(form.Image()->At(1, 1), 0xFFFF0000u);
    form.SetAutoRedraw(false);
    EXPECT_EQ(form.Image(), nullptr);
    EXPECT_EQ(view.Count(Property::Surface), 2u);
    form.SetView(nullptr);
}

TEST(FormSurface, FollowsTheWindowsSizeAndPicture) {
    platform::Form form("Test");
    form.Move(0, 0, 2 * 15, 2 * 15);
    form.SetPicture(Numbered(6, 6));
    form.SetAutoRedraw(true);
    gdi::HBRUSH red = gdi::CreateSolidBrush(gdi::RGB(255, 0, 0));
    const gdi::RECT all{0, 0, 2, 2};
    gdi::FillRect(form.hDC(), &all, red);

    // Grown: the drawing stays, the new part shows the background.
    form.Move(0, 0, 4 * 15, 3 * 15);
    const gdi::Bitmap* image = form.Image();
    ASSERT_EQ(image->Width(), 4);
    ASSERT_EQ(image->Height(), 3);
    EXPECT_EQ(image->At(1, 1), 0xFFFF0000u);
    EXPECT_EQ(image->At(3, 2), 0xFF000302u);

    // A new picture is a new background: the drawing is gone.
    form.SetPicture(Numbered(1, 1));
    EXPECT_EQ(form.Image()->At(0, 0), 0xFF000000u);
    EXPECT_EQ(form.Image()->At(1, 1), kButtonFace);
    gdi::DeleteObject(red);
}

TEST(FormSurface, DrawsTextInTheWindowsFont) {
    testing_support::RecordingTextRasteriser text;
    platform::ServicesScope scope{platform::Services{.text = &text}};
    platform::Form form("Test");
    form.Move(0, 0, 100 * 15, 30 * 15);
    form.SetAutoRedraw(true);
    gdi::TextOutW(form.hDC(), 1, 2, u"a", 1);
    form.SetTextFont(
        platform::Font{.name = u"Comic Sans MS", .size = 12, .bold = true, .charset = 0});
    gdi::TextOutW(form.hDC(), 1, 2, u"b", 1);
    ASSERT_EQ(text.drawn.size(), 2u);
    EXPECT_EQ(text.drawn[0].target, form.Image());
    EXPECT_EQ(text.drawn[0].style.face, u"宋体");  // the window's default font, 9 points
    EXPECT_FLOAT_EQ(text.drawn[0].style.pointSize, 9.0f);
    EXPECT_FALSE(text.drawn[0].style.opaque);
    EXPECT_EQ(text.drawn[1].style.face, u"Comic Sans MS");
    EXPECT_FLOAT_EQ(text.drawn[1].style.pointSize, 12.0f);
    EXPECT_TRUE(text.drawn[1].style.bold);
}

TEST(PictureBoxSurface, StartsAsTheBackColourAndClearsToANewOne) {
    platform::PictureBox box("Box");
    box.Move(30, 45, 3 * 15, 2 * 15);
    box.SetAutoRedraw(true);
    const gdi::Bitmap* image = box.Image();
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->Width(), 3);
    EXPECT_EQ(image->Height(), 2);
    for (Pixel p : image->Pixels()) {
        EXPECT_EQ(p, 0xFFF0F0F0u);  // the usual button-face grey
    }
    box.SetBackColor(gdi::RGB(0, 0, 255));
    EXPECT_EQ(box.Image()->At(2, 1), 0xFF0000FFu);
    box.SetBackColor(0x80000000u | gdi::COLOR_WINDOW);  // a system colour
    EXPECT_EQ(box.Image()->At(0, 0), gdi::ToPixel(gdi::GetSysColor(gdi::COLOR_WINDOW)));
}

TEST(Surfaces, GiveBackEveryObjectTheyMade) {
    const size_t before = gdi::LiveObjectCount();
    {
        platform::Form form("Test");
        form.Move(0, 0, 150, 150);
        platform::PictureBox box("Box");
        box.Move(0, 0, 150, 150);
        form.Add(box);
        form.SetAutoRedraw(true);
        box.SetAutoRedraw(true);
        form.SetTextFont(platform::Font{.name = u"Other"});
        form.Move(0, 0, 300, 300);
        (void)form.hDC();
        EXPECT_GT(gdi::LiveObjectCount(), before);
        box.SetAutoRedraw(false);
    }
    EXPECT_EQ(gdi::LiveObjectCount(), before);
}

}  // namespace
