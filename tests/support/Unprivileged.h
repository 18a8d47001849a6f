// SPDX-License-Identifier: MIT
// Running a check where file modes count: root reads every file whatever its mode, so as root
// the check runs in a child process that has become nobody first.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace testing_support {

inline constexpr uid_t kNobody = 65534;

// The check's answer, computed in a child without root's privileges; false when the child
// could not give them up or did not finish. The check must not use gtest assertions (they
// would not reach the parent); it answers with its result.
inline bool CheckUnprivileged(const std::function<bool()>& check) {
    const pid_t pid = ::fork();
    if (pid < 0) {
        return false;
    }
    if (pid == 0) {
        if (::geteuid() == 0 && (::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)) {
            _exit(2);
        }
        _exit(check() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid) {
        return false;
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace testing_support
