#include "platform/posix/dialog_program.h"

#include "platform/file_system.h"
#include "platform/posix/child_process.h"

#include <sys/stat.h>

#include <cstdlib>

namespace {

bool HasExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder.push_back('/');
    return folder;
}

bool ValidUtf8(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) {
        const auto c = static_cast<unsigned char>(s[i]);
        int extra = c < 0x80             ? 0
                    : (c & 0xe0) == 0xc0 ? 1
                    : (c & 0xf0) == 0xe0 ? 2
                    : (c & 0xf8) == 0xf0 ? 3
                                         : -1;
        if (extra < 0 || (extra == 1 && c < 0xc2) || (extra == 3 && c > 0xf4)) return false;
        if (extra > 0 && i + size_t(extra) >= s.size()) return false;
        uint32_t code = extra == 0 ? c : c & (0x3f >> extra);
        for (int k = 1; k <= extra; ++k) {
            const auto t = static_cast<unsigned char>(s[i + size_t(k)]);
            if ((t & 0xc0) != 0x80) return false;
            code = code << 6 | (t & 0x3f);
        }
        // Overlong forms, surrogates and values past the last code point.
        if ((extra == 2 && (code < 0x800 || (code >= 0xd800 && code <= 0xdfff))) ||
            (extra == 3 && (code < 0x10000 || code > 0x10ffff)))
            return false;
        i += size_t(extra) + 1;
    }
    return true;
}

} // namespace

DialogProgram AvailableDialogProgram() {
    if (!FindOnPath("zenity").empty()) return DialogProgram::Zenity;
    if (!FindOnPath("kdialog").empty()) return DialogProgram::KDialog;
    return DialogProgram::None;
}

std::vector<std::string> FileDialogCommand(DialogProgram program, const FileDialogRequest& r) {
    const bool save = r.kind == FileDialogRequest::Save;
    const std::string folder = DialogStartFolder(r.initialFolder);
    if (program == DialogProgram::Zenity) {
        // Built by appending: GCC 12 misreads `literal + string` here as an overlapping copy.
        std::string title = "--title=", filter = "--file-filter=", start = "--filename=";
        title += r.title;
        filter += r.filterName;
        filter += " | ";
        filter += r.filterPattern;
        start += folder;
        std::vector<std::string> args = {"zenity", "--file-selection", title, filter};
        if (save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        if (!folder.empty()) args.push_back(start);
        return args;
    }
    if (program == DialogProgram::KDialog) {
        std::string filter = r.filterPattern;
        filter += "|";
        filter += r.filterName;
        return {"kdialog",
                "--title",
                r.title,
                save ? "--getsavefilename" : "--getopenfilename",
                folder.empty() ? std::string(".") : folder,
                filter};
    }
    return {};
}

FileDialogAnswer ReadFileDialogAnswer(const FileDialogRequest& r, bool signalled, int exitCode,
                                      const std::string& output) {
    FileDialogAnswer answer;
    if (signalled || (exitCode != 0 && exitCode != 1)) {
        answer.kind = FileDialogAnswer::Failed;
        answer.message = kDialogFailedText;
        return answer;
    }
    if (exitCode == 1) return answer; // cancelled
    std::string path = output;
    // One line: the answer and its end.
    if (!path.empty() && path.back() == '\n') path.pop_back();
    if (!path.empty() && path.back() == '\r') path.pop_back();
    if (path.empty()) return answer;
    bool usable = path.front() == '/' && path.back() != '/' && path.size() <= 1024 && ValidUtf8(path);
    for (const char c : path)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) usable = false;
    if (!usable) {
        answer.kind = FileDialogAnswer::Failed;
        answer.message = kDialogAnswerUnusableText;
        return answer;
    }
    const bool save = r.kind == FileDialogRequest::Save;
    if (save && !r.defaultExtension.empty() && !HasExtension(path)) {
        path += '.';
        path += r.defaultExtension;
    }
    if (!save) {
        struct stat st;
        if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
            answer.kind = FileDialogAnswer::Failed;
            answer.message = "File Open Error 001.";
            return answer;
        }
    }
    answer.kind = FileDialogAnswer::Chosen;
    answer.path = path;
    return answer;
}

std::string DialogStartFolder(const std::string& wanted) {
    if (IsFolder(wanted)) return WithSlash(wanted);
    const std::string documents = DocumentsFolderPath();
    if (IsFolder(documents)) return WithSlash(documents);
    const char* home = std::getenv("HOME");
    const std::string homeFolder = home && *home ? WithSlash(home) : std::string();
    if (!homeFolder.empty() && IsFolder(homeFolder + "Documents")) return homeFolder + "Documents/";
    if (IsFolder(homeFolder)) return homeFolder;
    return "/";
}
