#include "graphics/posix/desktop_services.h"

#include "graphics/message_dialog.h"
#include "platform/file_system.h"

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// Windows message-box numbers: buttons in the low nibble, icon in the next.
constexpr int kIconError = 0x10;
constexpr int kIconQuestion = 0x20;
constexpr int kIconWarning = 0x30;

std::string TrimLine(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r'))
        s.pop_back();
    return s;
}

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string WithSlash(std::string folder) {
    if (!folder.empty() && folder.back() != '/') folder += '/';
    return folder;
}

void SayNoDialogProgram(const char* what, const char* caption, const char* text) {
    std::fprintf(stderr, "Tessivane Vorelline: cannot show %s: neither zenity nor kdialog is installed.",
                 what);
    if (caption && *caption) std::fprintf(stderr, " %s:", caption);
    if (text && *text) std::fprintf(stderr, " %s", text);
    std::fputc('\n', stderr);
}

} // namespace

std::vector<std::string> MessageBoxCommand(DialogProgram program, const char* text, const char* caption,
                                           int type) {
    const std::string body = text ? text : "";
    const std::string title = caption ? caption : "";
    const int buttons = type & 0xf;
    const int icon = type & 0xf0;
    if (program == DialogProgram::Zenity) {
        std::vector<std::string> cmd{"zenity"};
        if (buttons == kMessageOk) {
            cmd.push_back(icon == kIconError ? "--error" : icon == kIconWarning ? "--warning" : "--info");
        } else {
            cmd.push_back("--question");
            if (buttons == kMessageOkCancel) {
                cmd.push_back("--ok-label=OK");
                cmd.push_back("--cancel-label=Cancel");
            } else {
                cmd.push_back("--ok-label=Yes");
                cmd.push_back("--cancel-label=No");
                if (buttons == kMessageYesNoCancel) cmd.push_back("--extra-button=Cancel");
            }
        }
        cmd.push_back("--no-markup");
        cmd.push_back("--title=" + title);
        cmd.push_back("--text=" + body);
        return cmd;
    }
    if (program == DialogProgram::KDialog) {
        std::vector<std::string> cmd{"kdialog", "--title", title};
        if (buttons == kMessageOk) {
            cmd.push_back(icon == kIconError ? "--error" : icon == kIconWarning ? "--sorry" : "--msgbox");
            cmd.push_back(body);
        } else if (buttons == kMessageYesNoCancel) {
            cmd.push_back("--yesnocancel");
            cmd.push_back(body);
        } else {
            cmd.push_back(icon == kIconWarning ? "--warningyesno" : "--yesno");
            cmd.push_back(body);
            if (buttons == kMessageOkCancel) {
                cmd.insert(cmd.end(), {"--yes-label", "OK", "--no-label", "Cancel"});
            }
        }
        return cmd;
    }
    (void)kIconQuestion;
    return {};
}

int MessageBoxAnswer(DialogProgram program, int type, const CommandOutcome& outcome) {
    const int buttons = type & 0xf;
    const bool first = outcome.started && outcome.exitCode == 0;
    switch (buttons) {
    case kMessageOk:
        return kResultOk;
    case kMessageOkCancel:
        return first ? kResultOk : kResultCancel;
    case kMessageYesNo:
        return first ? kResultYes : kResultNo;
    case kMessageYesNoCancel:
        if (first) return kResultYes;
        if (!outcome.started) return kResultCancel;
        if (program == DialogProgram::KDialog) return outcome.exitCode == 1 ? kResultNo : kResultCancel;
        // zenity prints the extra button's label; closing the box is a cancel too.
        if (TrimLine(outcome.output) == "Cancel" || outcome.exitCode != 1) return kResultCancel;
        return kResultNo;
    default:
        return first ? kResultOk : kResultCancel;
    }
}

int ShowDesktopMessageBox(const char* text, const char* caption, int type) {
    DialogProgram program = AvailableDialogProgram();
    if (program == DialogProgram::None) {
        SayNoDialogProgram("a message", caption, text);
        return MessageBoxAnswer(program, type, CommandOutcome{});
    }
    return MessageBoxAnswer(program, type, RunCommand(MessageBoxCommand(program, text, caption, type)));
}

std::vector<std::string> FileDialogCommand(DialogProgram program, int action, const std::string& start,
                                           const char* extensions) {
    std::string patterns;
    const std::string list = extensions ? extensions : "";
    size_t at = 0;
    while (at < list.size()) {
        size_t end = list.find(' ', at);
        if (end == std::string::npos) end = list.size();
        if (end > at) {
            patterns.append(patterns.empty() ? "*." : " *.");
            patterns.append(list, at, end - at);
        }
        at = end + 1;
    }
    const bool save = action == kFileSave;
    if (program == DialogProgram::Zenity) {
        std::vector<std::string> cmd{"zenity", "--file-selection", save ? "--title=Save As" : "--title=Open"};
        if (save) cmd.push_back("--save");
        if (!start.empty()) cmd.push_back("--filename=" + start);
        if (!patterns.empty()) cmd.push_back("--file-filter=" + patterns);
        return cmd;
    }
    if (program == DialogProgram::KDialog) {
        std::vector<std::string> cmd{"kdialog", save ? "--getsavefilename" : "--getopenfilename",
                                     start.empty() ? std::string(".") : start};
        if (!patterns.empty()) cmd.push_back(patterns);
        return cmd;
    }
    return {};
}

