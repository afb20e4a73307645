#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

// A program run beside the caller: standard input from /dev/null, standard output into a pipe the
// caller reads without blocking (or to /dev/null), standard error to /dev/null (a dialog program's
// warnings are no business of the host's log). It runs in its own process group, so that ending it
// also ends whatever it started.
enum class ChildOutput { Pipe, Discard };

class ChildProcess {
  public:
    ChildProcess() = default;
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // A child still running is ended and collected.
    ~ChildProcess();

    // argv[0] is looked up on PATH. False when it cannot be started.
    bool Start(const std::vector<std::string>& argv, ChildOutput output = ChildOutput::Pipe);
    // The read end of the output pipe while it is open, else -1.
    int OutputFd() const { return outFd; }
    // A descriptor that turns readable when the child ends (so a run loop can watch for it), or -1
    // where the system offers none: then only Reap tells.
    int ExitFd() const { return exitFd; }
    // Takes what the pipe holds now (at most kMaxOutput bytes are kept); true once it is closed.
    bool ReadAvailable();
    // Collects the child if it has ended, without waiting; true once it has.
    bool Reap();
    // Ends the child (and its group): asked first, forced when it does not go at once. Collected
    // before returning.
    void Terminate();
    // Stops watching a child that is to run on (what it opened stays open): it is not ended, and is
    // collected by a later Start so that it never stays a zombie.
    void LetGo();

    bool Running() const { return pid > 0 && !ended; }
    bool Ended() const { return ended; }
    // Exit code, or -1 when it was ended by a signal.
    int ExitCode() const { return exitCode; }
    bool Signalled() const { return signalled; }
    const std::string& Output() const { return output; }

    static constexpr size_t kMaxOutput = 64 * 1024;

  private:
    void CloseOutput();
    void CloseExitFd();

    pid_t pid = -1;
    int outFd = -1;
    int exitFd = -1;
    bool ended = false;
    bool signalled = false;
    int exitCode = -1;
    std::string output;
};

// Runs a program to its end and returns what it printed; for callers that may wait (the
// command-line tool, tests). started is false when it could not be run.
struct CommandOutcome {
    bool started = false;
    int exitCode = -1;
    std::string output;
};
CommandOutcome RunCommand(const std::vector<std::string>& argv);

// Full path of a program on PATH, empty when there is none.
std::string FindOnPath(const char* program);

// Starts a program that hands something on to the desktop (xdg-open) with its output going
// nowhere and gives it waitMs to finish: its exit code (-1 for a signal), kNotStarted, or
// kStillRunning when it runs on (it has started what it opens in the foreground; it is let go).
inline constexpr int kNotStarted = -2;
inline constexpr int kStillRunning = -3;
int RunBriefly(const std::vector<std::string>& argv, int waitMs);
