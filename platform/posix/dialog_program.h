#pragma once

#include "platform/user_dialogs.h"

#include <string>
#include <vector>

// The desktop's dialog programs (zenity, else kdialog): the command lines that ask them for a
// file or a message's answer, and the reading of what they answer. Running them is the caller's:
// synchronously for callers that may wait (platform/system_dialogs.h), through the host's run loop
// for an editor.

enum class DialogProgram { None, Zenity, KDialog };

// zenity when installed, else kdialog, else none.
DialogProgram AvailableDialogProgram();

// The command line of a file dialog for the request; empty for DialogProgram::None. Without a
// title the program's own (zenity: "Save As" or "Open"); the pattern may list several, split by
// ';'; without a filter name the patterns name themselves. It starts in the request's folder (see
// DialogStartFolder) at its file name.
std::vector<std::string> FileDialogCommand(DialogProgram program, const FileDialogRequest& request);

struct FileDialogAnswer {
    enum Kind { Chosen, Cancelled, Failed };
    Kind kind = Cancelled;
    std::string path;    // Chosen: the file, with the default extension added for Save
    std::string message; // Failed: what the user is told
};

// Reads a finished dialog program: cancelled (exit code 1 or an empty answer), a file, or a
// failure (a crash, an unknown exit code, an answer that is not one absolute file name of valid
// UTF-8 without control characters, or for Open a file that is not there).
FileDialogAnswer ReadFileDialogAnswer(const FileDialogRequest& request, bool signalled, int exitCode,
                                      const std::string& output);

// The folder dialogs start in when the caller names none (or one that does not exist): the user's
// documents folder if it exists, else ~/Documents, else the home folder. Ends with '/'.
std::string DialogStartFolder(const std::string& wanted);

// The command line that shows a message box (type and answers as in platform/system_dialogs.h);
// empty for DialogProgram::None.
std::vector<std::string> MessageBoxCommand(DialogProgram program, const std::string& text,
                                           const std::string& caption, int type);
// The answer for a message box command that ran (or could not start: started is false).
int MessageBoxAnswer(DialogProgram program, int type, bool started, int exitCode, const std::string& output);

inline constexpr const char* kDialogFailedText = "The file dialog closed unexpectedly. Nothing was changed.";
inline constexpr const char* kDialogAnswerUnusableText =
    "The file dialog did not answer with a usable file name. Nothing was changed.";
