#include "tools/vorelline/output_file.h"

#include "platform/file_system.h"

#include <filesystem>
#include <memory>

namespace fs = std::filesystem;

namespace {

// A name that is a symbolic link is written through to the file it names: replacing the link itself
// would leave its file as it was and the user's link pointing at the old contents.
std::string FileBehindLinks(const std::string& path) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) return path;
    const fs::path real = fs::weakly_canonical(path, ec);
    return ec ? path : real.string();
}

std::string Refusal(const std::string& path, const std::string& why, bool allUnchanged) {
    std::error_code ec;
    const bool existed = fs::exists(path, ec);
    return "cannot write " + path + ": " + why +
           (allUnchanged
                ? (existed ? " (nothing was written; the file there is unchanged)" : " (nothing was written)")
                : "");
}

} // namespace

void OutputFiles::Add(std::string path, std::vector<std::uint8_t> contents) {
    files.push_back({std::move(path), std::move(contents)});
}

bool OutputFiles::WriteAll(std::string& error) {
    std::vector<std::unique_ptr<FileReplacement>> written;
    for (const Pending& f : files) {
        written.push_back(std::make_unique<FileReplacement>(FileBehindLinks(f.path)));
        if (written.back()->Write(f.contents.data(), f.contents.size()) != WriteFileResult::Ok) {
            error = Refusal(f.path, written.back()->Why(), true);
            return false; // the files written so far are removed with their replacements
        }
    }
    for (std::size_t i = 0; i < files.size(); ++i)
        if (!written[i]->Commit()) {
            error = Refusal(files[i].path, written[i]->Why(), i == 0);
            return false;
        }
    return true;
}

bool WriteOutputFile(const std::string& path, std::vector<std::uint8_t> contents, std::string& error) {
    OutputFiles one;
    one.Add(path, std::move(contents));
    return one.WriteAll(error);
}
