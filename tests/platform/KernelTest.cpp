// SPDX-License-Identifier: MIT
#include "platform/Kernel.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <set>
#include <string>

#include "ScopedEnv.h"
#include "TempDir.h"

namespace {

using testing_support::TempDir;

class KernelTest : public ::testing::Test {
  protected:
    TempDir m_tmp;
    TempDir m_data;
    testing_support::ScopedEnv m_tmpEnv{"TMPDIR", m_tmp.path().string()};
};

TEST_F(KernelTest, TempPathFollowsTmpdir) {
    char buffer[256];
    const std::uint32_t n = platform::GetTempPathA(sizeof buffer, buffer);
    EXPECT_EQ(std::string(buffer, n), m_tmp.path().string() + "/");
    EXPECT_EQ(buffer[n], '\0');
    char tiny[4] = {'x', 'x', 'x', 'x'};
    EXPECT_EQ(platform::GetTempPathA(sizeof tiny, tiny), n + 1) << "the size it would need";
    EXPECT_EQ(tiny[0], 'x');
    {
        testing_support::ScopedEnv relative("TMPDIR", "relative/dir");
        EXPECT_EQ(std::string(buffer, platform::GetTempPathA(sizeof buffer, buffer)), "/tmp/");
    }
    {
        testing_support::ScopedEnv slash("TMPDIR", m_tmp.path().string() + "/");
        EXPECT_EQ(std::string(buffer, platform::GetTempPathA(sizeof buffer, buffer)),
                  m_tmp.path().string() + "/");
    }
}

TEST_F(KernelTest, TempFileNamesAreCreatedEmptyAndOwnerOnly) {
    char name[platform::MAX_PATH];
    std::set<std::string> names;
    for (int i = 0; i < 20; ++i) {
        const std::uint32_t unique =
            platform::GetTempFileNameA(m_tmp.path().c_str(), "abcdef", 0, name);
        ASSERT_NE(unique, 0u);
        char hex[16];
        std::snprintf(hex, sizeof hex, "%X", unique);
        EXPECT_EQ(std::string(name), (m_tmp.path() / (std::string("abc") + hex + ".TMP")).string());
        struct stat st {};
        ASSERT_EQ(::lstat(name, &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_mode & 0777, 0600u);
        EXPECT_EQ(st.st_size, 0);
        names.insert(name);
    }
    EXPECT_EQ(names.size(), 20u);
    for (const std::string& n : names) {
        EXPECT_TRUE(platform::DeleteFileA(n.c_str()));
    }
    EXPECT_FALSE(platform::DeleteFileA(names.begin()->c_str()));
    // A given number only builds the name.
    EXPECT_EQ(platform::GetTempFileNameA("/nowhere", "p", 0x2AB, name), 0x2ABu);
    EXPECT_STREQ(name, "/nowhere/p2AB.TMP");
    EXPECT_EQ(platform::GetTempFileNameA((m_tmp.path() / "missing").c_str(), "p", 0, name), 0u);
    EXPECT_EQ(platform::GetTempFileNameA(std::string(300, 'd').c_str(), "p", 0, name), 0u);
}

TEST_F(KernelTest, NewFilesNeverGoThroughWhatIsThere) {
    const auto target = m_data / "target";
    testing_support::WriteFile(target, "kept");
    const auto link = m_tmp.path() / "link";
    const auto dangling = m_tmp.path() / "dangling";
    const auto existing = m_tmp.path() / "existing";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    ASSERT_EQ(::symlink((m_data / "nothing").c_str(), dangling.c_str()), 0);
    testing_support::WriteFile(existing, "mine");
    for (const auto& taken : {link, dangling, existing, m_tmp.path()}) {
        platform::NewFile file(taken.string());
        EXPECT_FALSE(file.IsOpen()) << taken;
        EXPECT_EQ(file.Error(), EEXIST) << taken;
    }
    EXPECT_EQ(testing_support::ReadFile(target), "kept");
    EXPECT_FALSE(std::filesystem::exists(m_data / "nothing"));
    EXPECT_EQ(testing_support::ReadFile(existing), "mine");

    const auto fresh = m_tmp.path() / "fresh";
    {
        platform::NewFile file(fresh.string());
        ASSERT_TRUE(file.IsOpen());
        EXPECT_TRUE(file.Write("abc", 3));
        EXPECT_TRUE(file.Close());
        EXPECT_FALSE(file.Write("d", 1));
    }
    struct stat st {};
    ASSERT_EQ(::lstat(fresh.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(testing_support::ReadFile(fresh), "abc");
    platform::NewFile missingDir((m_tmp.path() / "no" / "file").string());
    EXPECT_EQ(missingDir.Error(), ENOENT);
    EXPECT_TRUE(platform::FileExists(fresh.string()));
    EXPECT_FALSE(platform::FileExists(m_tmp.path().string()));
    EXPECT_FALSE(platform::FileExists(dangling.string()));
    EXPECT_TRUE(platform::FileExists(link.string()));
    for (const auto& p : {link, dangling, existing, fresh}) {
        EXPECT_TRUE(platform::DeleteFileA(p.c_str()));
    }
    EXPECT_EQ(testing_support::ReadFile(target), "kept") << "deleting a link keeps its target";
}

}  // namespace
