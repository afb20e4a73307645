#pragma once

#include <string>
#include <vector>

// Handing a document or an address to the desktop's program for it (xdg-open), and what the user
// is told when nothing takes it. Running the opener is the caller's: briefly and waiting where the
// caller may wait, through the host's run loop for an editor.

// The command line; empty when no opener is installed.
std::vector<std::string> OpenerCommand(const std::string& target);

// An opener that runs longer than this has started what it opens in the foreground: it counts as
// having opened it and is let go.
inline constexpr int kOpenerAnswerMs = 3000;

// The opener's outcome as OpenWithShell reports it, for one that ended (exit code, -1 for a
// signal) or still runs (kStillRunning): opened, or 0 once the user was told where the page is.
int OpenerResult(const std::string& page, int exitCode);
