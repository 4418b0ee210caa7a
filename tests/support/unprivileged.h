// Runs a check as a user that file permissions apply to: in a child process that gives up root (for nobody,
// 65534) when the tests run as root, else right here. POSIX only.
#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>

namespace bdlogic::test {

inline bool RunUnprivileged(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(3);
        ::_exit(check() ? 0 : 1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace bdlogic::test
