// SPDX-License-Identifier: MIT
#include "platform/Kernel.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace platform {
namespace {

constexpr std::uint32_t kLastNumber = 0xFFFF;

std::string TempName(const std::string& dir, const std::string& prefix, std::uint32_t number) {
    char hex[16];
    std::snprintf(hex, sizeof hex, "%X", number);
    std::string name = dir;
    if (!name.empty() && name.back() != '/') {
        name += '/';
    }
    return name + prefix + hex + ".TMP";
}

bool CopyOut(const std::string& text, char* buffer, std::size_t capacity) {
    if (text.size() + 1 > capacity) {
        return false;
    }
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// The search for a free number goes on from the number handed out last, so a name found taken
// after GetTempFileNameA is not offered again next time; the first search of a process starts
// somewhere different each time.
std::uint32_t& NextNumber() {
    static std::uint32_t next = [] {
        const auto now =
            static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
        const auto mixed = static_cast<std::uint32_t>(now ^ (now >> 17) ^ (now >> 35)) +
                           static_cast<std::uint32_t>(::getpid()) * 2654435761u;
        return mixed % kLastNumber + 1;
    }();
    return next;
}

}  // namespace

std::uint32_t GetTempPathA(std::uint32_t bufferLength, char* buffer) {
    const char* env = std::getenv("TMPDIR");
    std::string dir = env != nullptr && env[0] == '/' ? env : "/tmp";
    if (dir.back() != '/') {
        dir += '/';
    }
    const auto needed = static_cast<std::uint32_t>(dir.size() + 1);
    if (buffer == nullptr || bufferLength < needed) {
        return needed;
    }
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return needed - 1;
}

std::uint32_t GetTempFileNameA(const char* pathName, const char* prefixString, std::uint32_t unique,
                               char* tempFileName) {
    if (pathName == nullptr || tempFileName == nullptr) {
        return 0;
    }
    const std::string dir = pathName;
    const std::string prefix =
        prefixString != nullptr ? std::string(prefixString).substr(0, 3) : std::string();
    if (unique != 0) {
        const std::uint32_t number = unique & kLastNumber;
        return CopyOut(TempName(dir, prefix, number), tempFileName, MAX_PATH) ? number : 0;
    }
    const std::uint32_t start = NextNumber();
    for (std::uint32_t n = 0; n < kLastNumber; ++n) {
        const std::uint32_t number = (start - 1 + n) % kLastNumber + 1;
        const std::string name = TempName(dir, prefix, number);
        if (name.size() + 1 > MAX_PATH) {
            return 0;
        }
        NewFile file(name);
        if (file.IsOpen()) {
            file.Close();
            CopyOut(name, tempFileName, MAX_PATH);
            NextNumber() = number % kLastNumber + 1;
            return number;
        }
        if (file.Error() != EEXIST) {
            return 0;  // the directory is missing, read-only or not a directory
        }
    }
    return 0;
}

bool DeleteFileA(const char* fileName) {
    return fileName != nullptr && ::unlink(fileName) == 0;
}

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

NewFile::NewFile(const std::string& path) {
    do {
        m_fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
    } while (m_fd < 0 && errno == EINTR);
    m_error = m_fd < 0 ? errno : 0;
}

NewFile::~NewFile() {
    Close();
}

NewFile::NewFile(NewFile&& other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_error(other.m_error) {}

NewFile& NewFile::operator=(NewFile&& other) noexcept {
    if (this != &other) {
        Close();
        m_fd = std::exchange(other.m_fd, -1);
        m_error = other.m_error;
    }
    return *this;
}

bool NewFile::Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (m_fd >= 0 && size > 0) {
        const ssize_t n = ::write(m_fd, bytes, size);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return m_fd >= 0;
}

bool NewFile::Close() {
    if (m_fd < 0) {
        return false;
    }
    const int rc = ::close(std::exchange(m_fd, -1));
    return rc == 0;
}

}  // namespace platform
