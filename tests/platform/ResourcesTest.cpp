// SPDX-License-Identifier: MIT
#include "platform/Resources.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"

namespace {

using platform::EmbeddedFile;
using platform::LoadResData;
using testing_support::ReadFile;

std::vector<std::uint8_t> AssetBytes(const std::string& name) {
    const std::string text =
        ReadFile(std::filesystem::path(LOOMHAVEN_SOURCE_DIR) / "assets" / name);
    return {text.begin(), text.end()};
}

struct BannerCase {
    int id;
    const char* type;
    const char* file;
};

TEST(LoadResData, BannersAreTheAssetFilesUnchanged) {
    const BannerCase cases[] = {
        {101, "CUSTOM", "101.gif"},
        {102, "CUSTOM", "102.gif"},
        {103, "CUSTOM", "103.gif"},
        // Resource type names ignore ASCII case.
        {101, "custom", "101.gif"},
        {102, "Custom", "102.gif"},
        {103, "cUsToM", "103.gif"},
    };
    for (const BannerCase& c : cases) {
        SCOPED_TRACE(std::to_string(c.id) + " " + c.type);
        const std::vector<std::uint8_t> expected = AssetBytes(c.file);
        ASSERT_GT(expected.size(), 1000u);
        EXPECT_EQ(LoadResData(c.id, c.type), expected);
    }
    // Banner 103 keeps the zero byte after its trailer.
    const std::vector<std::uint8_t> b103 = LoadResData(103, "CUSTOM");
    ASSERT_GE(b103.size(), 2u);
    EXPECT_EQ(b103[b103.size() - 2], 0x3B);
    EXPECT_EQ(b103.back(), 0x00);
}

TEST(LoadResData, UnknownIdOrTypeGivesNothing) {
    const std::pair<int, const char*> cases[] = {
        {100, "CUSTOM"},        {104, "CUSTOM"}, {0, "CUSTOM"},  {-101, "CUSTOM"}, {1, "CUSTOM"},
        {101, "ICON"},          {101, ""},       {101, "CUSTO"}, {101, "CUSTOMS"}, {101, " CUSTOM"},
        {101, "CUST\xC3\x96M"},
    };
    for (const auto& [id, type] : cases) {
        EXPECT_TRUE(LoadResData(id, type).empty()) << id << " '" << type << "'";
    }
    // A type that merely contains the name with a NUL after it is another name.
    EXPECT_TRUE(LoadResData(101, std::string_view("CUSTOM\0", 7)).empty());
}

TEST(EmbeddedFile, EveryPictureIsCarriedByteForByte) {
    for (const char* name :
         {"FrmMain.bmp", "FrmOption.bmp", "Loomhaven.ico", "QExit.png", "Monitor.png",
          "Padlock.png", "Plate.png", "101.gif", "102.gif", "103.gif"}) {
        SCOPED_TRACE(name);
        const std::vector<std::uint8_t> expected = AssetBytes(name);
        ASSERT_FALSE(expected.empty());
        const std::span<const std::uint8_t> carried = EmbeddedFile(name);
        EXPECT_EQ(std::vector<std::uint8_t>(carried.begin(), carried.end()), expected);
    }
}

TEST(EmbeddedFile, UnknownNameGivesEmptySpan) {
    // Names are exact: no other case, no path, and the installed data files are not carried.
    for (const char* name : {"", "frmmain.bmp", "FrmMain", "FrmMain.bmp ", "assets/FrmMain.bmp",
                             "../assets/FrmMain.bmp", "Exit_up.png", "BlackGround.bmp"}) {
        EXPECT_TRUE(EmbeddedFile(name).empty()) << "'" << name << "'";
    }
}

TEST(AppVersion, IsTheProjectVersion) {
    EXPECT_EQ(platform::AppVersion(), "1.0.0");
}

}  // namespace
