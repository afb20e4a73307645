#include "platform/file_system.h"

WriteFileResult ReplaceWholeFile(const std::string& path, const void* data, std::size_t size) {
    // A file the user protected stays as it is, as opening it for writing would have refused.
    if (!MayOverwriteFile(path)) return WriteFileResult::OpenFailed;
    const std::string part = path + ".part";
    const WriteFileResult written = WriteWholeFile(part, data, size);
    if (written != WriteFileResult::Ok) {
        RemoveFile(part);
        return written;
    }
    if (!RenameReplacing(part, path)) {
        RemoveFile(part);
        return WriteFileResult::OpenFailed;
    }
    return WriteFileResult::Ok;
}
