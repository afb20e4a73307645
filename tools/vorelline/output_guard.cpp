#include "tools/vorelline/output_guard.h"

#include "plugin/alg_file.h"
#include "tools/vorelline/progress_reporter.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>

namespace fs = std::filesystem;

namespace {

// The same file however it is named: symbolic links followed, hard links compared by device and
// inode. A file not there yet is the same as another only when both are the same name in the same
// folder.
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    const bool aExists = fs::exists(a, ec), bExists = fs::exists(b, ec);
    if (aExists && bExists) return fs::equivalent(a, b, ec);
    if (aExists != bExists) return false;
    const fs::path pa(a), pb(b);
    if (pa.filename() != pb.filename() || pa.filename().empty()) return false;
    const fs::path folderA = pa.parent_path().empty() ? "." : pa.parent_path();
    const fs::path folderB = pb.parent_path().empty() ? "." : pb.parent_path();
    if (fs::exists(folderA, ec) && fs::exists(folderB, ec)) return fs::equivalent(folderA, folderB, ec);
    return fs::weakly_canonical(pa, ec) == fs::weakly_canonical(pb, ec);
}

const char* KindName(OutputKind kind) {
    switch (kind) {
    case OutputKind::Audio:
        return "an audio file";
    case OutputKind::Picture:
        return "a PNG picture";
    case OutputKind::Correction:
        return "a correction file";
    case OutputKind::Text:
        return "a text file";
    }
    return "";
}

// What an existing file holds, told by its first bytes; nothing for files of no kind the tool makes
// or knows (text included).
std::optional<OutputKind> KindOfExisting(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    char head[12] = {};
    if (!in.read(head, sizeof head)) return std::nullopt;
    const auto starts = [&](const char* magic) { return std::memcmp(head, magic, std::strlen(magic)) == 0; };
    if (starts("RIFF") || starts("RF64") || starts("riff") || starts("FORM") || starts("fLaC") ||
        starts("OggS") || starts("caff"))
        return OutputKind::Audio;
    if (starts("\x89PNG")) return OutputKind::Picture;
    const std::int32_t version = static_cast<std::int32_t>(
        static_cast<std::uint8_t>(head[0]) | static_cast<std::uint8_t>(head[1]) << 8 |
        static_cast<std::uint8_t>(head[2]) << 16 |
        static_cast<std::uint32_t>(static_cast<std::uint8_t>(head[3])) << 24);
    if (version == kAlgVersion) return OutputKind::Correction;
    return std::nullopt;
}

std::string Describe(const NamedFile& f, const char* role) {
    return "the " + (f.option.empty() ? std::string() : f.option + " ") + role + " " + f.path;
}

bool Refuse(const std::string& why) {
    ClearProgressLine();
    std::fprintf(stderr, "vorelline: refused: %s; nothing was written\n", why.c_str());
    return false;
}

} // namespace

bool OutputsAreSafe(const std::vector<NamedFile>& inputs, const std::vector<PlannedOutput>& outputs) {
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const NamedFile& out = outputs[i].file;
        for (const NamedFile& in : inputs)
            if (SameFile(out.path, in.path))
                return Refuse(Describe(out, "output") + " is " + Describe(in, "input"));
        for (std::size_t j = 0; j < i; ++j)
            if (SameFile(out.path, outputs[j].file.path))
                return Refuse(Describe(outputs[j].file, "output") + " and " + Describe(out, "output") +
                              " are the same file");
        std::error_code ec;
        if (fs::is_directory(out.path, ec)) return Refuse(Describe(out, "output") + " is a folder");
        const std::optional<OutputKind> existing = KindOfExisting(out.path);
        if (existing && *existing != outputs[i].kind)
            return Refuse(Describe(out, "output") + " is " + KindName(*existing) + ", which " +
                          KindName(outputs[i].kind) +
                          " would replace (name another file or remove it first)");
    }
    return true;
}
