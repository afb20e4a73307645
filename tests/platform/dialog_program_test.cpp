// Reading what a dialog program answers, and where dialogs start.
#include "platform/posix/dialog_program.h"

#include "platform/posix/child_process.h"
#include "platform/system_dialogs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// PATH for a test: a folder of its own, put first; the old PATH comes back when it ends.
class ScratchPath {
  public:
    explicit ScratchPath(const std::string& name)
        : folder(fs::path(::testing::TempDir()) / (name + "-" + std::to_string(getpid()))) {
        fs::remove_all(folder);
        fs::create_directories(folder / "first");
        fs::create_directories(folder / "second");
        saved = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", ((folder / "first").string() + ":" + (folder / "second").string()).c_str(), 1);
    }
    ~ScratchPath() {
        setenv("PATH", saved.c_str(), 1);
        fs::remove_all(folder);
    }
    // A shell script named `name` in the first or second folder of PATH.
    fs::path Program(const std::string& name, const std::string& body, bool executable = true,
                     const char* where = "first") {
        const fs::path file = folder / where / name;
        std::ofstream(file) << "#!/bin/sh\n" << body << "\n";
        fs::permissions(file, executable ? fs::perms(0755) : fs::perms(0644));
        return file;
    }
    fs::path folder;

  private:
    std::string saved;
};

FileDialogRequest Request(FileDialogRequest::Kind kind) {
    FileDialogRequest r;
    r.kind = kind;
    r.title = kind == FileDialogRequest::Save ? "Save Preset" : "Load Preset";
    r.filterName = "ALG file";
    r.filterPattern = "*.alg";
    r.defaultExtension = "alg";
    return r;
}

TEST(DialogAnswer, OnlyOneAbsoluteFileNameIsTaken) {
    const fs::path existing =
        fs::path(::testing::TempDir()) / ("answer-" + std::to_string(getpid()) + ".alg");
    std::ofstream(existing) << "x";
    const std::string unusable = kDialogAnswerUnusableText;
    const struct {
        FileDialogRequest::Kind kind;
        bool signalled;
        int exitCode;
        std::string output;
        FileDialogAnswer::Kind answer;
        std::string pathOrMessage;
    } cases[] = {
        {FileDialogRequest::Save, false, 0, "/home/u/mic\n", FileDialogAnswer::Chosen, "/home/u/mic.alg"},
        {FileDialogRequest::Save, false, 0, "/home/u/mic.v2.alg\r\n", FileDialogAnswer::Chosen,
         "/home/u/mic.v2.alg"},
        {FileDialogRequest::Save, false, 0, "/home/u/.hidden\n", FileDialogAnswer::Chosen,
         "/home/u/.hidden.alg"},
        {FileDialogRequest::Save, false, 0, "/home/u/caf\xc3\xa9\n", FileDialogAnswer::Chosen,
         "/home/u/caf\xc3\xa9.alg"},
        {FileDialogRequest::Open, false, 0, existing.string() + "\n", FileDialogAnswer::Chosen,
         existing.string()},
        {FileDialogRequest::Save, false, 1, "", FileDialogAnswer::Cancelled, ""},
        {FileDialogRequest::Save, false, 0, "\n", FileDialogAnswer::Cancelled, ""},
        {FileDialogRequest::Save, true, -1, "/home/u/mic\n", FileDialogAnswer::Failed, kDialogFailedText},
        {FileDialogRequest::Save, false, 255, "", FileDialogAnswer::Failed, kDialogFailedText},
        {FileDialogRequest::Save, false, 0, "/a\n/b\n", FileDialogAnswer::Failed, unusable},
        {FileDialogRequest::Save, false, 0, "mic.alg\n", FileDialogAnswer::Failed, unusable},
        {FileDialogRequest::Save, false, 0, "/home/u/\n", FileDialogAnswer::Failed, unusable},
        {FileDialogRequest::Save, false, 0, "/home/u/\xff.alg\n", FileDialogAnswer::Failed, unusable},
        {FileDialogRequest::Save, false, 0, "/home/u/\xc0\xaf.alg\n", FileDialogAnswer::Failed, unusable},
        {FileDialogRequest::Save, false, 0, "/home/u/a\tb\n", FileDialogAnswer::Failed, unusable},
        {FileDialogRequest::Save, false, 0, "/" + std::string(1100, 'a') + "\n", FileDialogAnswer::Failed,
         unusable},
        {FileDialogRequest::Open, false, 0, "/nonexistent/x.alg\n", FileDialogAnswer::Failed,
         "File Open Error 001."},
        {FileDialogRequest::Open, false, 0, "/tmp\n", FileDialogAnswer::Failed, "File Open Error 001."},
    };
    for (const auto& c : cases) {
        const FileDialogAnswer a = ReadFileDialogAnswer(Request(c.kind), c.signalled, c.exitCode, c.output);
        EXPECT_EQ(a.kind, c.answer) << c.output;
        EXPECT_EQ(a.kind == FileDialogAnswer::Failed ? a.message : a.path, c.pathOrMessage) << c.output;
    }
    fs::remove(existing);
}

