#include "platform/file_system.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <shlobj.h>

namespace {
std::string JoinForSearch(const std::string& folder, const std::string& pattern) {
    if (folder.empty()) return pattern;
    if (folder.back() == '\\' || folder.back() == '/') return folder + pattern;
    return folder + '\\' + pattern;
}

std::string KnownFolder(REFKNOWNFOLDERID id) {
    PWSTR wide = nullptr;
    std::string narrow;
    if (SUCCEEDED(SHGetKnownFolderPath(id, 0, nullptr, &wide)) && wide) {
        // A path with characters outside the narrow code page would name another folder: refuse it.
        char buffer[1025];
        BOOL usedDefault = FALSE;
        int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, buffer, sizeof buffer, nullptr,
                                    &usedDefault);
        if (n > 0 && !usedDefault && n <= 1024) narrow.assign(buffer, static_cast<std::size_t>(n - 1));
    }
    CoTaskMemFree(wide);
    return narrow;
}
} // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes) {
    bytes.clear();
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = true;
    std::uint8_t chunk[65536];
    while (bytes.size() < maxBytes) {
        const std::size_t left = maxBytes - bytes.size();
        const DWORD want = left < sizeof chunk ? static_cast<DWORD>(left) : static_cast<DWORD>(sizeof chunk);
        DWORD got = 0;
        if (!ReadFile(h, chunk, want, &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    CloseHandle(h);
    if (!ok) bytes.clear();
    return ok;
}

namespace {
// The reasons users meet, in their words; the system's own text for the rest.
std::string ReasonInWords(DWORD error) {
    switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
        return "the disk is full";
    case ERROR_ACCESS_DENIED:
        return "permission denied";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
        return "another program has the file open";
    case ERROR_WRITE_PROTECT:
        return "the disk is read-only";
    case ERROR_PATH_NOT_FOUND:
        return "the folder does not exist";
    case ERROR_FILENAME_EXCED_RANGE:
        return "the name is too long";
    default:
        break;
    }
    char text[256] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                                   0, text, sizeof text, nullptr);
    std::string s(text, n);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '.'))
        s.pop_back();
    return s.empty() ? "system error " + std::to_string(error) : s;
}

void Say(std::string* why, DWORD error) {
    if (why) *why = ReasonInWords(error);
}

// Writes all of `size` bytes; false with the thread's last error set when the system takes fewer.
bool WriteAll(HANDLE h, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        DWORD part = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(h, p, part, &written, nullptr)) return false;
        if (written != part) {
            SetLastError(ERROR_DISK_FULL);
            return false;
        }
        p += part;
        size -= part;
    }
    return true;
}

WriteFileResult WriteAndClose(HANDLE h, const void* data, std::size_t size, bool flush, std::string* why) {
    bool ok = WriteAll(h, data, size) && (!flush || FlushFileBuffers(h));
    DWORD error = ok ? 0 : GetLastError();
    if (!CloseHandle(h) && ok) {
        ok = false;
        error = GetLastError();
    }
    if (ok) return WriteFileResult::Ok;
    Say(why, error);
    return WriteFileResult::WriteFailed;
}
} // namespace

WriteFileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size,
                               std::string* why) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        Say(why, GetLastError());
        return WriteFileResult::OpenFailed;
    }
    return WriteAndClose(h, data, size, false, why);
}

WriteFileResult WriteNewFile(const std::string& path, const void* data, std::size_t size, bool& existed,
                             std::string* why) {
    existed = false;
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        existed = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        Say(why, error);
        return WriteFileResult::OpenFailed;
    }
    // On the disk before it takes another file's place.
    const WriteFileResult result = WriteAndClose(h, data, size, true, why);
    if (result != WriteFileResult::Ok) DeleteFileA(path.c_str());
    return result;
}

bool MayOverwriteFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
}

bool RenameReplacing(const std::string& from, const std::string& to, std::string* why) {
    if (MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    Say(why, GetLastError());
    return false;
}

bool RemoveFile(const std::string& path) {
    return DeleteFileA(path.c_str()) != 0;
}

std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(JoinForSearch(folder, pattern).c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        // The search also matches 8.3 short names ("x.frdata" for "*.frd"); check the long name.
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) && WildcardMatch(pattern, data.cFileName))
            names.emplace_back(data.cFileName);
    } while (FindNextFileA(h, &data));
    FindClose(h);
    return names;
}

bool CreateFolder(const std::string& path) {
    if (CreateDirectoryA(path.c_str(), nullptr)) return true;
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string DocumentsFolderPath() {
    return KnownFolder(FOLDERID_Documents);
}

std::string LocalAppDataFolderPath() {
    return KnownFolder(FOLDERID_LocalAppData);
}
