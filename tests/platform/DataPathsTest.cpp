// SPDX-License-Identifier: MIT
// Where the data files are read and written: a portable tree, an installed prefix, and the
// user's data directory that may be missing or unusable.
#include "platform/DataPaths.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "TempDir.h"
#include "Unprivileged.h"

namespace {

namespace fs = std::filesystem;
using platform::DataAccess;
using testing_support::TempDir;
using testing_support::WriteFile;

// The directories of a tree as they stand on disk, relative to a test's own directory.
struct LayoutCase {
    const char* name;
    std::vector<const char*> dirs;  // made before the lookup
    std::vector<const char*> files;
    const char* program;   // the executable's directory
    const char* pictures;  // expected, relative
    const char* written;
    bool installed;
};

void PrintTo(const LayoutCase& c, std::ostream* os) {
    *os << c.name;
}

class DataPlacesTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(DataPlacesTest, FindsWhereThePicturesAndTheWrittenFilesLie) {
    const LayoutCase& c = GetParam();
    TempDir dir;
    for (const char* d : c.dirs) {
        fs::create_directories(dir / d);
    }
    for (const char* f : c.files) {
        WriteFile(dir / f, "x");
    }
    const platform::DataPlaces places = platform::FindDataPlaces(dir / c.program, dir / "home");
    EXPECT_EQ(places.pictures, dir / c.pictures);
    EXPECT_EQ(places.written, dir / c.written);
    EXPECT_EQ(places.installed, c.installed);
}

const std::string kShare =
    (fs::path("prefix/bin") / platform::InstalledDataFromProgram()).lexically_normal().string();

INSTANTIATE_TEST_SUITE_P(
    Layouts, DataPlacesTest,
    ::testing::Values(
        LayoutCase{"portable tree: beside the executable, even with a share tree about",
                   {"prefix/bin/data/image", kShare.c_str()},
                   {},
                   "prefix/bin",
                   "prefix/bin/data/image",
                   "prefix/bin/data/image",
                   false},
        LayoutCase{"installed prefix: pictures from share, writes to the user's directory",
                   {"prefix/bin", kShare.c_str()},
                   {},
                   "prefix/bin",
                   kShare.c_str(),
                   "home/loomhaven/data/image",
                   true},
        LayoutCase{"a file named data/image beside the executable is no data directory",
                   {"prefix/bin/data", kShare.c_str()},
                   {"prefix/bin/data/image"},
                   "prefix/bin",
                   kShare.c_str(),
                   "home/loomhaven/data/image",
                   true},
        LayoutCase{"neither: beside the executable, to be made on first write",
                   {"prefix/bin"},
                   {},
                   "prefix/bin",
                   "prefix/bin/data/image",
                   "prefix/bin/data/image",
                   false}),
    [](const auto& param) { return "case" + std::to_string(param.index); });

TEST(DataFilePathTest, ReadsWhatTheProgramWroteFirstThenWhatCameWithIt) {
    TempDir dir;
    const platform::DataPlaces installed{dir / "share", dir / "user", true};
    fs::create_directories(installed.pictures);
    fs::create_directories(installed.written);
    WriteFile(installed.written / "101.gif", "banner");
    WriteFile(installed.pictures / "Exit_up.png", "picture");
    struct Case {
        const char* file;
        DataAccess access;
        fs::path expected;
    };
    const std::vector<Case> cases = {
        {"101.gif", DataAccess::Read, installed.written / "101.gif"},
        {"Exit_up.png", DataAccess::Read, installed.pictures / "Exit_up.png"},
        // Not written yet, and not one that came with the program: still the installed one.
        {"102.gif", DataAccess::Read, installed.pictures / "102.gif"},
        {"Exit_up.png", DataAccess::Write, installed.written / "Exit_up.png"},
        {"BlackGround.bmp", DataAccess::Write, installed.written / "BlackGround.bmp"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(platform::DataFilePath(installed, c.file, c.access), c.expected)
            << c.file << (c.access == DataAccess::Read ? " read" : " written");
    }
    const platform::DataPlaces portable{dir / "app", dir / "app", false};
    EXPECT_EQ(platform::DataFilePath(portable, "Exit_up.png", DataAccess::Read),
              dir / "app" / "Exit_up.png");
}

TEST(UserDataHomeTest, FollowsTheEnvironmentThenTheAccount) {
    const passwd* pw = ::getpwuid(::getuid());
    ASSERT_NE(pw, nullptr);
    const fs::path account = fs::path(pw->pw_dir) / ".local" / "share";
    struct Case {
        const char* name;
        std::map<std::string, std::string> env;
        fs::path expected;
    };
    const std::vector<Case> cases = {
        {"XDG_DATA_HOME", {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/h"}}, "/x/data"},
        {"relative XDG_DATA_HOME is ignored",
         {{"XDG_DATA_HOME", "rel/data"}, {"HOME", "/h"}},
         "/h/.local/share"},
        {"empty XDG_DATA_HOME", {{"XDG_DATA_HOME", ""}, {"HOME", "/h"}}, "/h/.local/share"},
        {"HOME alone", {{"HOME", "/h"}}, "/h/.local/share"},
        {"no HOME: the account's home", {}, account},
        {"relative HOME: the account's home", {{"HOME", "h"}}, account},
    };
    for (const Case& c : cases) {
        const auto lookup = [&c](const char* name) -> const char* {
            const auto it = c.env.find(name);
            return it == c.env.end() ? nullptr : it->second.c_str();
        };
        EXPECT_EQ(platform::DefaultUserDataHome(lookup), c.expected) << c.name;
    }
}

mode_t Mode(const fs::path& p) {
    struct stat st {};
    return ::stat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 0;
}

TEST(MakeUserDirectoryTest, MakesEveryMissingLevelOwnerOnly) {
    TempDir dir;
    const fs::path target = dir / "share" / "loomhaven" / "data" / "image";
    const mode_t oldMask = ::umask(0);  // a permissive umask must not open them up
    std::string why;
    const bool made = platform::MakeUserDirectory(target, why);
    ::umask(oldMask);
    ASSERT_TRUE(made) << why;
    for (const fs::path& level : {dir / "share", dir / "share" / "loomhaven",
                                  dir / "share" / "loomhaven" / "data", target}) {
        EXPECT_EQ(Mode(level), 0700u) << level;
    }
    // Already there: fine, and left as it is.
    ::chmod(target.c_str(), 0750);
    EXPECT_TRUE(platform::MakeUserDirectory(target, why)) << why;
    EXPECT_EQ(Mode(target), 0750u);
}

TEST(MakeUserDirectoryTest, SaysWhyWhenTheDirectoryCannotBeUsed) {
    TempDir dir;
    WriteFile(dir / "file", "in the way");
    std::string why;
    EXPECT_FALSE(platform::MakeUserDirectory(dir / "file" / "loomhaven", why));
    EXPECT_NE(why.find((dir / "file").string()), std::string::npos) << why;

    // Read-only home, and a directory there that is not writable: as an ordinary user.
    fs::create_directories(dir / "ro-home");
    fs::create_directories(dir / "rw-home" / "loomhaven");
    ::chmod(dir.path().c_str(), 0755);
    ::chmod((dir / "ro-home").c_str(), 0555);
    ::chmod((dir / "rw-home").c_str(), 0777);
    ::chmod((dir / "rw-home" / "loomhaven").c_str(), 0555);
    EXPECT_TRUE(testing_support::CheckUnprivileged([&] {
        std::string reason;
        return !platform::MakeUserDirectory(dir / "ro-home" / "loomhaven" / "data", reason) &&
               reason.find("ro-home/loomhaven") != std::string::npos &&
               !platform::MakeUserDirectory(dir / "rw-home" / "loomhaven", reason) &&
               reason.find("rw-home/loomhaven") != std::string::npos;
    }));
    // Sanity of the setup: the same user can make a directory where it may write.
    EXPECT_TRUE(testing_support::CheckUnprivileged([&] {
        std::string reason;
        return platform::MakeUserDirectory(dir / "rw-home" / "mine", reason);
    }));
}

}  // namespace
