// SPDX-License-Identifier: MIT
#include "platform/Instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace platform {

bool IsPrivateDirectory(const std::filesystem::path& dir) {
    struct stat st {};
    return ::lstat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & 077) == 0;
}

std::optional<std::filesystem::path> InstanceDirectory(
    const char* runtimeDir, const std::filesystem::path& fallbackParent) {
    if (runtimeDir != nullptr && runtimeDir[0] == '/' && IsPrivateDirectory(runtimeDir)) {
        return std::filesystem::path(runtimeDir);
    }
    const std::filesystem::path own = fallbackParent / ("loomhaven-" + std::to_string(::geteuid()));
    if (::mkdir(own.c_str(), 0700) != 0 && errno != EEXIST) {
        return std::nullopt;
    }
    struct stat st {};
    if (::lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid()) {
        return std::nullopt;  // a link, a file, or somebody else's directory
    }
    if ((st.st_mode & 077) != 0 && ::chmod(own.c_str(), 0700) != 0) {
        return std::nullopt;
    }
    return own;
}

LockFile::~LockFile() {
    if (m_fd >= 0) {
        ::close(m_fd);  // lets go of the lock; the file stays for the next start
    }
}

int LockFile::Open() {
    int fd = -1;
    do {
        fd = ::open(m_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return -1;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

LockState LockFile::Take() {
    if (m_fd >= 0) {
        return LockState::Taken;
    }
    int fd = Open();
    if (fd < 0) {
        // Not a file of ours: our instances never lock such a thing, so it goes.
        std::error_code ec;
        std::filesystem::remove(m_path, ec);
        fd = Open();
    }
    if (fd < 0) {
        return LockState::Unusable;
    }
    int rc = 0;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool held = errno == EWOULDBLOCK;
        ::close(fd);
        return held ? LockState::Held : LockState::Unusable;
    }
    m_fd = fd;
    return LockState::Taken;
}

InstanceDecision DecideInstance(IInstancePeer& peer, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        if (attempt > 0) {
            peer.Pause();
        }
        switch (peer.TakeLock()) {
            case LockState::Taken:
                return {InstanceRole::First, peer.Listen()};
            case LockState::Unusable:
                return {InstanceRole::First, false};
            case LockState::Held:
                if (peer.CallFirst()) {
                    return {InstanceRole::Second, false};
                }
                break;  // still starting, or going: ask again
        }
    }
    return {InstanceRole::First, false};
}

}  // namespace platform
