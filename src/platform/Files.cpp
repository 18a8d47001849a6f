// SPDX-License-Identifier: MIT
#include "platform/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <dirent.h>

#include <cerrno>
#include <cstdlib>
#include <ctime>

namespace platform {
namespace {

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = ::write(fd, data.data(), data.size());
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data.remove_prefix(static_cast<size_t>(n));
    }
    return true;
}

}  // namespace

bool ReplaceAtomically(const std::string& target, std::string_view data, FileMode mode) {
    const size_t slash = target.rfind('/');
    const std::string dir =
        slash == std::string::npos ? "." : target.substr(0, slash == 0 ? 1 : slash);
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    std::string tmpl = dir + "/." + base + ".XXXXXX";
    const int fd = ::mkostemp(tmpl.data(), O_CLOEXEC);  // created with mode 0600
    if (fd < 0) {
        return false;
    }
    // Set outright: the umask may have narrowed even the owner's own rights.
    mode_t bits = S_IRUSR | S_IWUSR;
    struct stat old {};
    if (mode == FileMode::KeepExisting && ::stat(target.c_str(), &old) == 0) {
        bits = old.st_mode & 07777;
    }
    bool ok = ::fchmod(fd, bits) == 0;
    ok = ok && WriteAll(fd, data) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(tmpl.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(tmpl.c_str());
        return false;
    }
    const int dfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dfd >= 0) {
        ::fsync(dfd);
        ::close(dfd);
    }
    return true;
}

bool IsReplacementFileOf(std::string_view name, std::string_view targetName) {
    constexpr std::size_t kRandom = 6;  // mkostemp's XXXXXX
    if (targetName.empty() || name.size() != targetName.size() + 2 + kRandom || name[0] != '.' ||
        name.substr(1, targetName.size()) != targetName || name[targetName.size() + 1] != '.') {
        return false;
    }
    for (const char c : name.substr(targetName.size() + 2)) {
        const bool alnum =
            (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        if (!alnum) {
            return false;
        }
    }
    return true;
}

int RemoveOwnLeftovers(const std::filesystem::path& dir,
                       const std::function<bool(std::string_view)>& leftover,
                       std::chrono::seconds minAge) {
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) {
        return 0;
    }
    const int dfd = ::dirfd(d);
    const std::time_t now = std::time(nullptr);
    int removed = 0;
    while (const dirent* entry = ::readdir(d)) {
        const std::string_view name = entry->d_name;
        if (!leftover(name)) {
            continue;
        }
        struct stat st {};
        if (::fstatat(dfd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(st.st_mode) ||
            st.st_uid != ::geteuid() ||
            now - st.st_mtime < static_cast<std::time_t>(minAge.count())) {
            continue;
        }
        if (::unlinkat(dfd, entry->d_name, 0) == 0) {
            ++removed;
        }
    }
    ::closedir(d);
    return removed;
}

bool EnsurePrivateDirectory(const std::filesystem::path& dir) {
    if (dir.empty()) {
        return false;
    }
    std::filesystem::path prefix;
    for (const std::filesystem::path& part : dir) {
        prefix /= part;
        if (part.empty()) {
            continue;  // what a trailing separator leaves
        }
        struct stat st {};
        if (::stat(prefix.c_str(), &st) == 0) {
            if (!S_ISDIR(st.st_mode)) {
                return false;
            }
            continue;  // a directory on the way that is there already is not ours to change
        }
        if (errno != ENOENT || (::mkdir(prefix.c_str(), 0700) != 0 && errno != EEXIST)) {
            return false;
        }
        if (::chmod(prefix.c_str(), 0700) != 0) {
            return false;  // the umask may have taken the owner's own rights
        }
    }
    struct stat st {};
    if (::stat(dir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
        return false;
    }
    return (st.st_mode & 07777) == 0700 || ::chmod(dir.c_str(), 0700) == 0;
}

}  // namespace platform
