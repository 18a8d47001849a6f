// SPDX-License-Identifier: MIT
#include "platform/UserControl.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using platform::Property;
using platform::UserControl;
namespace gdi = platform::gdi;

class RecordingView final : public platform::ControlView {
  public:
    void PropertyChanged(Property p) override { changes.push_back(p); }
    void ControlGone() override { gone = true; }
    std::vector<Property> changes;
    bool gone = false;
};

TEST(UserControlTest, TheSurfaceFollowsTheSizeInOneContext) {
    const size_t live = gdi::LiveObjectCount();
    {
        UserControl control("Player");
        EXPECT_EQ(control.Surface(), nullptr) << "made when first asked for";
        control.Move(0, 0, 9660, 1170);
        const gdi::HDC dc = control.hDC();
        ASSERT_NE(control.Surface(), nullptr);
        EXPECT_EQ(control.Surface()->Width(), 644);
        EXPECT_EQ(control.Surface()->Height(), 78);
        EXPECT_EQ(control.Surface()->BitsPerPixel(), 32);
        EXPECT_EQ(control.Surface()->At(5, 5), gdi::ToPixel(gdi::RGB(240, 240, 240)));
        // Drawing stays until the next Refresh; a new size makes a new, cleared bitmap in the
        // same context.
        gdi::HBRUSH brush = gdi::CreateSolidBrush(gdi::RGB(1, 2, 3));
        const gdi::RECT r{0, 0, 10, 10};
        gdi::FillRect(dc, &r, brush);
        EXPECT_EQ(control.hDC(), dc);
        EXPECT_EQ(control.Surface()->At(5, 5), gdi::ToPixel(gdi::RGB(1, 2, 3)));
        control.SetBackColor(0x80000005);  // the window colour, white
        control.Refresh();
        EXPECT_EQ(control.Surface()->At(5, 5), gdi::ToPixel(gdi::RGB(255, 255, 255)));
        gdi::FillRect(dc, &r, brush);
        control.SetWidth(150);
        EXPECT_EQ(control.hDC(), dc);
        EXPECT_EQ(control.Surface()->Width(), 10);
        EXPECT_EQ(control.Surface()->At(5, 5), gdi::ToPixel(gdi::RGB(255, 255, 255)));
        control.SetWidth(0);
        EXPECT_EQ(control.hDC(), dc);
        EXPECT_EQ(control.Surface()->Width(), 1) << "never empty";
        gdi::DeleteObject(brush);
    }
    EXPECT_EQ(gdi::LiveObjectCount(), live);
}

TEST(UserControlTest, TheViewLearnsOfDrawingAndCapture) {
    UserControl control("Player");
    control.Move(0, 0, 300, 300);
    RecordingView view;
    control.SetView(&view);
    const gdi::HDC dc = control.hDC();
    view.changes.clear();
    gdi::HBRUSH brush = gdi::CreateSolidBrush(gdi::RGB(1, 2, 3));
    const gdi::RECT r{0, 0, 10, 10};
    gdi::FillRect(dc, &r, brush);
    gdi::DeleteObject(brush);
    EXPECT_EQ(view.changes, std::vector<Property>{Property::Surface});
    view.changes.clear();
    control.SetCapture();
    control.SetCapture();
    EXPECT_TRUE(control.HasCapture());
    control.ReleaseCapture();
    control.ReleaseCapture();
    EXPECT_FALSE(control.HasCapture());
    EXPECT_EQ(view.changes, (std::vector<Property>{Property::Other, Property::Other}));
    control.SetCapture();
    control.CaptureLostFromView();
    EXPECT_FALSE(control.HasCapture());
    control.SetView(nullptr);
}

TEST(UserControlTest, PropertyBagNamesIgnoreCaseAndDefaultsAreNotKept) {
    platform::PropertyBag bag;
    bag.WriteProperty("GifBKColor", 0x8000000F, 0xFFFFFF);
    EXPECT_TRUE(bag.Contains("gifbkcolor"));
    EXPECT_EQ(bag.ReadProperty("GIFBKCOLOR", 7), 0x8000000F);
    EXPECT_EQ(bag.ReadProperty("other", 7), 7);
    bag.WriteProperty("gifBkColor", 0xFFFFFF, 0xFFFFFF);
    EXPECT_FALSE(bag.Contains("GifBKColor"));
    EXPECT_EQ(bag.ReadProperty("GifBKColor", 0xFFFFFF), 0xFFFFFF);
}

}  // namespace
