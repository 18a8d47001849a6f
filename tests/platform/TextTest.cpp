// SPDX-License-Identifier: MIT
#include "platform/Text.h"

#include <gtest/gtest.h>

namespace {

TEST(Text, RoundTripsEveryPlane) {
    const std::u16string text = u"Login 账号密码错误，请重试... \U0001F512 é";
    const auto utf8 = platform::ToUtf8(text);
    ASSERT_TRUE(utf8.has_value());
    EXPECT_EQ(*utf8, "Login 账号密码错误，请重试... \xF0\x9F\x94\x92 \xC3\xA9");
    EXPECT_EQ(platform::FromUtf8(*utf8), text);
}

TEST(Text, LoneSurrogateIsNotEncoded) {
    EXPECT_FALSE(platform::ToUtf8(std::u16string(u"a") + char16_t(0xD800) + u"b").has_value());
    EXPECT_FALSE(platform::ToUtf8(std::u16string(1, char16_t(0xDC00))).has_value());
    EXPECT_EQ(platform::ToUtf8Lossy(std::u16string(u"a") + char16_t(0xD800)), "a\xEF\xBF\xBD");
}

TEST(Text, MalformedUtf8BecomesReplacement) {
    struct Case {
        std::string in;
        std::u16string out;
    };
    const Case cases[] = {
        {"a\x80z", u"a\uFFFDz"},  // stray continuation byte
        {"\xC0\xAF", u"\uFFFD"},  // overlong '/'
        {"\xE5\xAF", u"\uFFFD"},  // cut at the end
        {"\xE5\x41",
         u"\uFFFD"
         u"A"},                           // cut by a plain byte
        {"\xED\xA0\x80", u"\uFFFD"},      // encoded surrogate
        {"\xF4\x90\x80\x80", u"\uFFFD"},  // beyond U+10FFFF
        {"\xFF", u"\uFFFD"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::FromUtf8(c.in), c.out) << testing::PrintToString(c.in);
    }
}

}  // namespace
