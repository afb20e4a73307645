#include "platform/user_dialogs.h"

#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

extern char** environ;

namespace {

bool OnPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    if (!path) return false;
    std::string list = path;
    std::size_t start = 0;
    while (start <= list.size()) {
        std::size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        std::string candidate = end > start ? list.substr(start, end - start) : std::string(".");
        candidate += '/';
        candidate += program;
        if (access(candidate.c_str(), X_OK) == 0) return true;
        start = end + 1;
    }
    return false;
}

// Runs a program and collects what it prints; nothing when it cannot start or exits with failure.
std::optional<std::string> RunAndRead(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return std::nullopt;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addclose(&actions, fds[1]);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    int spawned = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    std::string out;
    if (spawned == 0) {
        char buffer[512];
        for (;;) {
            ssize_t n = read(fds[0], buffer, sizeof buffer);
            if (n > 0)
                out.append(buffer, static_cast<std::size_t>(n));
            else if (n < 0 && errno == EINTR)
                continue;
            else
                break;
        }
    }
    close(fds[0]);
    if (spawned != 0) return std::nullopt;
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r'))
        out.pop_back();
    return out;
}

bool HasExtension(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    const std::size_t dot = path.find_last_of('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

class PosixUserDialogs final : public IUserDialogs {
  public:
    std::optional<std::string> ChooseFile(const FileDialogRequest& r) override {
        const bool save = r.kind == FileDialogRequest::Save;
        std::string folder = r.initialFolder;
        if (!folder.empty() && folder.back() != '/') folder.push_back('/');
        std::optional<std::string> chosen;
        if (OnPath("zenity")) {
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
            chosen = RunAndRead(args);
        } else if (OnPath("kdialog")) {
            std::string filter = r.filterPattern;
            filter += "|";
            filter += r.filterName;
            chosen =
                RunAndRead({"kdialog", "--title", r.title, save ? "--getsavefilename" : "--getopenfilename",
                            folder.empty() ? "." : folder, filter});
        } else {
            std::fprintf(stderr, "%s: no file dialog is available here (install zenity or kdialog)\n",
                         r.title.c_str());
            return std::nullopt;
        }
        if (!chosen || chosen->empty()) return std::nullopt;
        if (save && !r.defaultExtension.empty() && !HasExtension(*chosen)) {
            *chosen += '.';
            *chosen += r.defaultExtension;
        }
        if (!save) {
            struct stat st;
            if (stat(chosen->c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
        }
        return chosen;
    }

    int OpenWithShell(const std::string& path) override {
        struct stat st;
        if (stat(path.c_str(), &st) != 0) return kShellFileNotFound;
        if (!OnPath("xdg-open")) {
            std::fprintf(stderr, "cannot open %s: xdg-open is not installed\n", path.c_str());
            return 0;
        }
        return RunAndRead({"xdg-open", path}) ? kShellOpened : 0;
    }
};

} // namespace

IUserDialogs& PlatformUserDialogs() {
    static PosixUserDialogs dialogs;
    return dialogs;
}
