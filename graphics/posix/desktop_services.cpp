#include "graphics/posix/desktop_services.h"

#include "graphics/message_dialog.h"
#include "platform/file_system.h"

#include <dlfcn.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

extern char** environ;

namespace {

constexpr size_t kMaxOutput = 64 * 1024;

// Windows message-box numbers: buttons in the low nibble, icon in the next.
constexpr int kIconError = 0x10;
constexpr int kIconQuestion = 0x20;
constexpr int kIconWarning = 0x30;

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv) {
    std::vector<char*> out;
    for (const std::string& a : argv)
        out.push_back(const_cast<char*>(a.c_str()));
    out.push_back(nullptr);
    return out;
}

// Spawns argv with stdin from /dev/null, stdout into outFd (or /dev/null when -1) and stderr to
// /dev/null; the child's pid, or -1.
pid_t Spawn(const std::vector<std::string>& argv, int outFd) {
    if (argv.empty() || argv[0].empty()) return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    if (outFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, outFd, 1);
    else
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = ArgvPointers(argv);
    pid_t pid = -1;
    int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

int ExitCodeOf(int status) {
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Children that outlived the wait of OpenWithDesktop (a browser started in the foreground);
// collected later so that none stays a zombie.
std::vector<pid_t>& LingeringChildren() {
    static std::vector<pid_t> children;
    return children;
}

void ReapLingeringChildren() {
    auto& list = LingeringChildren();
    for (size_t i = 0; i < list.size();) {
        int status = 0;
        if (waitpid(list[i], &status, WNOHANG) != 0)
            list.erase(list.begin() + long(i));
        else
            ++i;
    }
}

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

CommandOutcome RunCommand(const std::vector<std::string>& argv) {
    CommandOutcome outcome;
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return outcome;
    pid_t pid = Spawn(argv, pipeFds[1]);
    close(pipeFds[1]);
    if (pid < 0) {
        close(pipeFds[0]);
        return outcome;
    }
    outcome.started = true;
    char buffer[4096];
    for (;;) {
        ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n > 0) {
            size_t room = kMaxOutput - outcome.output.size();
            outcome.output.append(buffer, std::min(size_t(n), room));
            continue;
        }
        if (n < 0 && errno == EINTR) continue;
        break;
    }
    close(pipeFds[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.exitCode = ExitCodeOf(status);
    return outcome;
}

std::string FindOnPath(const char* program) {
    if (!program || !*program) return {};
    const char* path = std::getenv("PATH");
    if (!path) return {};
    std::string all = path;
    size_t start = 0;
    while (start <= all.size()) {
        size_t end = all.find(':', start);
        if (end == std::string::npos) end = all.size();
        // An empty entry means the current folder.
        std::string candidate = end > start ? all.substr(start, end - start) : std::string(".");
        candidate.push_back('/');
        candidate.append(program);
        struct stat st;
        if (stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) && access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return {};
}

DialogProgram AvailableDialogProgram() {
    if (!FindOnPath("zenity").empty()) return DialogProgram::Zenity;
    if (!FindOnPath("kdialog").empty()) return DialogProgram::KDialog;
    return DialogProgram::None;
}

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
    ReapLingeringChildren();
    if (!url || !*url) return false;
    pid_t pid = Spawn({"xdg-open", url}, -1);
    if (pid < 0) return false;
    // xdg-open hands the address on and ends; a few seconds tell success from failure. One that
    // runs longer has started what it opens in the foreground and counts as opened.
    for (int i = 0; i < 300; ++i) {
        int status = 0;
        pid_t done = waitpid(pid, &status, WNOHANG);
        if (done == pid) return ExitCodeOf(status) == 0;
        if (done < 0) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    LingeringChildren().push_back(pid);
    return true;
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
