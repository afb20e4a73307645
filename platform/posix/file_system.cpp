#include "platform/file_system.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
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

namespace {
// The reasons users meet, in their words; the system's own text for the rest.
std::string ReasonInWords(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return "the disk is full";
    case EFBIG:
        return "the file would be larger than the system allows here";
    case EACCES:
    case EPERM:
        return "permission denied";
    case EROFS:
        return "the disk is read-only";
    case ENOENT:
        return "the folder does not exist";
    case ENOTDIR:
        return "a part of the path is not a folder";
    case EISDIR:
        return "it is a folder";
    case ENAMETOOLONG:
        return "the name is too long";
    case EIO:
        return "the disk reported an error";
    default:
        return std::strerror(error);
    }
}

void Say(std::string* why, int error) {
    if (why) *why = ReasonInWords(error);
}

// Writes all of `size` bytes; false with errno set when the system takes fewer.
bool WriteAll(int fd, const void* data, std::size_t size) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
        const ssize_t n = write(fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = ENOSPC;
            return false;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}
} // namespace

WriteFileResult WriteWholeFile(const std::string& path, const void* data, std::size_t size,
                               std::string* why) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd < 0) {
        Say(why, errno);
        return WriteFileResult::OpenFailed;
    }
    bool ok = WriteAll(fd, data, size);
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) return WriteFileResult::Ok;
    Say(why, error);
    return WriteFileResult::WriteFailed;
}

WriteFileResult WriteNewFile(const std::string& path, const void* data, std::size_t size, bool& existed,
                             std::string* why) {
    existed = false;
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        existed = errno == EEXIST;
        Say(why, errno);
        return WriteFileResult::OpenFailed;
    }
    // On the disk before it takes another file's place: a crash after the rename must not leave an
    // empty file where the old one was. (EINVAL: a file system that has nothing to flush.)
    bool ok = WriteAll(fd, data, size) && (fsync(fd) == 0 || errno == EINVAL);
    int error = errno;
    if (close(fd) != 0 && ok) {
        ok = false;
        error = errno;
    }
    if (ok) return WriteFileResult::Ok;
    unlink(path.c_str());
    Say(why, error);
    return WriteFileResult::WriteFailed;
}

bool MayOverwriteFile(const std::string& path) {
    // The effective ids decide, as they would for open().
    return faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 || errno == ENOENT;
}

bool RenameReplacing(const std::string& from, const std::string& to, std::string* why) {
    if (std::rename(from.c_str(), to.c_str()) == 0) return true;
    Say(why, errno);
    return false;
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
    for (std::size_t slash = path.find('/', 1);; slash = path.find('/', slash + 1)) {
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
