// SPDX-License-Identifier: MIT
#include "platform/Files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TempDir.h"
#include "Unprivileged.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

mode_t ModeOf(const std::filesystem::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 07777;
}

// Sets the umask for one scope.
class Umask {
  public:
    explicit Umask(mode_t mask) : m_old(::umask(mask)) {}
    ~Umask() { ::umask(m_old); }

  private:
    mode_t m_old;
};

TEST(ReplaceAtomically, KeepsTheModeOfAFileThatStoodThere) {
    TempDir dir;
    WriteFile(dir / "f", "old");
    ::chmod((dir / "f").c_str(), 0644);
    ASSERT_TRUE(platform::ReplaceAtomically((dir / "f").string(), std::string_view("new")));
    EXPECT_EQ(ReadFile(dir / "f"), "new");
    EXPECT_EQ(ModeOf(dir / "f"), 0644u);
}

TEST(ReplaceAtomically, OwnerOnlyWhateverStoodThereAndWhateverTheUmask) {
    const Umask mask(0277);  // would leave the owner unable to write
    for (const bool existed : {false, true}) {
        TempDir dir;
        if (existed) {
            WriteFile(dir / "f", "old");
            ::chmod((dir / "f").c_str(), 0666);
        }
        ASSERT_TRUE(platform::ReplaceAtomically((dir / "f").string(), std::string_view("new"),
                                                platform::FileMode::OwnerOnly));
        EXPECT_EQ(ReadFile(dir / "f"), "new");
        EXPECT_EQ(ModeOf(dir / "f"), 0600u) << "existed " << existed;
    }
}

struct PrivateDirCase {
    const char* name;
    const char* existing;  // made beforehand with mode 0755 ("" for none)
    const char* wanted;
    const char* privateLevels[3];  // the directories that must end up 0700
};

void PrintTo(const PrivateDirCase& c, std::ostream* os) {
    *os << c.name;
}

class PrivateDirectoryTest : public ::testing::TestWithParam<PrivateDirCase> {};

