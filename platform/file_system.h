#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files and folders as the plug-in needs them. Paths are narrow 8-bit strings.

#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// Reads a file into `bytes`, at most `maxBytes` of it from the start (callers bound what a hostile
// file can make them allocate). False (and `bytes` empty) when it cannot be opened or read.
bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes,
                   std::size_t maxBytes = static_cast<std::size_t>(-1));

enum class WriteFileResult { Ok, OpenFailed, WriteFailed };

// Creates or replaces a file with exactly `size` bytes. On failure `why`, when given, says why in
// the user's words ("the disk is full", "permission denied").
WriteFileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size,
                               std::string* why = nullptr);

// Creates a file that must not exist yet with exactly `size` bytes and flushes them to the disk.
// `existed` tells a name already taken from other failures; a file that could not be completed is
// removed again.
WriteFileResult WriteNewFile(const std::string& path, const void* data, std::size_t size, bool& existed,
                             std::string* why = nullptr);

// New contents for a file, written whole to a file of their own beside it and put in its place in one
// step, so a failed or interrupted write never leaves the file damaged or half written. Several of
// them can be written first and committed together, so that a failure changes none of them.
class FileReplacement {
  public:
    explicit FileReplacement(std::string target);
    // Contents written but never committed are removed.
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Writes the contents beside the target (a name no other file has). Refuses a target this
    // process may not write (see MayOverwriteFile).
    WriteFileResult Write(const void* data, std::size_t size);
    // Puts the written contents in the target's place; false when that fails (the target stays as it
    // was and the written file is removed).
    bool Commit();
    // Why Write or Commit failed, in the user's words.
    const std::string& Why() const { return why; }

  private:
    std::string target;
    std::string part; // the written file until it is committed or removed
    std::string why;
};

// A FileReplacement written and committed at once.
WriteFileResult ReplaceWholeFile(const std::string& path, const void* data, std::size_t size,
                                 std::string* why = nullptr);

// False when `path` names a file this process may not write (read-only, or not ours): replacing it
// by a rename would go around that, so a FileReplacement asks first. True when there is no file.
bool MayOverwriteFile(const std::string& path);

// Renames `from` to `to`, replacing an existing `to` in one step.
bool RenameReplacing(const std::string& from, const std::string& to, std::string* why = nullptr);

// Deletes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);

// Names (without folder) of the regular files in `folder` whose names match `pattern`, in the order the
// directory search yields them. The pattern knows `*` and `?` and ignores letter case, as the Windows
// search does. Folders are never returned. On POSIX the names are sorted bytewise so that "the first
// match" does not depend on the file system's internal order.
std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern);

// Creates one folder level. True when it exists afterwards.
bool CreateFolder(const std::string& path);

// The current user's Documents folder and local application-data folder, without a trailing
// separator. Empty when the system cannot name them (or, on Windows, when the path does not convert
// to the narrow character set or is longer than 1024 bytes).
std::string DocumentsFolderPath();
// On POSIX systems the application-data folder is created (with its missing parents) when it does
// not exist yet; Windows always has it.
std::string LocalAppDataFolderPath();

// True when `name` matches `pattern` (`*`, `?`, case-insensitive for ASCII letters).
bool WildcardMatch(const std::string& pattern, const std::string& name);
