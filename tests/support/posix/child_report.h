#pragma once

#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <optional>
#include <string>

// Runs `body` in a forked child and hands back the text it returns, by a pipe. Nothing when the
// child could not be made, crashed, or did not deliver its whole report. Tests use it for what must
// not happen in their own process: a lowered file size limit, a dropped privilege.
inline std::optional<std::string> RunInChild(const std::function<std::string()>& body) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    const pid_t child = fork();
    if (child == 0) {
        close(fds[0]);
        const std::string report = body();
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
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        return std::nullopt;
    return report;
}
