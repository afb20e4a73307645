#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t maxBytes) {
    bytes.clear();
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return false;
    struct stat st {};
    if (fstat(fileno(f), &st) != 0 || !S_ISREG(st.st_mode)) {
        std::fclose(f);
        return false;
    }
    // Read in chunks rather than trusting the size: the file may change while we read.
    std::uint8_t chunk[65536];
    bool ok = true;
    while (bytes.size() < maxBytes) {
        const std::size_t want = std::min(sizeof chunk, maxBytes - bytes.size());
        const std::size_t got = std::fread(chunk, 1, want, f);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < want) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok) bytes.clear();
    return ok;
}

WriteFileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size) {
    std::FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return WriteFileResult::OpenFailed;
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    ok = (std::fclose(f) == 0) && ok;
    return ok ? WriteFileResult::Ok : WriteFileResult::WriteFailed;
}

bool MayOverwriteFile(const std::string& path) {
    // The effective ids decide, as they would for open().
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT;
}

bool RenameReplacing(const std::string& from, const std::string& to) {
    return std::rename(from.c_str(), to.c_str()) == 0;
}

bool RemoveFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

std::vector<std::string> FindFiles(const std::string& folder, const std::string& pattern) {
    std::vector<std::string> names;
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        if (name == "." || name == ".." || !WildcardMatch(pattern, name)) continue;
        struct stat st {};
        std::string full = folder.empty() ? name : folder + kPathSeparator + name;
        if (stat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) continue;
        names.push_back(std::move(name));
    }
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

bool CreateFolder(const std::string& path) {
    if (mkdir(path.c_str(), 0777) == 0) return true;
    struct stat st {};
    return errno == EEXIST && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

namespace {
std::string FromEnvironmentOrHome(const char* variable, const char* homeRelative) {
    if (const char* v = std::getenv(variable); v && *v) {
        std::string s = v;
        while (s.size() > 1 && s.back() == '/')
            s.pop_back();
        return s;
    }
    const char* home = std::getenv("HOME");
    if (!home || !*home) return {};
    std::string s = home;
    while (s.size() > 1 && s.back() == '/')
        s.pop_back();
    return s + "/" + homeRelative;
}
} // namespace

std::string DocumentsFolderPath() {
    return FromEnvironmentOrHome("XDG_DOCUMENTS_DIR", "Documents");
}

namespace {
// Creates every missing folder of an absolute path, private to the user as the desktop's base-directory
// rules ask for the data folder. A fresh account often has no ~/.local/share yet, and without it
// nothing below it could be created.
void CreateMissingFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); ; slash = path.find('/', slash + 1)) {
        const std::string part = path.substr(0, slash);
        if (mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) return;
        if (slash == std::string::npos) return;
    }
}
} // namespace

std::string LocalAppDataFolderPath() {
    std::string folder = FromEnvironmentOrHome("XDG_DATA_HOME", ".local/share");
    if (!folder.empty() && folder.front() == '/') CreateMissingFolders(folder);
    return folder;
}
