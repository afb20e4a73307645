#pragma once

#include <string>

class IGraphics;

// The help: eight module resources (BIN 200 to 207) written into the user's help folder, then the
// first page opened with the shell.

inline constexpr int kHelpResourceCount = 8;
inline constexpr int kFirstHelpResource = 200;
// The file name of each help resource, in resource order.
extern const char* const kHelpFileNames[kHelpResourceCount];

// The help folder below the local application-data folder, with a trailing separator; the two
// folder levels are created. Empty (after "SHGetKnownFolderPath Error2.") when the system names no
// such folder or the path would be too long.
std::string PrepareHelpFolder();

// Writes every help resource into `folder` (replacing older copies; "AppData Error!" for each file
// that cannot be written or whose resource is missing) and returns how many were written.
int WriteHelpFiles(const std::string& folder);

// The whole Help action: folder, files, then "1.htm" opened with the shell ("Help file not found"
// when the shell cannot find it), through the editor when there is one (it may not wait for it).
void ShowHelp(IGraphics* editor = nullptr);
