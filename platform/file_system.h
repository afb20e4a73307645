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

// Creates or replaces a file with exactly `size` bytes.
WriteFileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size);

// Like WriteWholeFile, but an existing file is replaced only once the new contents are completely
// written (they go to a file beside it first), so a failed write never destroys a good file.
WriteFileResult ReplaceWholeFile(const std::string& path, const void* data, std::size_t size);

// False when `path` names a file this process may not write (read-only, or not ours): replacing it
// by a rename would go around that, so ReplaceWholeFile asks first. True when there is no file.
bool MayOverwriteFile(const std::string& path);

// Renames `from` to `to`, replacing an existing `to` in one step.
bool RenameReplacing(const std::string& from, const std::string& to);

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
