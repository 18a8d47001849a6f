// SPDX-License-Identifier: MIT
#include "platform/Instance.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "TempDir.h"
#include "Unprivileged.h"

namespace {

using platform::InstanceRole;
using platform::LockState;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

// ---------------------------------------------------------------------------------------------
// The rule, with a scripted lock and peer

// Answers each TakeLock and CallFirst with the next scripted value (the last one repeats) and
// counts what the rule asked for.
class ScriptedPeer final : public platform::IInstancePeer {
  public:
    ScriptedPeer(std::vector<LockState> locks, std::vector<bool> answers, bool canListen)
        : m_locks(locks.begin(), locks.end()),
          m_answers(answers.begin(), answers.end()),
          m_canListen(canListen) {}

    LockState TakeLock() override { return Next(m_locks); }
    bool CallFirst() override {
        ++calls;
        return m_answers.empty() ? false : Next(m_answers);
    }
    bool Listen() override {
        ++listens;
        return m_canListen;
    }
    void Pause() override { ++pauses; }

    int calls = 0;
    int listens = 0;
    int pauses = 0;

  private:
    template <typename T>
    static T Next(std::deque<T>& script) {
        const T value = script.front();
        if (script.size() > 1) {
            script.pop_front();
        }
        return value;
    }

    std::deque<LockState> m_locks;
    std::deque<bool> m_answers;
    bool m_canListen;
};

struct RuleCase {
    const char* name;
    std::vector<LockState> locks;
    std::vector<bool> answers;
    bool canListen;
    InstanceRole role;
    bool listening;
    int calls;
    int listens;
};

void PrintTo(const RuleCase& c, std::ostream* os) {
    *os << c.name;
}

class InstanceRuleTest : public ::testing::TestWithParam<RuleCase> {};

TEST_P(InstanceRuleTest, DecidesWhoRuns) {
    const RuleCase& c = GetParam();
    ScriptedPeer peer(c.locks, c.answers, c.canListen);
    const platform::InstanceDecision decision = platform::DecideInstance(peer, 5);
    EXPECT_EQ(decision.role, c.role);
    EXPECT_EQ(decision.listening, c.listening);
    EXPECT_EQ(peer.calls, c.calls);
    EXPECT_EQ(peer.listens, c.listens);
}

constexpr LockState T = LockState::Taken;
constexpr LockState H = LockState::Held;
constexpr LockState U = LockState::Unusable;

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceRuleTest,
    ::testing::Values(
        // The lock is free (never made, or left by a crashed run): run, and serve later starts.
        RuleCase{"first", {T}, {}, true, InstanceRole::First, true, 0, 1},
        RuleCase{"first without a socket", {T}, {}, false, InstanceRole::First, false, 0, 1},
        // Someone runs and answers: leave at once, never serving a socket of our own.
        RuleCase{"second", {H}, {true}, true, InstanceRole::Second, false, 1, 0},
        RuleCase{"second while the first is still starting",
                 {H, H, H},
                 {false, false, true},
                 true,
                 InstanceRole::Second,
                 false,
                 3,
                 0},
        // The holder ends while we ask: the lock becomes ours.
        RuleCase{"holder going away", {H, T}, {false}, true, InstanceRole::First, true, 1, 1},
        // A holder that never answers does not keep the program from starting.
        RuleCase{"mute holder", {H}, {false}, true, InstanceRole::First, false, 5, 0},
        RuleCase{"no lock possible", {U}, {}, true, InstanceRole::First, false, 0, 0}));

TEST(InstanceRule, PausesOnlyBetweenAttempts) {
    ScriptedPeer peer({H}, {false}, true);
    platform::DecideInstance(peer, 4);
    EXPECT_EQ(peer.pauses, 3);
    ScriptedPeer first({T}, {}, true);
    platform::DecideInstance(first, 4);
    EXPECT_EQ(first.pauses, 0);
}

// ---------------------------------------------------------------------------------------------
// The lock file

