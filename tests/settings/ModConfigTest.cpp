// SPDX-License-Identifier: MIT
#include "settings/Mod_Config.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include "TempDir.h"
#include "Unprivileged.h"
#include "UnreadableSettings.h"
#include "platform/Services.h"
#include "platform/Text.h"

namespace {

using core::ReadSetting;
using core::TryReadSetting;
using core::WriteSetting;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

class ModConfigTest : public ::testing::Test {
  protected:
    TempDir m_dir;
    std::filesystem::path m_file = m_dir / "Windows.INI";
    platform::ServicesScope m_services{platform::Services{.settingsFile = m_file}};
};

TEST_F(ModConfigTest, DefaultsWithoutFile) {
    EXPECT_EQ(ReadSetting(core::kUserName), u"58263");
    EXPECT_EQ(ReadSetting(core::kPassWord), u"58263");
    EXPECT_EQ(ReadSetting(core::kLock), u"True");
    EXPECT_EQ(ReadSetting(core::kLockTime), u"15");
    EXPECT_FALSE(std::filesystem::exists(m_file));
}

TEST_F(ModConfigTest, EmptyValueIsEmptyNotDefault) {
    WriteFile(m_file, "[Setting]\nPassWord=\n");
    EXPECT_EQ(ReadSetting(core::kPassWord), u"");
}

TEST_F(ModConfigTest, LongValueCutToTheBuffer) {
    WriteFile(m_file, "[Setting]\nPassWord=" + std::string(3000, 'p') + "\n");
    EXPECT_EQ(ReadSetting(core::kPassWord), std::u16string(2047, u'p'));
}

TEST_F(ModConfigTest, WriteThenReadWithoutRestart) {
    ASSERT_TRUE(WriteSetting(core::kLock, u"False"));
    EXPECT_EQ(ReadSetting(core::kLock), u"False");
    ASSERT_TRUE(WriteSetting(core::kLockTime, u"23"));
    EXPECT_EQ(ReadFile(m_file), "[Setting]\nLock=False\nLockTime=23\n");
}

// Every character that can be typed is stored as it was typed: the file is UTF-8.
TEST_F(ModConfigTest, ChineseAndSymbolsKeptExactly) {
    const std::u16string password = u"密码 'Ω' \U0001F600 ";
    ASSERT_TRUE(WriteSetting(core::kPassWord, password));
    EXPECT_EQ(ReadSetting(core::kPassWord), password);
}

TEST_F(ModConfigTest, RefusesWhatCannotBeKeptAndKeepsTheFile) {
    ASSERT_TRUE(WriteSetting(core::kPassWord, u"old"));
    const std::string before = ReadFile(m_file);
    const std::u16string refused[] = {u"line\nbreak", u"carriage\rreturn",
                                      std::u16string(u"nul\0inside", 10),
                                      std::u16string(u"lone") + char16_t(0xD83D)};
    for (const std::u16string& value : refused) {
        EXPECT_FALSE(WriteSetting(core::kPassWord, value));
    }
    EXPECT_EQ(ReadFile(m_file), before);
    EXPECT_EQ(ReadSetting(core::kPassWord), u"old");
}

TEST_F(ModConfigTest, ReadsAFileWrittenByHand) {
    WriteFile(m_file, "[setting]\r\nusername = Alice\r\nPassWord=\"  spaced  \"\r\n");
    EXPECT_EQ(ReadSetting(core::kUserName), u"Alice");
    EXPECT_EQ(ReadSetting(core::kPassWord), u"  spaced  ");
}

TEST_F(ModConfigTest, NoFileIsNoErrorForTheCheckedRead) {
    EXPECT_EQ(TryReadSetting(core::kPassWord), core::kPassWord.defaultValue);
    WriteFile(m_file, "[Setting]\nPassWord=\n");
    EXPECT_EQ(TryReadSetting(core::kPassWord), u"");
}

// Each setting is written only with a value its readers can use; a refused one leaves the file.
TEST_F(ModConfigTest, WritesOnlyWhatEachSettingTakes) {
    struct Case {
        const core::Setting& setting;
        std::u16string value;
        bool stored;
    };
    const Case cases[] = {
        {core::kLock, u"False", true},
        {core::kLock, u"True", true},
        {core::kLock, u"true", false},
        {core::kLock, u"", false},
        {core::kLock, u"Yes", false},
        {core::kLockTime, u"23", true},
        {core::kLockTime, u"0", true},
        {core::kLockTime, u"2147483647", true},
        {core::kLockTime, u"2147483648", false},
        {core::kLockTime, u"-1", false},
        {core::kLockTime, u"1.5", false},
        {core::kLockTime, u" ", false},
        // What the lock panel's password box can take, and nothing else.
        {core::kPassWord, std::u16string(core::kPassWordMaxLength, u'密'), true},
        {core::kPassWord, std::u16string(core::kPassWordMaxLength + 1, u'p'), false},
        {core::kPassWord, u"", false},
        {core::kUserName, u"", true},
        {core::kUserName, std::u16string(100, u'u'), true},
    };
    for (const Case& c : cases) {
        const std::string before = std::filesystem::exists(m_file) ? ReadFile(m_file) : "";
        const std::u16string old = ReadSetting(c.setting);
        const std::string what =
            platform::ToUtf8Lossy(c.setting.key) + "=" + platform::ToUtf8Lossy(c.value);
        EXPECT_EQ(WriteSetting(c.setting, c.value), c.stored) << what;
        EXPECT_EQ(ReadSetting(c.setting), c.stored ? c.value : old) << what;
        if (!c.stored) {
            EXPECT_EQ(std::filesystem::exists(m_file) ? ReadFile(m_file) : "", before) << what;
        }
    }
}

class ModConfigUnreadableTest
    : public ModConfigTest,
      public ::testing::WithParamInterface<testing_support::UnreadableCase> {};

// A file that is there but cannot be read gives no value to the checked read, and its default
// to the plain one (the lock switch and the reload period fall back to their safe defaults).
TEST_P(ModConfigUnreadableTest, CheckedReadFailsPlainReadDefaults) {
    const testing_support::Watchdog watchdog(60);
    testing_support::MakeUnreadable(GetParam().kind, m_file);
    // What the reads give, in one line that a child process can compare as well.
    auto reads = [] {
        auto shown = [](const std::optional<std::u16string>& v) {
            return v ? platform::ToUtf8Lossy(*v) : std::string("(unreadable)");
        };
        return "UserName " + shown(TryReadSetting(core::kUserName)) + ", PassWord " +
               shown(TryReadSetting(core::kPassWord)) + ", plain PassWord " +
               shown(ReadSetting(core::kPassWord)) + ", Lock " + shown(ReadSetting(core::kLock)) +
               ", LockTime " + shown(ReadSetting(core::kLockTime));
    };
    const std::string expected = "UserName (unreadable), PassWord (unreadable), plain PassWord " +
                                 platform::ToUtf8Lossy(core::kPassWord.defaultValue) + ", Lock " +
                                 platform::ToUtf8Lossy(core::kLock.defaultValue) + ", LockTime " +
                                 platform::ToUtf8Lossy(core::kLockTime.defaultValue);
    if (GetParam().kind == testing_support::Unreadable::NoPermission) {
        EXPECT_TRUE(testing_support::CheckUnprivileged([&] { return reads() == expected; }));
    } else {
        EXPECT_EQ(reads(), expected);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, ModConfigUnreadableTest,
                         ::testing::ValuesIn(testing_support::kUnreadableCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(ModConfigPath, MissingDirectoryIsCreatedOwnerOnly) {
    TempDir dir;
    const auto file = dir / "config/nested/Windows.INI";
    platform::ServicesScope scope{platform::Services{.settingsFile = file}};
    ASSERT_TRUE(WriteSetting(core::kLock, u"True"));
    EXPECT_EQ(ReadFile(file), "[Setting]\nLock=True\n");
    EXPECT_EQ(std::filesystem::status(file.parent_path()).permissions(),
              std::filesystem::perms::owner_all);
}

TEST(ModConfigPath, UnwritableLocationReportsFailure) {
    TempDir dir;
    WriteFile(dir / "plainfile", "x");
    platform::ServicesScope scope{
        platform::Services{.settingsFile = dir / "plainfile" / "Windows.INI"}};
    EXPECT_FALSE(WriteSetting(core::kLock, u"True"));
    EXPECT_EQ(ReadSetting(core::kLock), u"True");
}

// The default file follows the XDG rules; scopes restore what was installed before.
TEST(ModConfigPath, DefaultLocation) {
    struct EnvGuard {
        std::string name;
        std::optional<std::string> old;
        explicit EnvGuard(const char* n) : name(n) {
            if (const char* v = ::getenv(n)) {
                old = v;
            }
        }
        ~EnvGuard() {
            if (old) {
                ::setenv(name.c_str(), old->c_str(), 1);
            } else {
                ::unsetenv(name.c_str());
            }
        }
    } xdg("XDG_CONFIG_HOME"), home("HOME");

    ::setenv("HOME", "/home/someone", 1);
    ::setenv("XDG_CONFIG_HOME", "/xdg/conf", 1);
    EXPECT_EQ(platform::DefaultSettingsFile(), "/xdg/conf/Windows.INI");
    ::setenv("XDG_CONFIG_HOME", "relative/ignored", 1);
    EXPECT_EQ(platform::DefaultSettingsFile(), "/home/someone/.config/Windows.INI");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(platform::DefaultSettingsFile(), "/home/someone/.config/Windows.INI");

    {
        platform::ServicesScope outer{platform::Services{.settingsFile = "/a/Windows.INI"}};
        {
            platform::ServicesScope inner{platform::Services{.settingsFile = "/b/Windows.INI"}};
            EXPECT_EQ(platform::CurrentServices().settingsFile, "/b/Windows.INI");
        }
        EXPECT_EQ(platform::CurrentServices().settingsFile, "/a/Windows.INI");
    }
}

}  // namespace
