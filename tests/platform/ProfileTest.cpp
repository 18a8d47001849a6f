// SPDX-License-Identifier: MIT
#include "platform/Profile.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "TempDir.h"
#include "Unprivileged.h"
#include "platform/ProfileText.h"

namespace {

using platform::GetPrivateProfileStringA;
using platform::ProfileFile;
using platform::WritePrivateProfileStringA;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

struct ReadResult {
    std::string text;
    uint32_t count;
};

ReadResult Read(const std::filesystem::path& file, const char* section, const char* key,
                const char* def = "default", uint32_t size = 260) {
    std::vector<char> buffer(size + 1, '#');
    const uint32_t n =
        GetPrivateProfileStringA(section, key, def, buffer.data(), size, file.c_str());
    return {size == 0 ? std::string() : std::string(buffer.data()), n};
}

// ---------------------------------------------------------------------------------------------
// Reading

struct ReadCase {
    const char* name;
    const char* content;
    const char* section;
    const char* key;
    const char* def;
    uint32_t size;
    const char* expected;
    uint32_t count;
};

const char* const kExample =
    "[section1]\r\nname1=val1\r\nname2=\"val2\"\r\nname3\r\nname4=a\r\n[section2]\r\n";

const ReadCase kReadCases[] = {
    {"KeyCaseIgnored", kExample, "section1", "NaMe1", "default", 260, "val1", 4},
    {"SectionCaseIgnored", kExample, "SECTION1", "name4", "default", 260, "a", 1},
    {"QuotesRemoved", kExample, "section1", "name2", "default", 260, "val2", 4},
    {"CutToBuffer", kExample, "section1", "name1", "default", 4, "val", 3},
    {"BufferOfOne", kExample, "section1", "name1", "default", 1, "", 0},
    {"MissingSectionGivesTrimmedDefault", kExample, "notasection", "name1", "default  ", 260,
     "default", 7},
    {"LineWithoutEqualsIsNoKey", kExample, "section1", "name3", "def", 260, "def", 3},
    {"EmptySectionHasNoKeys", kExample, "section2", "name1", "def", 260, "def", 3},
    {"NullDefaultIsEmpty", kExample, "section1", "nokey", nullptr, 260, "", 0},
    {"DefaultTabsKept", kExample, "x", "y", "a\t", 260, "a\t", 2},
    {"DefaultCut", kExample, "x", "y", "abcdef", 4, "abc", 3},
    {"BlanksAroundNames", "  [ Setting ]  \n\t Lock \t=\t True \t\n", " setting ", " LOCK ", "d",
     260, "True", 4},
    {"BlanksInsideValueKept", "[s]\nk = a  b \n", "s", "k", "d", 260, "a  b", 4},
    {"SingleQuotesRemoved", "[s]\nk='x y'\n", "s", "k", "d", 260, "x y", 3},
    {"MismatchedQuotesStay", "[s]\nk=\"x'\n", "s", "k", "d", 260, "\"x'", 3},
    {"LoneQuoteStays", "[s]\nk=\"\n", "s", "k", "d", 260, "\"", 1},
    {"QuotedEmpty", "[s]\nk=\"\"\n", "s", "k", "d", 260, "", 0},
    {"QuotesInsideBlanks", "[s]\nk=  \" a \"  \n", "s", "k", "d", 260, " a ", 3},
    {"CommentLineIsNoKey", "[s]\n;k=1\n  ; k=2\n", "s", "k", "d", 260, "d", 1},
    {"NoInlineComments", "[s]\nk=v ;c\n", "s", "k", "d", 260, "v ;c", 4},
    {"EmptyValueIsNotDefault", "[Setting]\nPassWord=\n", "Setting", "PassWord", "58263", 260, "",
     0},
    {"KeyBeforeAnySectionUnreachable", "k=1\n[s]\n", "s", "k", "d", 260, "d", 1},
    {"FirstKeyWins", "[s]\nk=1\nK=2\n", "s", "k", "d", 260, "1", 1},
    {"FirstSectionWins", "[s]\nk=1\n[S]\nk=3\nj=4\n", "s", "j", "d", 260, "d", 1},
    {"EqualsInValue", "[s]\nk=a=b\n", "s", "k", "d", 260, "a=b", 3},
    {"HeaderWithoutCloseIsNoSection", "[s\nk=1\n", "s", "k", "d", 260, "d", 1},
    {"LastBracketClosesHeader", "[a]b]\nk=1\n", "a]b", "k", "d", 260, "1", 1},
    {"Utf8Value", "[s]\nk=密码\n", "s", "k", "d", 260, "密码", 6},
    {"EmptyFile", "", "s", "k", "d", 260, "d", 1},
};

void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileReadTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ProfileReadTest, ReadsAsTheRealCall) {
    const ReadCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "t.ini";
    WriteFile(file, c.content);
    const ReadResult r = Read(file, c.section, c.key, c.def, c.size);
    EXPECT_EQ(r.text, c.expected);
    EXPECT_EQ(r.count, c.count);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileReadTest, ::testing::ValuesIn(kReadCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(ProfileRead, LineEndingsAndByteOrderMarkReadTheSame) {
    const std::string lines[] = {"[Setting]", "UserName=alice", "; note", "Lock=False"};
    for (const std::string eol : {"\n", "\r\n", "\r"}) {
        for (const std::string bom : {"", "\xEF\xBB\xBF"}) {
            std::string content = bom;
            for (const auto& l : lines) {
                content += l + eol;
            }
            TempDir dir;
            WriteFile(dir / "t.ini", content);
            SCOPED_TRACE(testing::Message() << "eol size " << eol.size() << " bom " << bom.size());
            EXPECT_EQ(Read(dir / "t.ini", "Setting", "UserName").text, "alice");
            EXPECT_EQ(Read(dir / "t.ini", "setting", "lock").text, "False");
        }
    }
}

TEST(ProfileRead, MissingFileGivesDefault) {
    TempDir dir;
    const ReadResult r = Read(dir / "absent.ini", "Setting", "Lock", "True ");
    EXPECT_EQ(r.text, "True");
    EXPECT_EQ(r.count, 4u);
}

TEST(ProfileRead, SizeZeroLeavesBufferUntouched) {
    TempDir dir;
    WriteFile(dir / "t.ini", kExample);
    char buffer[4] = {'x', 'y', 'z', 'w'};
    EXPECT_EQ(
        GetPrivateProfileStringA("section1", "name1", "d", buffer, 0, (dir / "t.ini").c_str()), 0u);
    EXPECT_EQ(std::string(buffer, 4), "xyzw");
}

TEST(ProfileRead, ListsSectionAndKeyNames) {
    TempDir dir;
    WriteFile(dir / "t.ini", kExample);
    char buffer[64];
    uint32_t n = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer,
                                          (dir / "t.ini").c_str());
    EXPECT_EQ(std::string(buffer, n + 1), std::string("section1\0section2\0\0", 19));
    n = GetPrivateProfileStringA("section1", nullptr, "", buffer, sizeof buffer,
                                 (dir / "t.ini").c_str());
    EXPECT_EQ(std::string(buffer, n + 1), std::string("name1\0name2\0name4\0\0", 19));
}

// ---------------------------------------------------------------------------------------------
// What stands under the file's name

// A file of exactly `size` bytes whose first line is the section and key the cases look up.
std::string SettingsOfSize(size_t size) {
    std::string content = "[s]\nk=v\n";
    content.resize(size, ';');
    return content;
}

struct PathCase {
    const char* name;
    // Puts something at a path in `dir` and returns the path.
    std::filesystem::path (*make)(const TempDir& dir);
    ProfileFile found;
    const char* value;          // what a read of s/k with default "default" gives
    bool unprivileged = false;  // read where file modes count (not as root)
};

const PathCase kPathCases[] = {
    {"NoFile", [](const TempDir& d) { return d / "absent.ini"; }, ProfileFile::Missing, "default"},
    {"NoDirectoryOnTheWay", [](const TempDir& d) { return d / "absent" / "t.ini"; },
     ProfileFile::Missing, "default"},
    {"RegularFile",
     [](const TempDir& d) {
         WriteFile(d / "t.ini", "[s]\nk=v\n");
         return d / "t.ini";
     },
     ProfileFile::Read, "v"},
    {"FileOfExactlyTheLimit",
     [](const TempDir& d) {
         WriteFile(d / "t.ini", SettingsOfSize(platform::kMaxProfileFileSize));
         return d / "t.ini";
     },
     ProfileFile::Read, "v"},
    {"FileOverTheLimit",
     [](const TempDir& d) {
         WriteFile(d / "t.ini", SettingsOfSize(platform::kMaxProfileFileSize + 1));
         return d / "t.ini";
     },
     ProfileFile::Unreadable, "default"},
    {"Directory",
     [](const TempDir& d) {
         std::filesystem::create_directory(d / "t.ini");
         return d / "t.ini";
     },
     ProfileFile::Unreadable, "default"},
    {"Fifo",
     [](const TempDir& d) {
         ::mkfifo((d / "t.ini").c_str(), 0600);
         return d / "t.ini";
     },
     ProfileFile::Unreadable, "default"},
    {"Device", [](const TempDir&) { return std::filesystem::path("/dev/null"); },
     ProfileFile::Unreadable, "default"},
    {"DanglingLink",
     [](const TempDir& d) {
         std::filesystem::create_symlink(d / "gone.ini", d / "t.ini");
         return d / "t.ini";
     },
     ProfileFile::Unreadable, "default"},
    {"NoPermission",
     [](const TempDir& d) {
         WriteFile(d / "t.ini", "[s]\nk=v\n");
         ::chmod((d / "t.ini").c_str(), 0);
         ::chmod(d.path().c_str(), 0711);  // the file itself refuses, not the way to it
         return d / "t.ini";
     },
     ProfileFile::Unreadable, "default", true},
};

void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

// Runs `call` and gives up after a few seconds; a reader blocked in the open of a FIFO is let
// go by opening its other end, so that a hang fails the test instead of stopping the run.
template <typename Result>
std::optional<Result> WithinSeconds(const std::filesystem::path& path,
                                    std::function<Result()> call) {
    std::future<Result> done = std::async(std::launch::async, std::move(call));
    if (done.wait_for(std::chrono::seconds(5)) == std::future_status::ready) {
        return done.get();
    }
    const int writer = ::open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (writer >= 0) {
        ::close(writer);
    }
    done.wait();
    return std::nullopt;
}

class ProfilePathTest : public ::testing::TestWithParam<PathCase> {};

// Callers can tell "no file" (the defaults count) from "a file that cannot be read" (they must
// not), and nothing at the name makes the call wait.
TEST_P(ProfilePathTest, SaysWhatItFound) {
    const PathCase& c = GetParam();
    TempDir dir;
    const std::filesystem::path path = c.make(dir);
    auto read = [path] {
        std::vector<char> buffer(64, '#');
        const platform::ProfileString r = platform::GetPrivateProfileStringChecked(
            "s", "k", "default", buffer.data(), static_cast<uint32_t>(buffer.size()), path.c_str());
        return std::make_pair(r.file, std::string(buffer.data()));
    };
    const auto expected = std::make_pair(c.found, std::string(c.value));
    if (c.unprivileged) {
        EXPECT_TRUE(testing_support::CheckUnprivileged([&] { return read() == expected; }));
        return;
    }
    const auto found = WithinSeconds<std::pair<ProfileFile, std::string>>(path, read);
    ASSERT_TRUE(found.has_value()) << "the read waited on what stands at the name";
    EXPECT_EQ(found->first, c.found);
    EXPECT_EQ(found->second, c.value);
    EXPECT_EQ(Read(path, "s", "k").text, c.value) << "the plain call reads the same";
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfilePathTest, ::testing::ValuesIn(kPathCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// The unreadable things in the test's own directory (a write is not tried on a system file).
std::vector<PathCase> UnreadableHere() {
    std::vector<PathCase> cases;
    for (const PathCase& c : kPathCases) {
        if (c.found == ProfileFile::Unreadable && !c.unprivileged &&
            std::string_view(c.name) != "Device") {
            cases.push_back(c);
        }
    }
    return cases;
}

class ProfileUnreadableWriteTest : public ::testing::TestWithParam<PathCase> {};

// What could not be read is never replaced by a write.
TEST_P(ProfileUnreadableWriteTest, LeavesItAsItWas) {
    const PathCase& c = GetParam();
    TempDir dir;
    const std::filesystem::path path = c.make(dir);
    // Only a regular file is read here: a FIFO would hold the test itself.
    auto contentOf = [&path] {
        return std::filesystem::is_regular_file(std::filesystem::symlink_status(path))
                   ? std::optional<std::string>(ReadFile(path))
                   : std::nullopt;
    };
    const auto type = std::filesystem::symlink_status(path).type();
    const std::optional<std::string> content = contentOf();
    const auto wrote = WithinSeconds<bool>(
        path, [path] { return WritePrivateProfileStringA("s", "k", "w", path.c_str()); });
    ASSERT_TRUE(wrote.has_value()) << "the write waited on what stands at the name";
    EXPECT_FALSE(*wrote);
    EXPECT_EQ(std::filesystem::symlink_status(path).type(), type);
    EXPECT_EQ(contentOf(), content);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileUnreadableWriteTest, ::testing::ValuesIn(UnreadableHere()),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

// ---------------------------------------------------------------------------------------------
// Writing

struct WriteCase {
    const char* name;
    std::optional<std::string> before;  // nothing: no file yet
    const char* section;
    const char* key;
    const char* value;
    const char* after;
};

const WriteCase kWriteCases[] = {
    {"NewFile", std::nullopt, "Setting", "Lock", "True", "[Setting]\nLock=True\n"},
    {"NewSectionAppended", "[a]\nx=1\n", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
    {"NewSectionAfterUnterminatedLastLine", "[a]\nx=1", "b", "y", "2", "[a]\nx=1\n[b]\ny=2\n"},
    {"NewKeyAtEndOfItsSection", "[a]\nx=1\n\n[b]\ny=2\n", "a", "z", "3",
     "[a]\nx=1\nz=3\n\n[b]\ny=2\n"},
    {"NewKeyInEmptySection", "[a]\n; about b\n[b]\n", "a", "k", "v", "[a]\nk=v\n; about b\n[b]\n"},
    {"ExistingKeyKeepsPlaceAndSpelling",
     "; comment\r\n[Setting]\r\n  PassWord = old\r\nLock=True\r\nunknown line\r\n", "setting",
     "password", "new",
     "; comment\r\n[Setting]\r\n  PassWord =new\r\nLock=True\r\nunknown line\r\n"},
    {"CrLfStyleKeptForNewLines", "[a]\r\nx=1\r\n", "a", "y", "2", "[a]\r\nx=1\r\ny=2\r\n"},
    {"CrOnlyStyleKept", "[a]\rx=1\r", "b", "y", "2", "[a]\rx=1\r[b]\ry=2\r"},
    {"ByteOrderMarkKept", "\xEF\xBB\xBF[a]\nx=1\n", "a", "x", "2", "\xEF\xBB\xBF[a]\nx=2\n"},
    {"NamesWrittenTrimmed", std::nullopt, " s\t", "  k ", "v", "[s]\nk=v\n"},
    {"EmptyValue", "[s]\nk=old\n", "s", "k", "", "[s]\nk=\n"},
    {"BlankEdgedValueQuoted", std::nullopt, "s", "k", " a ", "[s]\nk=\" a \"\n"},
    {"QuoteLookingValueQuoted", std::nullopt, "s", "k", "'x'", "[s]\nk=\"'x'\"\n"},
    {"PlainValueNotQuoted", std::nullopt, "s", "k", "a \"b\" c", "[s]\nk=a \"b\" c\n"},
    {"DuplicateSectionsOnlyFirstTouched", "[s]\nk=1\n[s]\nk=2\n", "s", "k", "9",
     "[s]\nk=9\n[s]\nk=2\n"},
    {"NullValueDeletesKey", "[s]\na=1\nk=2\nb=3\n", "s", "k", nullptr, "[s]\na=1\nb=3\n"},
    {"NullKeyDeletesSection", "[s]\na=1\n[t]\nb=2\n", "s", nullptr, nullptr, "[t]\nb=2\n"},
};

void PrintTo(const WriteCase& c, std::ostream* os) {
    *os << c.name;
}

class ProfileWriteTest : public ::testing::TestWithParam<WriteCase> {};

TEST_P(ProfileWriteTest, WritesInPlace) {
    const WriteCase& c = GetParam();
    TempDir dir;
    const auto file = dir / "t.ini";
    if (c.before) {
        WriteFile(file, *c.before);
    }
    ASSERT_TRUE(WritePrivateProfileStringA(c.section, c.key, c.value, file.c_str()));
    EXPECT_EQ(ReadFile(file), c.after);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWriteTest, ::testing::ValuesIn(kWriteCases),
                         [](const auto& paramInfo) { return std::string(paramInfo.param.name); });

TEST(ProfileWrite, NewFileIsOwnerOnly) {
    TempDir dir;
    const auto file = dir / "t.ini";
    const mode_t oldMask = ::umask(0);
    const bool ok = WritePrivateProfileStringA("s", "k", "v", file.c_str());
    ::umask(oldMask);
    ASSERT_TRUE(ok);
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

// The file may hold a password: after any write only its owner can read it, whatever it was
// before, also when the value written was there already.
TEST(ProfileWrite, ExistingFileBecomesOwnerOnly) {
    for (const mode_t mode : {0644, 0640, 0666, 0604, 0400, 0755}) {
        for (const char* value : {"changed", "same"}) {
            TempDir dir;
            const auto file = dir / "t.ini";
            WriteFile(file, "[s]\nk=same\n");
            ::chmod(file.c_str(), mode);
            SCOPED_TRACE(testing::Message() << std::oct << mode << " " << value);
            ASSERT_TRUE(WritePrivateProfileStringA("s", "k", value, file.c_str()));
            struct stat st {};
            ASSERT_EQ(::stat(file.c_str(), &st), 0);
            EXPECT_EQ(st.st_mode & 07777, 0600u);
            EXPECT_EQ(ReadFile(file), std::string("[s]\nk=") + value + "\n");
        }
    }
}

TEST(ProfileWrite, WritesThroughALinkAndKeepsIt) {
    TempDir dir;
    WriteFile(dir / "real.ini", "[s]\nk=1\n");
    ::chmod((dir / "real.ini").c_str(), 0644);
    std::filesystem::create_symlink(dir / "real.ini", dir / "link.ini");
    ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "2", (dir / "link.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
    EXPECT_EQ(ReadFile(dir / "real.ini"), "[s]\nk=2\n");
    struct stat st {};
    ASSERT_EQ(::stat((dir / "real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
}

// Names and values that could not be found again, or would break the file's lines, are refused
// and nothing is written.
TEST(ProfileWrite, RefusesLineBreaksAndUnfindableKeys) {
    struct Refused {
        const char* section;
        const char* key;
        const char* value;
    };
    const Refused cases[] = {
        {"s", "k", "a\nb"},  {"s", "k", "a\rb"}, {"s\n", "k", "v"},
        {"s", "k\r\n", "v"}, {"s", "a=b", "v"},  {"s", "; k", "v"},
        {"s", "[k", "v"},    {"s", "  ", "v"},   {nullptr, "k", "v"},
    };
    for (const Refused& c : cases) {
        TempDir dir;
        const auto file = dir / "t.ini";
        WriteFile(file, "[s]\nk=old\n");
        EXPECT_FALSE(WritePrivateProfileStringA(c.section, c.key, c.value, file.c_str()))
            << (c.key ? c.key : "(null)");
        EXPECT_EQ(ReadFile(file), "[s]\nk=old\n");
    }
}

std::vector<std::string> Leftovers(const std::filesystem::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir)) {
        names.push_back(e.path().filename().string());
    }
    return names;
}

TEST(ProfileWrite, MissingDirectoryFails) {
    TempDir dir;
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", (dir / "no/such/t.ini").c_str()));
    EXPECT_TRUE(Leftovers(dir.path()).empty());
}

TEST(ProfileWrite, PathThatIsADirectoryFailsAndStaysADirectory) {
    TempDir dir;
    std::filesystem::create_directory(dir / "t.ini");
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", (dir / "t.ini").c_str()));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "t.ini"));
}

// A write that runs out of room (here a file-size limit, which holds for root as well) fails,
// and the old file is intact with no temporary file left beside it.
TEST(ProfileWrite, FullDiskLeavesOldFileIntact) {
    TempDir dir;
    const auto file = dir / "t.ini";
    const std::string old = "[s]\nk=old\n";
    WriteFile(file, old);
    const std::string big(64 * 1024, 'x');
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        rlimit lim{1024, 1024};
        ::setrlimit(RLIMIT_FSIZE, &lim);
        _exit(WritePrivateProfileStringA("s", "k", big.c_str(), file.c_str()) ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the write should have reported failure";
    EXPECT_EQ(ReadFile(file), old);
    EXPECT_EQ(Leftovers(dir.path()), std::vector<std::string>{"t.ini"});
}

// Read-only file and directory, checked in a child without privileges (root ignores modes).
TEST(ProfileWrite, ReadOnlyDirectoryFailsAndKeepsFile) {
    TempDir dir;
    const auto sub = dir / "ro";
    std::filesystem::create_directory(sub);
    const auto file = sub / "t.ini";
    WriteFile(file, "[s]\nk=old\n");
    ::chmod(file.c_str(), 0644);
    ::chmod(sub.c_str(), 0555);
    ::chmod(dir.path().c_str(), 0755);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0)) {
            _exit(2);
        }
        const bool wrote = WritePrivateProfileStringA("s", "k", "new", file.c_str());
        const bool wroteNew = WritePrivateProfileStringA("s", "k", "new", (sub / "n.ini").c_str());
        _exit(wrote || wroteNew ? 1 : 0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadFile(file), "[s]\nk=old\n");
    EXPECT_FALSE(std::filesystem::exists(sub / "n.ini"));
}

// For every value without a line break, reading after writing returns it unchanged, whatever
// quotes, blanks or INI punctuation it holds; and the key keeps a single line.
TEST(ProfileWrite, EveryValueReadsBackAsWritten) {
    const std::vector<std::string> alphabet = {"a", "Z", "0", " ",  "\t", "\"", "'",    "=", ";",
                                               "[", "]", "#", "\\", "密", "é",  "\x7f", "%"};
    std::mt19937 rng(20261209);
    TempDir dir;
    const auto file = dir / "t.ini";
    WriteFile(file, "; keep me\n[Setting]\nUserName=58263\n\n[Other]\nPassWord=x\n");
    for (int round = 0; round < 2000; ++round) {
        std::string value;
        const int len = static_cast<int>(rng() % 9);
        for (int i = 0; i < len; ++i) {
            value += alphabet[rng() % alphabet.size()];
        }
        ASSERT_TRUE(WritePrivateProfileStringA("Setting", "PassWord", value.c_str(), file.c_str()))
            << value;
        ASSERT_EQ(Read(file, "Setting", "PassWord", "default", 2048).text, value)
            << "value [" << value << "]";
    }
    const std::string content = ReadFile(file);
    EXPECT_EQ(content.rfind("; keep me\n[Setting]\nUserName=58263\nPassWord=", 0), 0u);
    EXPECT_NE(content.find("\n\n[Other]\nPassWord=x\n"), std::string::npos);
    EXPECT_EQ(platform::profile::KeyNames(content, "Setting"),
              (std::vector<std::string>{"UserName", "PassWord"}));
}

}  // namespace
