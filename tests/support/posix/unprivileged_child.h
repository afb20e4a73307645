#pragma once

#include "support/posix/child_report.h"

#include <grp.h>
#include <unistd.h>

#include <functional>
#include <optional>
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
    const std::optional<std::string> report = RunInChild([&]() -> std::string {
        // A refused drop leaves root, for whom the body would prove nothing.
        if (geteuid() == 0 && (setgroups(0, nullptr) != 0 || setresgid(kNobody, kNobody, kNobody) != 0 ||
                               setresuid(kNobody, kNobody, kNobody) != 0))
            return "S";
        return "R" + body();
    });
    UnprivilegedRun run;
    if (!report || report->empty()) return run;
    run.outcome = (*report)[0] == 'S' ? UnprivilegedRun::CannotDropPrivileges : UnprivilegedRun::Ran;
    run.report = report->substr(1);
    return run;
}

#define SKIP_UNLESS_UNPRIVILEGED(run)                                                                   \
    if ((run).outcome == UnprivilegedRun::CannotDropPrivileges)                                         \
    GTEST_SKIP() << "cannot run a child as an unprivileged user (setresuid to 65534 refused), and root " \
                    "ignores file modes"
