#include "graphics/message_dialog.h"
#include "graphics/x11/x11_graphics.h"
#include "platform/posix/dialog_program.h"
#include "platform/system_dialogs.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

// Dialogs and addresses go to the desktop's programs. Stand-ins on PATH record their arguments
// and answer with the exit code and output a test gives them.

namespace {

namespace fs = std::filesystem;

class DesktopTest : public ::testing::Test {
  protected:
    void SetUp() override {
        bin = fs::path(::testing::TempDir()) / ("desktop-bin-" + std::to_string(getpid()));
        fs::remove_all(bin);
        fs::create_directories(bin);
        savedPath = getenv("PATH") ? getenv("PATH") : "";
        setenv("PATH", bin.c_str(), 1);
    }
    void TearDown() override {
        setenv("PATH", savedPath.c_str(), 1);
        fs::remove_all(bin);
    }
    // A program that writes its arguments, one a line, and answers.
    void StandIn(const std::string& name, int exitCode, const std::string& output = "") {
        fs::path script = bin / name;
        std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '%s\\n' \"$a\"; done > '"
                              << Args(name) << "'\nprintf '%s' '" << output << "'\nexit " << exitCode << "\n";
        chmod(script.c_str(), 0755);
    }
    std::string Args(const std::string& name) const { return (bin / (name + ".args")).string(); }
    std::vector<std::string> ArgsOf(const std::string& name) const {
        std::ifstream in(Args(name));
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    bool Called(const std::string& name) const { return fs::exists(Args(name)); }

    fs::path bin;
    std::string savedPath;
};

bool Contains(const std::vector<std::string>& v, const std::string& s) {
    return std::find(v.begin(), v.end(), s) != v.end();
}

// The file dialog as the editor core asks for it.
std::optional<std::string> ChooseFileWithDialog(int action, const std::string& folder,
                                                const std::string& file, const char* extensions) {
    FileDialogRequest request = FileRequestForExtensions(
        action == kFileSave ? FileDialogRequest::Save : FileDialogRequest::Open, extensions);
    request.initialFolder = folder;
    request.initialFile = file;
    return ChooseFileWithSystemDialog(request);
}

TEST_F(DesktopTest, MessageBoxesAnswerWithTheButtonPressed) {
    const struct {
        const char* program;
        int type;
        int exitCode;
        const char* output;
        int answer;
        const char* argument;
    } cases[] = {
        {"zenity", kMessageOk | 0x40, 0, "", kResultOk, "--info"},
        {"zenity", kMessageOk | 0x10, 1, "", kResultOk, "--error"},
        {"zenity", kMessageYesNo, 0, "", kResultYes, "--ok-label=Yes"},
        {"zenity", kMessageYesNo, 1, "", kResultNo, "--cancel-label=No"},
        {"zenity", kMessageOkCancel, 1, "", kResultCancel, "--cancel-label=Cancel"},
        {"zenity", kMessageYesNoCancel, 1, "Cancel\n", kResultCancel, "--extra-button=Cancel"},
        {"zenity", kMessageYesNoCancel, 1, "", kResultNo, "--question"},
        {"kdialog", kMessageOk | 0x10, 0, "", kResultOk, "--error"},
        {"kdialog", kMessageYesNo, 1, "", kResultNo, "--yesno"},
        {"kdialog", kMessageYesNoCancel, 2, "", kResultCancel, "--yesnocancel"},
        {"kdialog", kMessageOkCancel, 0, "", kResultOk, "OK"},
    };
    for (const auto& c : cases) {
        fs::remove_all(bin);
        fs::create_directories(bin);
        StandIn(c.program, c.exitCode, c.output);
        EXPECT_EQ(ShowSystemMessageBox("File Open Error 001.", "Info", c.type, nullptr), c.answer)
            << c.program << " " << c.argument;
        std::vector<std::string> args = ArgsOf(c.program);
        EXPECT_TRUE(Contains(args, c.argument)) << c.program << " " << c.argument;
        // The text arrives whole, never read as markup or split.
        const bool zenity = std::string(c.program) == "zenity";
        EXPECT_TRUE(Contains(args, zenity ? "--text=File Open Error 001." : "File Open Error 001."));
        EXPECT_TRUE(Contains(args, zenity ? "--title=Info" : "Info"));
    }
}

TEST_F(DesktopTest, WithoutADialogProgramTheBoxIsRefusedOnStderr) {
    for (auto [type, answer] : {std::pair{kMessageOk, kResultOk}, std::pair{kMessageYesNo, kResultNo},
                                std::pair{kMessageOkCancel, kResultCancel}}) {
        ::testing::internal::CaptureStderr();
        EXPECT_EQ(ShowSystemMessageBox("Error_6", "Error", type, nullptr), answer);
        std::string said = ::testing::internal::GetCapturedStderr();
        EXPECT_NE(said.find("zenity"), std::string::npos);
        EXPECT_NE(said.find("Error_6"), std::string::npos);
    }
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(ChooseFileWithDialog(kFileOpen, "/tmp", "", "alg"));
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("kdialog"), std::string::npos);
}

TEST_F(DesktopTest, FileDialogsStartInTheFolderAndOfferTheExtensions) {
    // Folders that exist (one that does not gives way to the documents folder).
    const std::string mics = (bin / "mics").string();
    fs::create_directories(mics);
    std::ofstream(bin / "mics" / "y.alg") << "x";
    StandIn("zenity", 0, mics + "/new.alg\n");
    EXPECT_EQ(ChooseFileWithDialog(kFileSave, mics, "old.alg", "alg txt"), mics + "/new.alg");
    std::vector<std::string> args = ArgsOf("zenity");
    for (const std::string& a : {std::string("--file-selection"), std::string("--save"),
                                 "--filename=" + mics + "/old.alg", std::string("--file-filter=*.alg *.txt")})
        EXPECT_TRUE(Contains(args, a)) << a;

    StandIn("zenity", 1, "");
    EXPECT_FALSE(ChooseFileWithDialog(kFileOpen, mics + "/", "", "alg"));
    EXPECT_FALSE(Contains(ArgsOf("zenity"), "--save"));

    fs::remove(bin / "zenity");
    StandIn("kdialog", 0, mics + "/y.alg\n");
    EXPECT_EQ(ChooseFileWithDialog(kFileOpen, mics, "", "alg"), mics + "/y.alg");
    EXPECT_EQ(ArgsOf("kdialog"), (std::vector<std::string>{"--getopenfilename", mics + "/", "*.alg"}));
}

TEST_F(DesktopTest, AddressesOpenWithXdgOpen) {
    StandIn("xdg-open", 0);
    EXPECT_EQ(OpenWithSystem("https://example.org/help", nullptr), kShellOpened);
    EXPECT_EQ(ArgsOf("xdg-open"), std::vector<std::string>{"https://example.org/help"});
    StandIn("xdg-open", 4);
    EXPECT_EQ(OpenWithSystem("https://example.org/help", nullptr), 0);
    fs::remove(bin / "xdg-open");
    EXPECT_EQ(OpenWithSystem("https://example.org/help", nullptr), 0);
    EXPECT_EQ(OpenWithSystem("", nullptr), 0);
}

// An editor made without any display: it exists without a window and still asks the desktop to
// open addresses.
TEST_F(DesktopTest, EditorWithoutADisplay) {
    std::string display = getenv("DISPLAY") ? getenv("DISPLAY") : "";
    unsetenv("DISPLAY");
    {
        IGraphicsX11 editor(nullptr, 730, 330, 25);
        EXPECT_EQ(editor.NativeWindow(), nullptr);
        EXPECT_EQ(editor.DrawingApiName(), "X11");

        // A declined confirmation opens nothing; a failed open shows the error text.
        StandIn("zenity", 1);
        StandIn("xdg-open", 0);
        EXPECT_FALSE(editor.LaunchUrl("https://example.org", "Help", "Open the web page?", nullptr));
        EXPECT_FALSE(Called("xdg-open"));
        StandIn("zenity", 0);
        EXPECT_TRUE(editor.LaunchUrl("https://example.org", "Help", "Open the web page?", nullptr));
        EXPECT_TRUE(Called("xdg-open"));
        StandIn("xdg-open", 1);
        EXPECT_FALSE(editor.LaunchUrl("https://example.org", "Help", nullptr, "No connection"));
        EXPECT_TRUE(Contains(ArgsOf("zenity"), "--text=No connection"));
    }
    if (!display.empty()) setenv("DISPLAY", display.c_str(), 1);
}

} // namespace
