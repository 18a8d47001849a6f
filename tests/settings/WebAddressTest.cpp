// SPDX-License-Identifier: MIT
// The forum's address: what counts as one, how it is completed, and how it is stored.
#include "settings/WebAddress.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "Doubles.h"
#include "platform/Text.h"
#include "settings/Mod_Config.h"

namespace {

using testing_support::Harness;

struct AddressCase {
    const char* name;
    std::u16string typed;
    std::optional<std::u16string> completed;  // nothing: no address
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << c.name;
}

class WebAddressTest : public ::testing::TestWithParam<AddressCase> {};

TEST_P(WebAddressTest, CompletesWhatABrowserWouldOpenAndRefusesTheRest) {
    const AddressCase& c = GetParam();
    EXPECT_EQ(core::CompleteWebAddress(c.typed), c.completed);
    EXPECT_EQ(core::ParseWebAddress(c.typed).has_value(), c.completed.has_value());
    // The settings accept exactly the addresses, and the empty value (the compiled-in forum).
    EXPECT_EQ(core::kHomePage.Accepts(c.typed), c.completed.has_value() || c.typed.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Addresses, WebAddressTest,
    ::testing::Values(
        AddressCase{"BareHost", u"bbs.example.org", u"http://bbs.example.org"},
        AddressCase{"BlanksAround", u"  bbs.example.org\t", u"http://bbs.example.org"},
        AddressCase{"HostAndPath", u"bbs.example.org/forum.php?mod=1#top",
                    u"http://bbs.example.org/forum.php?mod=1#top"},
        AddressCase{"HostPortPath", u"bbs.example.org:8080/bbs",
                    u"http://bbs.example.org:8080/bbs"},
        AddressCase{"Loopback", u"127.0.0.1:41234", u"http://127.0.0.1:41234"},
        AddressCase{"LocalName", u"localhost:8000", u"http://localhost:8000"},
        AddressCase{"Http", u"http://bbs.example.org/", u"http://bbs.example.org/"},
        AddressCase{"HttpsAnyCase", u"HTTPS://BBS.Example.ORG/Path",
                    u"https://bbs.example.org/Path"},
        AddressCase{"V6", u"http://[::1]:8080/", u"http://[::1]:8080/"},
        AddressCase{"QueryOnly", u"bbs.example.org?x=1", u"http://bbs.example.org/?x=1"},
        AddressCase{"SpaceInPath", u"bbs.example.org/a b", u"http://bbs.example.org/a%20b"},
        AddressCase{"NonAsciiHost", u"论坛.example.cn", u"http://论坛.example.cn"},
        AddressCase{"Script", u"javascript:alert(1)", std::nullopt},
        AddressCase{"ScriptAnyCase", u"JavaScript://%0aalert(1)", std::nullopt},
        AddressCase{"File", u"file:///etc/passwd", std::nullopt},
        AddressCase{"Data", u"data:text/html,<script>alert(1)</script>", std::nullopt},
        AddressCase{"Ftp", u"ftp://bbs.example.org", std::nullopt},
        AddressCase{"Empty", u"", std::nullopt}, AddressCase{"OnlyBlanks", u"   ", std::nullopt},
        AddressCase{"SpaceInHost", u"bbs.exa mple.org", std::nullopt},
        AddressCase{"UserBeforeHost", u"http://bbs.example.org@evil.example/", std::nullopt},
        AddressCase{"NoHost", u"http:///path", std::nullopt},
        AddressCase{"PortZero", u"bbs.example.org:0", std::nullopt},
        AddressCase{"PortTooLarge", u"bbs.example.org:65536", std::nullopt},
        AddressCase{"PortEmpty", u"bbs.example.org:/x", std::nullopt},
        AddressCase{"EmptyLabel", u"bbs..example.org", std::nullopt},
        AddressCase{"ControlCharacter", u"bbs.example.org/\x01", std::nullopt},
        AddressCase{"TooLong", u"bbs.example.org/" + std::u16string(3000, u'a'), std::nullopt},
        AddressCase{"LongestThatFits", u"http://bbs.example.org/" + std::u16string(2047 - 23, u'a'),
                    u"http://bbs.example.org/" + std::u16string(2047 - 23, u'a')},
        AddressCase{"OneByteTooLong", u"http://bbs.example.org/" + std::u16string(2047 - 22, u'a'),
                    std::nullopt}),
    [](const auto& p) { return std::string(p.param.name); });

class HomePageSettingTest : public ::testing::Test {
  protected:
    Harness h;
};

TEST_F(HomePageSettingTest, TheWriterRefusesWhatCannotBeKeptAndKeepsTheOtherLines) {
    const std::string before = "[Setting]\nUserName=me\nLock=False\nHomePage=bbs.example.org\n";
    h.WriteSettings(before);
    for (const std::u16string& bad :
         {std::u16string(u"bbs.example.org\nLock=True"), std::u16string(u"bbs.example.org\r"),
          std::u16string(u"bbs.example.org\0x", 17), std::u16string(u"javascript:alert(1)")}) {
        EXPECT_FALSE(core::WriteSetting(core::kHomePage, bad));
        EXPECT_EQ(testing_support::ReadFile(h.SettingsFile()), before);
    }
    ASSERT_TRUE(core::WriteSetting(core::kHomePage, u"https://forum.example.net"));
    EXPECT_EQ(testing_support::ReadFile(h.SettingsFile()),
              "[Setting]\nUserName=me\nLock=False\nHomePage=https://forum.example.net\n");
}

TEST_F(HomePageSettingTest, WhatIsNoAddressCountsAsMissing) {
    struct Case {
        const char* settings;  // nullptr: no file
        const char16_t* home;
        const char16_t* board;
    };
    for (const Case& c : {
             Case{nullptr, u"http://bbs.loomhaven.example",
                  u"http://bbs.loomhaven.example/forum-2-1.html"},
             Case{"[Setting]\nHomePage=\n", u"http://bbs.loomhaven.example",
                  u"http://bbs.loomhaven.example/forum-2-1.html"},
             Case{"[Setting]\nHomePage=data:,hello\n", u"http://bbs.loomhaven.example",
                  u"http://bbs.loomhaven.example/forum-2-1.html"},
             Case{"[Setting]\nHomePage=bbs.example.org:81/a/b.php\n",
                  u"http://bbs.example.org:81/a/b.php",
                  u"http://bbs.example.org:81/forum-2-1.html"},
         }) {
        if (c.settings != nullptr) {
            h.WriteSettings(c.settings);
        }
        EXPECT_EQ(core::ForumHomePage(), c.home) << (c.settings ? c.settings : "(no file)");
        EXPECT_EQ(core::ForumBoardPage(), c.board) << (c.settings ? c.settings : "(no file)");
    }
}

}  // namespace
