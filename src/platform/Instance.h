// SPDX-License-Identifier: MIT
// One running program per user: a lock file says whether one runs, a local socket beside it
// lets a later start ask that one to come to the front.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>

namespace platform {

// Whether `dir` is a real directory (not a link) of the effective user that nobody else may
// enter, read or write.
bool IsPrivateDirectory(const std::filesystem::path& dir);

// Where the lock and the socket live: `runtimeDir` when it is set, absolute and private;
// otherwise "loomhaven-<uid>" under `fallbackParent`, made (or narrowed to) owner-only. Nothing
// when neither is fit, for example when someone else owns the fallback.
std::optional<std::filesystem::path> InstanceDirectory(const char* runtimeDir,
                                                       const std::filesystem::path& fallbackParent);

enum class LockState {
    Taken,     // this process holds it now
    Held,      // a live process holds it
    Unusable,  // it cannot be made or locked at all
};

// An advisory lock on a file of our own. The kernel lets go of it when the holder dies, so a
// file left by a crashed run locks nothing.
class LockFile {
  public:
    explicit LockFile(std::filesystem::path path) : m_path(std::move(path)) {}
    ~LockFile();
    LockFile(const LockFile&) = delete;
    LockFile& operator=(const LockFile&) = delete;

    // Takes the lock without waiting. Anything at the path that is not a regular file of ours
    // (a link, a directory, another user's file) is removed and made anew first.
    LockState Take();
    bool Holding() const { return m_fd >= 0; }

  private:
    int Open();

    std::filesystem::path m_path;
    int m_fd = -1;
};

// What the instance rule works with: the lock, and the socket to the instance that holds it.
class IInstancePeer {
  public:
    virtual ~IInstancePeer() = default;
    virtual LockState TakeLock() = 0;
    // Asks the running instance to come to the front; true once it has said it will.
    virtual bool CallFirst() = 0;
    // Serves the socket for later starts (whatever stood at its path goes); false when it
    // cannot.
    virtual bool Listen() = 0;
    // A short wait before the next attempt, while a first instance may still be starting.
    virtual void Pause() = 0;
};

enum class InstanceRole {
    First,   // run the program
    Second,  // another instance runs and has been told to come to the front: exit
};

struct InstanceDecision {
    InstanceRole role;
    bool listening;  // a first instance whose socket later starts can reach
};

// First when the lock is ours (a stale one included) or cannot be had at all, Second when
// the holder answers. A holder that stays mute through every attempt does not keep the
// program from starting.
InstanceDecision DecideInstance(IInstancePeer& peer, int attempts = 10);

}  // namespace platform
