#include "platform/file_system.h"

#include <utility>

namespace {
// A leftover of an interrupted write, or a user's own file, may already have the first name.
constexpr int kPartNameTries = 100;
} // namespace

FileReplacement::FileReplacement(std::string target) : target(std::move(target)) {}

FileReplacement::~FileReplacement() {
    if (!part.empty()) RemoveFile(part);
}

WriteFileResult FileReplacement::Write(const void* data, std::size_t size) {
    if (!part.empty()) RemoveFile(std::exchange(part, {}));
    // A file the user protected stays as it is, as opening it for writing would have refused.
    if (!MayOverwriteFile(target)) {
        why = "the file is write-protected";
        return WriteFileResult::OpenFailed;
    }
    for (int n = 0; n < kPartNameTries; ++n) {
        std::string name = target + (n == 0 ? std::string() : "." + std::to_string(n)) + ".part";
        bool existed = false;
        const WriteFileResult written = WriteNewFile(name, data, size, existed, &why);
        if (written == WriteFileResult::Ok) {
            part = std::move(name);
            return written;
        }
        if (!existed) return written;
    }
    why = "no free name for a temporary file beside it";
    return WriteFileResult::OpenFailed;
}

bool FileReplacement::Commit() {
    if (part.empty()) return false;
    if (RenameReplacing(part, target, &why)) {
        part.clear();
        return true;
    }
    RemoveFile(std::exchange(part, {}));
    return false;
}

WriteFileResult ReplaceWholeFile(const std::string& path, const void* data, std::size_t size,
                                 std::string* why) {
    FileReplacement replacement(path);
    WriteFileResult result = replacement.Write(data, size);
    if (result == WriteFileResult::Ok && !replacement.Commit()) result = WriteFileResult::OpenFailed;
    if (result != WriteFileResult::Ok && why) *why = replacement.Why();
    return result;
}
