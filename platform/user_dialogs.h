#pragma once

#include <optional>
#include <string>

// The system's standard file dialog and the shell, behind one replaceable service: tests install a
// scripted one so that no dialog blocks and nothing is launched. The platform's service and the
// editor core's window back ends both use the system dialogs of platform/system_dialogs.h.

struct FileDialogRequest {
    enum Kind { Save, Open };
    Kind kind = Open;
    std::string title;            // window title
    std::string filterName;       // e.g. "ALG file"
    std::string filterPattern;    // e.g. "*.alg"
    std::string defaultExtension; // appended when the user types a name without one, e.g. "alg"
    std::string initialFolder;    // may be empty
    std::string initialFile;      // the name the dialog starts with; may be empty
    void* owner = nullptr;        // Windows: the window the dialog belongs to; null for none
    // Windows: leave the host's working folder alone and want an existing folder (the editor
    // core's dialogs); the product's dialogs keep the system's defaults.
    bool strictPaths = false;
};

// The request behind the editor core's ChooseFile: a space-separated extension list ("alg txt")
// gives the patterns "*.alg;*.txt" (at most 255 characters, as the Windows dialog takes them),
// named by themselves, and the first extension as the default (at most 15 characters).
FileDialogRequest FileRequestForExtensions(FileDialogRequest::Kind kind, const char* extensions);

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