TEST(DialogStart, DocumentsFolderElseDocumentsElseHome) {
    const fs::path home = fs::path(::testing::TempDir()) / ("start-" + std::to_string(getpid()));
    fs::remove_all(home);
    fs::create_directories(home / "own");
    const std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home.c_str(), 1);
    unsetenv("XDG_DOCUMENTS_DIR");
    EXPECT_EQ(DialogStartFolder((home / "own").string()), (home / "own").string() + "/");
    EXPECT_EQ(DialogStartFolder((home / "missing").string()), home.string() + "/");
    fs::create_directories(home / "Documents");
    EXPECT_EQ(DialogStartFolder((home / "missing").string()), (home / "Documents").string() + "/");
    EXPECT_EQ(DialogStartFolder(""), (home / "Documents").string() + "/");
    setenv("XDG_DOCUMENTS_DIR", (home / "own").c_str(), 1);
    EXPECT_EQ(DialogStartFolder(""), (home / "own").string() + "/");
    unsetenv("XDG_DOCUMENTS_DIR");
    setenv("HOME", savedHome.c_str(), 1);
    fs::remove_all(home);
}

// zenity's Save asks before replacing a file; its Open must not (it would ask about reading).
TEST(DialogCommand, ZenityAsksBeforeReplacingOnlyWhenSaving) {
    auto has = [](const std::vector<std::string>& args, const std::string& arg) {
        return std::find(args.begin(), args.end(), arg) != args.end();
    };
    const auto save = FileDialogCommand(DialogProgram::Zenity, Request(FileDialogRequest::Save));
    const auto open = FileDialogCommand(DialogProgram::Zenity, Request(FileDialogRequest::Open));
    EXPECT_TRUE(has(save, "--save"));
    EXPECT_TRUE(has(save, "--confirm-overwrite"));
    EXPECT_FALSE(has(open, "--save"));
    EXPECT_FALSE(has(open, "--confirm-overwrite"));
}

// A Yes/No/Cancel box answers No only when the user pressed No: a program that ends any other way
// (an unknown exit code, killed, not started) answers Cancel, so nothing is dropped unasked. The
// boxes run for real, as scripts named like the dialog programs.
TEST(DialogMessageBox, OnlyNoAnswersNoAndEverythingElseCancels) {
    const struct {
        DialogProgram program;
        const char* script;
        int answer;
    } cases[] = {
        {DialogProgram::Zenity, "exit 0", kAnswerYes},
        {DialogProgram::Zenity, "exit 1", kAnswerNo},
        {DialogProgram::Zenity, "echo Cancel; exit 1", kAnswerCancel},
        {DialogProgram::Zenity, "exit 5", kAnswerCancel},   // timed out
        {DialogProgram::Zenity, "exit 255", kAnswerCancel}, // closed or failed
        {DialogProgram::Zenity, "exit 2", kAnswerCancel},
        {DialogProgram::Zenity, "kill -KILL $$", kAnswerCancel},
        {DialogProgram::Zenity, "kill -TERM $$", kAnswerCancel},
        {DialogProgram::KDialog, "exit 0", kAnswerYes},
        {DialogProgram::KDialog, "exit 1", kAnswerNo},
        {DialogProgram::KDialog, "exit 2", kAnswerCancel},
        {DialogProgram::KDialog, "exit 3", kAnswerCancel},
        {DialogProgram::KDialog, "kill -KILL $$", kAnswerCancel},
    };
    for (const auto& c : cases) {
        const char* name = c.program == DialogProgram::Zenity ? "zenity" : "kdialog";
        SCOPED_TRACE(std::string(name) + ": " + c.script);
        ScratchPath path("message-box");
        path.Program(name, c.script);
        ASSERT_EQ(AvailableDialogProgram(), c.program);
        EXPECT_EQ(ShowSystemMessageBox("old.alg already exists. Do you want to replace it?", "Info",
                                       kBoxYesNoCancel | kBoxIconQuestion, nullptr),
                  c.answer);
    }
    // A box that cannot be started at all.
    for (DialogProgram program : {DialogProgram::Zenity, DialogProgram::KDialog})
        EXPECT_EQ(MessageBoxAnswer(program, kBoxYesNoCancel, false, -1, ""), kAnswerCancel);
}

// A file named like a dialog program that may not be run (or a folder of that name) is passed
// over: the search goes on along PATH, and without another the editor uses its own panels.
TEST(DialogProgramSearch, OnlyAnExecutableFileCounts) {
    ScratchPath path("dialog-search");
    path.Program("zenity", "exit 0", false);
    fs::create_directories(path.folder / "first" / "kdialog");
    EXPECT_EQ(FindOnPath("zenity"), "");
    EXPECT_EQ(FindOnPath("kdialog"), "");
    EXPECT_EQ(AvailableDialogProgram(), DialogProgram::None);
    EXPECT_EQ(ShowSystemMessageBox("Replace?", "Info", kBoxYesNo, nullptr), kAnswerNo);

    const fs::path runnable = path.Program("zenity", "exit 0", true, "second");
    EXPECT_EQ(FindOnPath("zenity"), runnable.string());
    EXPECT_EQ(AvailableDialogProgram(), DialogProgram::Zenity);
    EXPECT_EQ(ShowSystemMessageBox("Replace?", "Info", kBoxYesNo, nullptr), kAnswerYes);
}

} // namespace
