#include "platform/posix/dialog_program.h"

#include "platform/file_system.h"
#include "platform/posix/child_process.h"
#include "platform/system_dialogs.h"

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

std::string TrimLine(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
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
    const std::string start = DialogStartFolder(r.initialFolder) + r.initialFile;
    std::string patterns = r.filterPattern;
    for (char& c : patterns)
        if (c == ';') c = ' ';
    if (program == DialogProgram::Zenity) {
        // Built by appending: GCC 12 misreads `literal + string` here as an overlapping copy.
        std::string title = "--title=", filter = "--file-filter=", filename = "--filename=";
        title += r.title.empty() ? (save ? "Save As" : "Open") : r.title;
        if (!r.filterName.empty()) {
            filter += r.filterName;
            filter += " | ";
        }
        filter += patterns;
        filename += start;
        std::vector<std::string> args = {"zenity", "--file-selection", title};
        if (!patterns.empty()) args.push_back(filter);
        if (save) {
            args.push_back("--save");
            args.push_back("--confirm-overwrite");
        }
        args.push_back(filename);
        return args;
    }
    if (program == DialogProgram::KDialog) {
        std::vector<std::string> args = {"kdialog"};
        if (!r.title.empty()) args.insert(args.end(), {"--title", r.title});
        args.push_back(save ? "--getsavefilename" : "--getopenfilename");
        args.push_back(start);
        if (!patterns.empty())
            args.push_back(r.filterName.empty() ? patterns : patterns + "|" + r.filterName);
        return args;
    }
    return {};
}

std::vector<std::string> MessageBoxCommand(DialogProgram program, const std::string& text,
                                           const std::string& caption, int type) {
    const int buttons = type & 0xf;
    const int icon = type & 0xf0;
    if (program == DialogProgram::Zenity) {
        std::vector<std::string> cmd{"zenity"};
        if (buttons == kBoxOk) {
            cmd.push_back(icon == kBoxIconError     ? "--error"
                          : icon == kBoxIconWarning ? "--warning"
                                                    : "--info");
        } else {
            cmd.push_back("--question");
            if (buttons == kBoxOkCancel) {
                cmd.push_back("--ok-label=OK");
                cmd.push_back("--cancel-label=Cancel");
            } else {
                cmd.push_back("--ok-label=Yes");
                cmd.push_back("--cancel-label=No");
                if (buttons == kBoxYesNoCancel) cmd.push_back("--extra-button=Cancel");
            }
        }
        cmd.push_back("--no-markup");
        cmd.push_back("--title=" + caption);
        cmd.push_back("--text=" + text);
        return cmd;
    }
    if (program == DialogProgram::KDialog) {
        std::vector<std::string> cmd{"kdialog", "--title", caption};
        if (buttons == kBoxOk) {
            cmd.push_back(icon == kBoxIconError     ? "--error"
                          : icon == kBoxIconWarning ? "--sorry"
                                                    : "--msgbox");
            cmd.push_back(text);
        } else if (buttons == kBoxYesNoCancel) {
            cmd.push_back("--yesnocancel");
            cmd.push_back(text);
        } else {
            cmd.push_back(icon == kBoxIconWarning ? "--warningyesno" : "--yesno");
            cmd.push_back(text);
            if (buttons == kBoxOkCancel) cmd.insert(cmd.end(), {"--yes-label", "OK", "--no-label", "Cancel"});
        }
        return cmd;
    }
    return {};
}

int MessageBoxAnswer(DialogProgram program, int type, bool started, int exitCode, const std::string& output) {
    const bool first = started && exitCode == 0;
    switch (type & 0xf) {
    case kBoxOk:
        return kAnswerOk;
    case kBoxOkCancel:
        return first ? kAnswerOk : kAnswerCancel;
    case kBoxYesNo:
        return first ? kAnswerYes : kAnswerNo;
    case kBoxYesNoCancel:
        if (first) return kAnswerYes;
        if (!started) return kAnswerCancel;
        if (program == DialogProgram::KDialog) return exitCode == 1 ? kAnswerNo : kAnswerCancel;
        // zenity prints the extra button's label; closing the box is a cancel too.
        if (TrimLine(output) == "Cancel" || exitCode != 1) return kAnswerCancel;
        return kAnswerNo;
    default:
        return first ? kAnswerOk : kAnswerCancel;
    }
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
