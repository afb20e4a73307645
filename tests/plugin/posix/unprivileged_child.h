#pragma once

#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

// Root may read and write whatever the file modes say, so a test of a protected file or folder
// runs its body in a forked child as the unprivileged user "nobody" (65534). The body's report
// string comes back by a pipe. Files the child is to own need chown(…, kNobody, kNobody) first.
inline constexpr uid_t kNobody = 65534;

struct UnprivilegedRun {
    enum Outcome { Ran, CannotDropPrivileges, Crashed } outcome = Crashed;
    std::string report;
};

inline UnprivilegedRun RunUnprivileged(const std::function<std::string()>& body) {
    UnprivilegedRun run;
    int fds[2];
    if (pipe(fds) != 0) return run;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        std::string report = "R";
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                               setresuid(kNobody, kNobody, kNobody) != 0))
            report = "S";
        else if (geteuid() == 0)
            report = "S";
        else
            report += body();
        const ssize_t written = write(fds[1], report.data(), report.size());
        // No exit handlers: the parent's test framework and sanitizers stay the parent's.
        _exit(written == static_cast<ssize_t>(report.size()) ? 0 : 1);
    }
    close(fds[1]);
    std::string report;
    char buffer[512];
    for (ssize_t n; child > 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;)
        report.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        report.empty())
        return run;
    run.outcome = report[0] == 'S' ? UnprivilegedRun::CannotDropPrivileges : UnprivilegedRun::Ran;
    run.report = report.substr(1);
    return run;
}

#define SKIP_UNLESS_UNPRIVILEGED(run)                                                                   \
    if ((run).outcome == UnprivilegedRun::CannotDropPrivileges)                                         \
    GTEST_SKIP() << "cannot run a child as an unprivileged user (setresuid to 65534 refused), and root " \
                    "ignores file modes"