TEST(LockFile, OneHolderAtATimeAndFreeOnceTheHolderIsGone) {
    TempDir dir;
    auto holder = std::make_unique<platform::LockFile>(dir / "loomhaven.lock");
    ASSERT_EQ(holder->Take(), LockState::Taken);
    platform::LockFile other(dir / "loomhaven.lock");
    EXPECT_EQ(other.Take(), LockState::Held);
    EXPECT_FALSE(other.Holding());
    holder.reset();  // as a crash would: the kernel lets go, the file stays
    EXPECT_TRUE(std::filesystem::exists(dir / "loomhaven.lock"));
    EXPECT_EQ(other.Take(), LockState::Taken);
}

TEST(LockFile, TheLockHoldsAgainstAnotherProcess) {
    TempDir dir;
    platform::LockFile holder(dir / "loomhaven.lock");
    ASSERT_EQ(holder.Take(), LockState::Taken);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        platform::LockFile child(dir / "loomhaven.lock");
        _exit(child.Take() == LockState::Held ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

// What may stand at the lock's path before the first start.
struct LeftoverCase {
    const char* name;
    void (*plant)(const TempDir& dir);
    LockState expected;
};

void PrintTo(const LeftoverCase& c, std::ostream* os) {
    *os << c.name;
}

class LockFileLeftoverTest : public ::testing::TestWithParam<LeftoverCase> {};

TEST_P(LockFileLeftoverTest, NeverKeepsTheFirstStartOut) {
    const LeftoverCase& c = GetParam();
    TempDir dir;
    std::filesystem::create_directory(dir / "elsewhere");
    WriteFile(dir / "elsewhere" / "target", "keep me");
    c.plant(dir);
    platform::LockFile lock(dir / "loomhaven.lock");
    EXPECT_EQ(lock.Take(), c.expected);
    // Nothing is ever written through a link.
    EXPECT_EQ(ReadFile(dir / "elsewhere" / "target"), "keep me");
    if (c.expected == LockState::Taken) {
        struct stat st {};
        ASSERT_EQ(::lstat((dir / "loomhaven.lock").c_str(), &st), 0);
        EXPECT_TRUE(S_ISREG(st.st_mode));
        EXPECT_EQ(st.st_uid, ::geteuid());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LockFileLeftoverTest,
    ::testing::Values(LeftoverCase{"nothing", [](const TempDir&) {}, LockState::Taken},
                      LeftoverCase{
                          "a crashed run's file with its pid",
                          [](const TempDir& d) { WriteFile(d / "loomhaven.lock", "12345\n"); },
                          LockState::Taken},
                      LeftoverCase{"a link to another file",
                                   [](const TempDir& d) {
                                       std::filesystem::create_symlink(d / "elsewhere" / "target",
                                                                       d / "loomhaven.lock");
                                   },
                                   LockState::Taken},
                      LeftoverCase{"a dangling link",
                                   [](const TempDir& d) {
                                       std::filesystem::create_symlink(d / "nowhere",
                                                                       d / "loomhaven.lock");
                                   },
                                   LockState::Taken},
                      LeftoverCase{"an empty directory",
                                   [](const TempDir& d) {
                                       std::filesystem::create_directory(d / "loomhaven.lock");
                                   },
                                   LockState::Taken},
                      LeftoverCase{"a directory with files in it",
                                   [](const TempDir& d) {
                                       std::filesystem::create_directory(d / "loomhaven.lock");
                                       WriteFile(d / "loomhaven.lock" / "x", "x");
                                   },
                                   LockState::Unusable}));

TEST(LockFile, AnotherUsersFileIsReplaced) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant another user's file";
    }
    TempDir dir;
    WriteFile(dir / "loomhaven.lock", "");
    ASSERT_EQ(::chown((dir / "loomhaven.lock").c_str(), testing_support::kNobody,
                      testing_support::kNobody),
              0);
    platform::LockFile lock(dir / "loomhaven.lock");
    EXPECT_EQ(lock.Take(), LockState::Taken);
    struct stat st {};
    ASSERT_EQ(::stat((dir / "loomhaven.lock").c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 0u);
}

// ---------------------------------------------------------------------------------------------
// Where the lock lives

mode_t ModeOf(const std::filesystem::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? (st.st_mode & 07777) : 07777;
}

std::filesystem::path Fallback(const TempDir& dir) {
    return dir / "tmp" / ("loomhaven-" + std::to_string(::geteuid()));
}

struct DirectoryCase {
    const char* name;
    // Prepares the directories and returns what XDG_RUNTIME_DIR says ("" for unset).
    std::string (*plant)(const TempDir& dir);
    enum { Runtime, FallbackDir, None } expected;
};

void PrintTo(const DirectoryCase& c, std::ostream* os) {
    *os << c.name;
}

class InstanceDirectoryTest : public ::testing::TestWithParam<DirectoryCase> {};

TEST_P(InstanceDirectoryTest, IsAlwaysPrivate) {
    const DirectoryCase& c = GetParam();
    TempDir dir;
    std::filesystem::create_directory(dir / "tmp");
    const std::string runtime = c.plant(dir);
    const auto found =
        platform::InstanceDirectory(runtime.empty() ? nullptr : runtime.c_str(), dir / "tmp");
    switch (c.expected) {
        case DirectoryCase::Runtime:
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(*found, std::filesystem::path(runtime));
            break;
        case DirectoryCase::FallbackDir:
            ASSERT_TRUE(found.has_value());
            EXPECT_EQ(*found, Fallback(dir));
            EXPECT_EQ(ModeOf(*found), 0700u);
            break;
        case DirectoryCase::None:
            EXPECT_FALSE(found.has_value());
            break;
    }
    if (found) {
        EXPECT_TRUE(platform::IsPrivateDirectory(*found));
    }
}

std::string MakeRuntime(const TempDir& d, mode_t mode) {
    std::filesystem::create_directory(d / "run");
    ::chmod((d / "run").c_str(), mode);
    return (d / "run").string();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstanceDirectoryTest,
    ::testing::Values(
        DirectoryCase{"a private runtime directory",
                      [](const TempDir& d) { return MakeRuntime(d, 0700); },
                      DirectoryCase::Runtime},
        DirectoryCase{"no runtime directory", [](const TempDir&) { return std::string(); },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"a relative runtime directory",
                      [](const TempDir&) { return std::string("run"); },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"a runtime directory others may enter",
                      [](const TempDir& d) { return MakeRuntime(d, 0755); },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"a runtime directory others may write",
                      [](const TempDir& d) { return MakeRuntime(d, 0777); },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"a runtime directory that is a link",
                      [](const TempDir& d) {
                          MakeRuntime(d, 0700);
                          std::filesystem::create_directory_symlink(d / "run", d / "link");
                          return (d / "link").string();
                      },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"a runtime directory that is missing",
                      [](const TempDir& d) { return (d / "gone").string(); },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"our own fallback left open is narrowed",
                      [](const TempDir& d) {
                          std::filesystem::create_directory(Fallback(d));
                          ::chmod(Fallback(d).c_str(), 0777);
                          return std::string();
                      },
                      DirectoryCase::FallbackDir},
        DirectoryCase{"a file where the fallback goes",
                      [](const TempDir& d) {
                          WriteFile(Fallback(d), "");
                          return std::string();
                      },
                      DirectoryCase::None},
        DirectoryCase{"a link where the fallback goes",
                      [](const TempDir& d) {
                          std::filesystem::create_directory(d / "other");
                          std::filesystem::create_directory_symlink(d / "other", Fallback(d));
                          return std::string();
                      },
                      DirectoryCase::None}));

TEST(InstanceDirectory, RefusesDirectoriesOfAnotherUser) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root to plant another user's directories";
    }
    TempDir dir;
    std::filesystem::create_directory(dir / "tmp");
    const std::string runtime = MakeRuntime(dir, 0700);
    ASSERT_EQ(::chown(runtime.c_str(), testing_support::kNobody, testing_support::kNobody), 0);
    // Another user's runtime directory sends us to the fallback ...
    EXPECT_EQ(platform::InstanceDirectory(runtime.c_str(), dir / "tmp"), Fallback(dir));
    // ... and a fallback squatted by another user is not used at all.
    std::filesystem::remove(Fallback(dir));
    std::filesystem::create_directory(Fallback(dir));
    ASSERT_EQ(::chown(Fallback(dir).c_str(), testing_support::kNobody, testing_support::kNobody),
              0);
    EXPECT_FALSE(platform::InstanceDirectory(runtime.c_str(), dir / "tmp").has_value());
}

}  // namespace
