#include "platform/posix/child_process.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <thread>

extern char** environ;

namespace {

// Children let go while they ran on; collected on later starts so that none stays a zombie.
std::vector<pid_t>& LingeringChildren() {
    static std::vector<pid_t> children;
    return children;
}

void ReapLingeringChildren() {
    auto& list = LingeringChildren();
    for (size_t i = 0; i < list.size();) {
        int status = 0;
        if (waitpid(list[i], &status, WNOHANG) != 0)
            list.erase(list.begin() + long(i));
        else
            ++i;
    }
}

} // namespace

ChildProcess::~ChildProcess() {
    Terminate();
}

bool ChildProcess::Start(const std::vector<std::string>& argv, ChildOutput where) {
    ReapLingeringChildren();
    if (pid > 0 || argv.empty() || argv[0].empty()) return false;
    int fds[2] = {-1, -1};
    if (where == ChildOutput::Pipe && pipe2(fds, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (where == ChildOutput::Pipe)
        posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes,
                             POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    posix_spawnattr_setpgroup(&attributes, 0);
    // The host may block or ignore signals; the dialog should start with the defaults.
    sigset_t none, all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_t child = -1;
    const int rc = posix_spawnp(&child, args[0], &actions, &attributes, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    if (fds[1] >= 0) close(fds[1]);
    if (rc != 0) {
        if (fds[0] >= 0) close(fds[0]);
        return false;
    }
    if (fds[0] >= 0) fcntl(fds[0], F_SETFL, fcntl(fds[0], F_GETFL) | O_NONBLOCK);
    pid = child;
    outFd = fds[0];
#ifdef SYS_pidfd_open
    // The child is ours and not yet collected, so the number cannot name another process.
    exitFd = int(syscall(SYS_pidfd_open, child, 0));
    if (exitFd >= 0) fcntl(exitFd, F_SETFD, FD_CLOEXEC);
#endif
    ended = signalled = false;
    exitCode = -1;
    output.clear();
    return true;
}

void ChildProcess::CloseOutput() {
    if (outFd >= 0) close(outFd);
    outFd = -1;
}

void ChildProcess::CloseExitFd() {
    if (exitFd >= 0) close(exitFd);
    exitFd = -1;
}

bool ChildProcess::ReadAvailable() {
    if (outFd < 0) return true;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(outFd, buffer, sizeof buffer);
        if (n > 0) {
            // A program that floods the pipe is drained but not kept.
            const size_t room = kMaxOutput - std::min(kMaxOutput, output.size());
            output.append(buffer, std::min(size_t(n), room));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) return false;
        CloseOutput();
        return true;
    }
}

bool ChildProcess::Reap() {
    if (ended) return true;
    if (pid <= 0) return false;
    int status = 0;
    pid_t done;
    while ((done = waitpid(pid, &status, WNOHANG)) < 0 && errno == EINTR) {
    }
    if (done == 0) return false;
    ended = true;
    if (done == pid && WIFEXITED(status)) {
        exitCode = WEXITSTATUS(status);
    } else {
        signalled = true;
        exitCode = -1;
    }
    return true;
}

void ChildProcess::Terminate() {
    if (pid > 0 && !ended) {
        kill(-pid, SIGTERM);
        // A dialog goes at once; one that does not within a fifth of a second is forced.
        for (int i = 0; i < 20 && !Reap(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (!Reap()) {
            kill(-pid, SIGKILL);
            int status = 0;
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            ended = signalled = true;
        }
        // Whatever the dialog started is not to linger after it. (A program that ended by itself
        // keeps its group: xdg-open leaves the browser it started running.)
        kill(-pid, SIGKILL);
    }
    CloseOutput();
    CloseExitFd();
    pid = -1;
}

void ChildProcess::LetGo() {
    if (pid > 0 && !ended && !Reap()) LingeringChildren().push_back(pid);
    CloseOutput();
    CloseExitFd();
    pid = -1;
}

CommandOutcome RunCommand(const std::vector<std::string>& argv) {
    CommandOutcome outcome;
    ChildProcess child;
    if (!child.Start(argv)) return outcome;
    outcome.started = true;
    while (!child.ReadAvailable()) {
        pollfd p{child.OutputFd(), POLLIN, 0};
        poll(&p, 1, -1);
    }
    // The output is closed: the program is ending (or handed its output on).
    while (!child.Reap()) {
        pollfd none{-1, 0, 0};
        poll(&none, 0, 5);
    }
    outcome.exitCode = child.ExitCode();
    outcome.output = child.Output();
    return outcome;
}

std::string FindOnPath(const char* program) {
    if (!program || !*program) return {};
    const char* path = std::getenv("PATH");
    if (!path) return {};
    const std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos) end = all.size();
        // An empty entry means the current folder.
        std::string candidate = end > start ? all.substr(start, end - start) : std::string(".");
        candidate.push_back('/');
        candidate.append(program);
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

int RunBriefly(const std::vector<std::string>& argv, int waitMs) {
    ChildProcess child;
    if (!child.Start(argv, ChildOutput::Discard)) return kNotStarted;
    for (int waited = 0; waited <= waitMs; waited += 10) {
        if (child.Reap()) return child.ExitCode();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    child.LetGo();
    return kStillRunning;
}