std::optional<std::string> ChooseFileWithDialog(int action, const std::string& folder,
                                                const std::string& file, const char* extensions) {
    DialogProgram program = AvailableDialogProgram();
    if (program == DialogProgram::None) {
        SayNoDialogProgram("a file dialog", nullptr, nullptr);
        return std::nullopt;
    }
    std::string start = WithSlash(folder.empty() ? DesktopFolder() : folder) + file;
    CommandOutcome outcome = RunCommand(FileDialogCommand(program, action, start, extensions));
    std::string chosen = TrimLine(outcome.output);
    if (!outcome.started || outcome.exitCode != 0 || chosen.empty()) return std::nullopt;
    // The platform's paths are at most 1024 bytes.
    if (chosen.size() > 1024) return std::nullopt;
    return chosen;
}

std::optional<IArgbColor> ParseDialogColour(const std::string& raw, int alpha) {
    std::string text = TrimLine(raw);
    int r = 0, g = 0, b = 0;
    if (text.size() == 7 && text[0] == '#') {
        char* end = nullptr;
        unsigned long v = std::strtoul(text.c_str() + 1, &end, 16);
        if (!end || *end) return std::nullopt;
        r = int(v >> 16 & 0xff), g = int(v >> 8 & 0xff), b = int(v & 0xff);
        return IArgbColor(alpha, r, g, b);
    }
    double dr = 0, dg = 0, db = 0;
    if (std::sscanf(text.c_str(), "rgb(%lf,%lf,%lf)", &dr, &dg, &db) == 3 ||
        std::sscanf(text.c_str(), "rgba(%lf,%lf,%lf", &dr, &dg, &db) == 3) {
        auto channel = [](double v) { return v >= 0 && v <= 255 ? int(v + 0.5) : -1; };
        r = channel(dr), g = channel(dg), b = channel(db);
        if (r < 0 || g < 0 || b < 0) return std::nullopt;
        return IArgbColor(alpha, r, g, b);
    }
    return std::nullopt;
}

std::optional<IArgbColor> ChooseColourWithDialog(const IArgbColor& initial, const char* prompt) {
    DialogProgram program = AvailableDialogProgram();
    if (program == DialogProgram::None) {
        SayNoDialogProgram("a colour dialog", nullptr, prompt);
        return std::nullopt;
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "#%02x%02x%02x", initial.r & 0xff, initial.g & 0xff, initial.b & 0xff);
    std::vector<std::string> cmd;
    if (program == DialogProgram::Zenity) {
        cmd = {"zenity", "--color-selection", std::string("--color=") + hex};
        if (prompt && *prompt) cmd.push_back(std::string("--title=") + prompt);
    } else {
        cmd = {"kdialog", "--getcolor", "--default", hex};
        if (prompt && *prompt) cmd.insert(cmd.begin() + 1, {"--title", prompt});
    }
    CommandOutcome outcome = RunCommand(cmd);
    if (!outcome.started || outcome.exitCode != 0) return std::nullopt;
    return ParseDialogColour(outcome.output, initial.a);
}

bool OpenWithDesktop(const char* url) {
    if (!url || !*url) return false;
    // xdg-open hands the address on and ends; a few seconds tell success from failure. One that
    // runs longer has started what it opens in the foreground and counts as opened.
    const int result = RunBriefly({"xdg-open", url}, 3000);
    return result == 0 || result == kStillRunning;
}

std::string ExecutableFolder() {
    char buffer[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (n <= 0) return {};
    buffer[n] = 0;
    return FolderOf(buffer);
}

std::string ThisModuleFolder() {
    Dl_info info{};
    if (!dladdr(reinterpret_cast<void*>(&ThisModuleFolder), &info) || !info.dli_fname) return {};
    char resolved[PATH_MAX];
    if (!realpath(info.dli_fname, resolved)) return FolderOf(info.dli_fname);
    return FolderOf(resolved);
}

std::string DesktopFolder() {
    if (const char* d = std::getenv("XDG_DESKTOP_DIR"); d && *d) return WithSlash(d);
    if (const char* home = std::getenv("HOME"); home && *home) return WithSlash(home) + "Desktop/";
    return {};
}

std::string DataFolder(bool common) {
    if (!common) return WithSlash(LocalAppDataFolderPath());
    if (const char* dirs = std::getenv("XDG_DATA_DIRS"); dirs && *dirs) {
        std::string all = dirs;
        std::string first = all.substr(0, all.find(':'));
        if (!first.empty()) return WithSlash(first);
    }
    return "/usr/local/share/";
}
