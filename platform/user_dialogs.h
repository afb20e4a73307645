#pragma once

#include <optional>
#include <string>

// The system's standard file dialog and the shell, behind one replaceable service: tests install a
// scripted one so that no dialog blocks and nothing is launched.

struct FileDialogRequest {
    enum Kind { Save, Open };
    Kind kind = Open;
    std::string title;            // window title
    std::string filterName;       // e.g. "ALG file"
    std::string filterPattern;    // e.g. "*.alg"
    std::string defaultExtension; // appended when the user types a name without one, e.g. "alg"
    std::string initialFolder;    // may be empty
};

// Result codes of OpenWithShell, as the Windows shell reports them: above 32 means the file was
// handed to a program.
inline constexpr int kShellFileNotFound = 2;
inline constexpr int kShellOpened = 42;

class IUserDialogs {
  public:
    virtual ~IUserDialogs() = default;
    // The chosen path; nothing when the dialog was cancelled or could not be shown. Save asks before
    // overwriting an existing file; Open accepts only existing files.
    virtual std::optional<std::string> ChooseFile(const FileDialogRequest& request) = 0;
    // Opens a document with the program the user has for it ("open" verb, normal window).
    virtual int OpenWithShell(const std::string& path) = 0;
};

// The service in use: the platform's own until a caller installs another.
IUserDialogs& UserDialogs();
// Installs a replacement (null restores the platform's); returns the one it replaces.
IUserDialogs* InstallUserDialogs(IUserDialogs* dialogs);
IUserDialogs& PlatformUserDialogs();
