// SPDX-License-Identifier: MIT
#include "settings/VelNotifyIcon.h"

#include <gtest/gtest.h>

#include <string>

#include "Doubles.h"

namespace {

using platform::NotifyIconRecord;
namespace nid = platform::nid;

std::uint32_t IntAt(const NotifyIconRecord& r, size_t at) {
    return r[at] | (r[at + 1] << 8) | (r[at + 2] << 16) |
           (static_cast<std::uint32_t>(r[at + 3]) << 24);
}

// The text field: its bytes up to the NUL, after checking that the rest are the blanks the
// field is filled with.
std::string TextAt(const NotifyIconRecord& r, size_t at, size_t size) {
    const std::string field(reinterpret_cast<const char*>(r.data() + at), size);
    const size_t nul = field.find('\0');
    EXPECT_NE(nul, std::string::npos) << "the field keeps its terminating NUL";
    if (nul == std::string::npos) {
        return field;
    }
    EXPECT_EQ(field.substr(nul + 1), std::string(size - nul - 1, ' '));
    return field.substr(0, nul);
}

class VelNotifyIconTest : public ::testing::Test {
  protected:
    testing_support::Harness h;
};

TEST_F(VelNotifyIconTest, AddBuildsTheRecordByteForByte) {
    {
        core::VelNotifyIcon icon;
        icon.AddNotifyIcon(0x12345678, 0x00020004, u"Tidewick");
        ASSERT_EQ(h.shell.calls.size(), 1u);
        EXPECT_EQ(h.shell.calls[0].message, platform::NIM_ADD);
        const NotifyIconRecord& r = h.shell.calls[0].record;
        EXPECT_EQ(IntAt(r, nid::cbSize), 488u);
        EXPECT_EQ(IntAt(r, nid::hWnd), 0x12345678u);
        EXPECT_EQ(IntAt(r, nid::uID), 1000u);
        EXPECT_EQ(IntAt(r, nid::uFlags), 23u);
        EXPECT_EQ(IntAt(r, nid::uCallbackMessage), 512u);
        EXPECT_EQ(IntAt(r, nid::hIcon), 0x00020004u);
        EXPECT_EQ(TextAt(r, nid::szTip, 128), "Tidewick");
        // Everything the call does not name is still zero: state, balloon texts and flags.
        for (size_t i = nid::dwState; i < platform::kNotifyIconDataSize; ++i) {
            EXPECT_EQ(r[i], 0) << "offset " << i;
        }
        EXPECT_EQ(r[24 + 8], 0);
        EXPECT_EQ(r[24 + 9], ' ');
        EXPECT_EQ(r[151], ' ');
    }
    // Going away deletes the icon, addressed by the same window and id.
    ASSERT_EQ(h.shell.calls.size(), 2u);
    EXPECT_EQ(h.shell.calls[1].message, platform::NIM_DELETE);
    EXPECT_EQ(IntAt(h.shell.calls[1].record, nid::hWnd), 0x12345678u);
    EXPECT_EQ(IntAt(h.shell.calls[1].record, nid::uID), 1000u);
}

TEST_F(VelNotifyIconTest, LongTipIsCutAndKeepsItsNul) {
    core::VelNotifyIcon icon;
    icon.AddNotifyIcon(1, 2, std::u16string(200, u'a'));
    EXPECT_EQ(TextAt(icon.Record(), nid::szTip, 128), std::string(127, 'a'));
    // A character of several bytes that would not fit whole is left out whole.
    icon.ModifyNotifyIcon(1, 2, std::u16string(126, u'a') + u"密");
    EXPECT_EQ(TextAt(icon.Record(), nid::szTip, 128), std::string(126, 'a'));
    EXPECT_EQ(h.shell.calls.back().message, platform::NIM_MODIFY);
    // Text after an embedded NUL is not part of it.
    icon.ModifyNotifyIcon(1, 2, std::u16string(u"ab\0cd", 5));
    EXPECT_EQ(TextAt(icon.Record(), nid::szTip, 128), "ab");
}

TEST_F(VelNotifyIconTest, BubbleShownAndHiddenKeepsTheTip) {
    core::VelNotifyIcon icon;
    icon.AddNotifyIcon(7, 9, u"Tidewick");
    icon.ShowBubble(u"标题", u"正文 text", 2);
    const NotifyIconRecord shown = h.shell.calls.back().record;
    EXPECT_EQ(h.shell.calls.back().message, platform::NIM_MODIFY);
    EXPECT_EQ(TextAt(shown, nid::szInfoTitle, 64), "标题");
    EXPECT_EQ(TextAt(shown, nid::szInfo, 256), "正文 text");
    EXPECT_EQ(IntAt(shown, nid::dwInfoFlags), 2u);
    EXPECT_EQ(TextAt(shown, nid::szTip, 128), "Tidewick");

    icon.HideBubble();
    const NotifyIconRecord hidden = h.shell.calls.back().record;
    EXPECT_EQ(TextAt(hidden, nid::szInfoTitle, 64), "");
    EXPECT_EQ(TextAt(hidden, nid::szInfo, 256), "");
    EXPECT_EQ(IntAt(hidden, nid::dwInfoFlags), 2u);  // the flags stay as they were
}

TEST_F(VelNotifyIconTest, BubbleBeforeAddAddressesNoIcon) {
    core::VelNotifyIcon icon;
    icon.ShowBubble(u"t", u"i", 1);
    const NotifyIconRecord& r = h.shell.calls.back().record;
    EXPECT_EQ(IntAt(r, nid::cbSize), 0u);
    EXPECT_EQ(IntAt(r, nid::hWnd), 0u);
    EXPECT_EQ(IntAt(r, nid::uID), 0u);
}

}  // namespace
