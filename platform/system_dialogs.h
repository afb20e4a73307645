#pragma once

#include "platform/user_dialogs.h"

#include <cstdint>
#include <optional>
#include <string>

// The system's own dialogs, one implementation per OS (platform/win32, platform/posix): what the
// product's dialog and message services and the editor core's window back ends all call. They
// wait for the user's answer; an editor that must not hold up its host runs the dialog programs
// through its run loop instead (posix). `owner` is the window a dialog belongs to on Windows (an
// HWND), null for none; elsewhere it is ignored. The colour dialog is Windows' alone
// (platform/win32/colour_dialog.h).

// Message box types and answers, with the window system's numbers: buttons in the low nibble, the
// icon in the next one.
inline constexpr int kBoxOk = 0, kBoxOkCancel = 1, kBoxYesNoCancel = 3, kBoxYesNo = 4;
inline constexpr int kBoxIconError = 0x10, kBoxIconQuestion = 0x20, kBoxIconWarning = 0x30,
                     kBoxIconInformation = 0x40;
inline constexpr int kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7;

// Shows a message box and returns the answer. Where no box can be shown the text goes to stderr
// and the box is refused: No or Cancel where the buttons offer it, OK otherwise.
int ShowSystemMessageBox(const std::string& text, const std::string& caption, int type, void* owner);

// The file dialog for the request: the chosen path, or nothing when it was cancelled or could not
// be shown. Where its answer is unusable, `failure` (when given) gets what the user is to be told.
std::optional<std::string> ChooseFileWithSystemDialog(const FileDialogRequest& request,
                                                      std::string* failure = nullptr);

// Hands a document or an address to the user's program for it. The shell's code on Windows
// (above 32: handed on); elsewhere kShellOpened when the opener took it, 0 when there is none or
// it failed. Waits for the opener a few seconds at most.
int OpenWithSystem(const std::string& target, void* owner);
