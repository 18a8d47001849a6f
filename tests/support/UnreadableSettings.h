// SPDX-License-Identifier: MIT
// The kinds of thing at the settings file's name that are there but cannot be read as a
// settings file, made for a test.
#pragma once

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "TempDir.h"

namespace testing_support {

enum class Unreadable { Directory, Fifo, Oversized, NoPermission };

struct UnreadableCase {
    const char* name;
    Unreadable kind;
};

inline constexpr UnreadableCase kUnreadableCases[] = {
    {"Directory", Unreadable::Directory},
    {"Fifo", Unreadable::Fifo},
    {"Oversized", Unreadable::Oversized},
    {"NoPermission", Unreadable::NoPermission},
};

inline void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

// Puts `kind` at `file`, whose directory is made if missing. The oversized file and the one
// without permission hold the default pair, so a reader that takes them anyway lets it in.
// Without permission the file is still readable by root: read it through CheckUnprivileged.
inline void MakeUnreadable(Unreadable kind, const std::filesystem::path& file) {
    std::filesystem::create_directories(file.parent_path());
    std::filesystem::remove_all(file);
    const std::string pair = "[Setting]\nUserName=58263\nPassWord=58263\n";
    switch (kind) {
        case Unreadable::Directory:
            std::filesystem::create_directory(file);
            break;
        case Unreadable::Fifo:
            ::mkfifo(file.c_str(), 0600);
            break;
        case Unreadable::Oversized:
            WriteFile(file, pair + ";" + std::string((1 << 20) - pair.size(), '-') + "\n");
            break;
        case Unreadable::NoPermission:
            WriteFile(file, pair);
            ::chmod(file.c_str(), 0);
            // Every directory above may be passed through, so that the file itself refuses.
            for (std::filesystem::path p = file.parent_path(); p != p.root_path();
                 p = p.parent_path()) {
                struct stat st {};
                if (::stat(p.c_str(), &st) == 0 && (st.st_mode & S_IXOTH) == 0) {
                    ::chmod(p.c_str(), (st.st_mode & 07777) | S_IXUSR | S_IXGRP | S_IXOTH);
                }
            }
            break;
    }
}

// What stands at `file`, to compare afterwards: the bytes of a regular file, or else only its
// kind (a FIFO is never opened).
inline std::string Snapshot(const std::filesystem::path& file) {
    const std::filesystem::file_status st = std::filesystem::symlink_status(file);
    if (std::filesystem::is_regular_file(st)) {
        return "file:" + ReadFile(file);
    }
    return "type:" + std::to_string(static_cast<int>(st.type()));
}

// Ends the test program when a test runs far longer than it can: a read that waits on a FIFO
// would otherwise hold the whole run.
class Watchdog {
  public:
    explicit Watchdog(unsigned seconds) { ::alarm(seconds); }
    ~Watchdog() { ::alarm(0); }
    Watchdog(const Watchdog&) = delete;
    Watchdog& operator=(const Watchdog&) = delete;
};

}  // namespace testing_support
