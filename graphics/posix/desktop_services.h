#pragma once

#include "graphics/argb_color.h"
#include "platform/posix/child_process.h"
#include "platform/posix/dialog_program.h"

#include <optional>
#include <string>
#include <vector>

// What a Linux editor asks of the desktop: message boxes, file and colour dialogs (through zenity
// or kdialog, whichever is installed), opening an address with xdg-open, and the usual folders.
// These calls run on the editor's thread and wait for the dialog, as a modal box would; the
// plug-in's own Save and Load do not come through here but through the host's run loop.

// The command line that shows a message box; empty without a dialog program. `type` holds the
// button set in its low nibble and the icon in the next one, with the window system's numbers.
std::vector<std::string> MessageBoxCommand(DialogProgram program, const char* text, const char* caption,
                                           int type);
// The answer (IMessageDialogResult) for a finished message box command.
int MessageBoxAnswer(DialogProgram program, int type, const CommandOutcome& outcome);

// Shows a message box and returns the answer. Without a dialog program the message goes to
// stderr and the box is refused: No or Cancel where the buttons offer it, OK otherwise.
int ShowDesktopMessageBox(const char* text, const char* caption, int type);

// File dialog (IFileAction) starting at folder/file, offering the space-separated extensions.
// The chosen path, or nothing when cancelled or when no dialog program exists (said on stderr).
std::optional<std::string> ChooseFileWithDialog(int action, const std::string& folder,
                                                const std::string& file, const char* extensions);
std::vector<std::string> FileDialogCommand(DialogProgram program, int action, const std::string& start,
                                           const char* extensions);

// Colour dialog; the chosen red, green and blue (alpha as given), or nothing.
std::optional<IArgbColor> ChooseColourWithDialog(const IArgbColor& initial, const char* prompt);
// Reads "rgb(r,g,b)", "rgba(r,g,b,a)" or "#rrggbb" as the dialogs print it.
std::optional<IArgbColor> ParseDialogColour(const std::string& text, int alpha);

// Opens an address or file with xdg-open; false when it cannot be started or reports failure.
bool OpenWithDesktop(const char* url);

// Folders, each ending with '/': the running program's and this module's folder, the desktop,
// and the shared or per-user data folder.
std::string ExecutableFolder();
std::string ThisModuleFolder();
std::string DesktopFolder();
std::string DataFolder(bool common);
