// Reading what a dialog program answers, and where dialogs start.
#include "platform/posix/dialog_program.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

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

} // namespace
