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

WriteFileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
    HANDLE h =
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return WriteFileResult::OpenFailed;
    bool ok = true;
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        DWORD part = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(h, p, part, &written, nullptr) || written != part) {
            ok = false;
            break;
        }
        p += part;
        size -= part;
    }
    ok = CloseHandle(h) && ok;
    return ok ? WriteFileResult::Ok : WriteFileResult::WriteFailed;
}

bool MayOverwriteFile(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_READONLY);
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    return MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
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