// Every directory made on the way is private, and so is the one asked for; one that was there
// on the way (the user's data directory) keeps its mode.
TEST_P(PrivateDirectoryTest, OnlyTheOwnerMayEnter) {
    const PrivateDirCase& c = GetParam();
    TempDir dir;
    if (*c.existing != '\0') {
        std::filesystem::create_directories(dir / c.existing);
        for (std::filesystem::path p = c.existing; !p.empty(); p = p.parent_path()) {
            ::chmod((dir / p).c_str(), 0755);
        }
    }
    const Umask mask(0277);  // would leave the owner unable to write into what is made
    ASSERT_TRUE(platform::EnsurePrivateDirectory(dir / c.wanted));
    EXPECT_TRUE(std::filesystem::is_directory(dir / c.wanted));
    for (const char* level : c.privateLevels) {
        if (level != nullptr) {
            EXPECT_EQ(ModeOf(dir / level), 0700u) << level;
        }
    }
    if (*c.existing != '\0' && std::string(c.existing) != c.wanted) {
        EXPECT_EQ(ModeOf(dir / c.existing), 0755u) << "not ours to change";
    }
    // Asking again changes nothing and still succeeds.
    EXPECT_TRUE(platform::EnsurePrivateDirectory(dir / c.wanted));
    EXPECT_EQ(ModeOf(dir / c.wanted), 0700u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrivateDirectoryTest,
    ::testing::Values(PrivateDirCase{"AllNew", "", "a/b/c", {"a", "a/b", "a/b/c"}},
                      PrivateDirCase{"UnderAnExistingOne",
                                     "share",
                                     "share/QtWebEngine/x",
                                     {"share/QtWebEngine", "share/QtWebEngine/x", nullptr}},
                      PrivateDirCase{"ExistingOneNarrowed",
                                     "share/QtWebEngine/x",
                                     "share/QtWebEngine/x",
                                     {"share/QtWebEngine/x", nullptr, nullptr}},
                      PrivateDirCase{"TrailingSeparator", "", "d/", {"d", nullptr, nullptr}}),
    [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(PrivateDirectory, RefusesWhatIsNoDirectory) {
    TempDir dir;
    WriteFile(dir / "file", "x");
    ::chmod((dir / "file").c_str(), 0644);
    EXPECT_FALSE(platform::EnsurePrivateDirectory(dir / "file"));
    EXPECT_FALSE(platform::EnsurePrivateDirectory(dir / "file" / "sub"));
    EXPECT_EQ(ReadFile(dir / "file"), "x");
    EXPECT_EQ(ModeOf(dir / "file"), 0644u);
    EXPECT_FALSE(platform::EnsurePrivateDirectory(""));
}

// ---------------------------------------------------------------------------------------------
// Leftovers of a killed run

TEST(IsReplacementFileOf, KnowsTheNewFilesAndNothingElse) {
    struct Case {
        const char* name;
        bool expected;
    };
    for (const Case& c : std::initializer_list<Case>{
             {".Windows.INI.a1B2c3", true},
             {".Windows.INI.XXXXXX", true},
             {".Windows.INI.000000", true},
             {"Windows.INI", false},           // the settings file itself
             {".Windows.INI", false},          // no random part
             {".Windows.INI.a1B2c", false},    // five characters
             {".Windows.INI.a1B2c3d", false},  // seven
             {".Windows.INI.a1B2-3", false},   // not what mkostemp writes
             {".Windows.INI.a1B2c3.bak", false},
             {".windows.ini.a1B2c3", false},  // another file's
             {".Windows.INIXa1B2c3", false},
             {"xWindows.INI.a1B2c3", false},
             {".101.gif.Qr5tU9", false},  // a banner's, not the settings file's
         }) {
        EXPECT_EQ(platform::IsReplacementFileOf(c.name, "Windows.INI"), c.expected) << c.name;
    }
    EXPECT_TRUE(platform::IsReplacementFileOf(".101.gif.Qr5tU9", "101.gif"));
    EXPECT_FALSE(platform::IsReplacementFileOf("..abcdef", ""));
}

// Backdates a file's modification time, as a run killed long ago would have left it.
void Age(const std::filesystem::path& p, int seconds) {
    struct timeval times[2];
    ::gettimeofday(&times[0], nullptr);
    times[0].tv_sec -= seconds;
    times[1] = times[0];
    ASSERT_EQ(::lutimes(p.c_str(), times), 0) << p;
}

TEST(RemoveOwnLeftovers, TakesOnlyOldRecognisedFilesOfOurs) {
    TempDir dir;
    const auto recognised = [](std::string_view name) { return name.starts_with("left"); };
    WriteFile(dir / "left-old", "x");
    Age(dir / "left-old", 3600);
    WriteFile(dir / "left-new", "x");  // a live writer's: just written
    WriteFile(dir / "other-old", "x");
    Age(dir / "other-old", 3600);
    std::filesystem::create_directory(dir / "left-dir");
    Age(dir / "left-dir", 3600);
    WriteFile(dir / "target", "keep");
    std::filesystem::create_symlink(dir / "target", dir / "left-link");
    Age(dir / "left-link", 3600);

    EXPECT_EQ(platform::RemoveOwnLeftovers(dir.path(), recognised, std::chrono::seconds(60)), 1);
    EXPECT_FALSE(std::filesystem::exists(dir / "left-old"));
    EXPECT_TRUE(std::filesystem::exists(dir / "left-new"));
    EXPECT_TRUE(std::filesystem::exists(dir / "other-old"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "left-dir"));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "left-link"));
    EXPECT_EQ(ReadFile(dir / "target"), "keep");

    EXPECT_EQ(platform::RemoveOwnLeftovers(dir / "missing", recognised, std::chrono::seconds(0)),
              0);
}

TEST(RemoveOwnLeftovers, LeavesAnotherUsersFiles) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant another user's file";
    }
    TempDir dir;
    WriteFile(dir / "left-theirs", "x");
    ASSERT_EQ(
        ::chown((dir / "left-theirs").c_str(), testing_support::kNobody, testing_support::kNobody),
        0);
    Age(dir / "left-theirs", 3600);
    EXPECT_EQ(platform::RemoveOwnLeftovers(
                  dir.path(), [](std::string_view) { return true; }, std::chrono::seconds(0)),
              0);
    EXPECT_TRUE(std::filesystem::exists(dir / "left-theirs"));
}

}  // namespace
