// The plug-in's Save and Load with its X11 editor in a host window: the dialog program runs beside
// the host, whose run loop keeps turning and brings the answer; closing the editor ends the
// dialog; messages appear as panels in the editor.
#include "graphics/graphics.h"
#include "graphics/message_dialog.h"
#include "graphics/modal_panel.h"
#include "graphics/platform_editor.h"
#include "graphics/x11/x11_graphics.h"
#include "plugin/alg_engine.h"
#include "plugin/alg_file.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"
#include "support/message_recorder.h"
#include "x11/x11_host.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// Counts the host loop's turns while a dialog is open.
struct CountingTimer final : vst::ITimerHandler {
    vst::tresult queryInterface(const vst::TUID, void** obj) override {
        *obj = nullptr;
        return vst::kNoInterface;
    }
    vst::uint32 addRef() override { return 1; }
    vst::uint32 release() override { return 1; }
    void onTimer() override { ++ticks; }
    int ticks = 0;
};

// One plug-in instance with the platform's (X11) editor, its home and PATH in a private folder,
// and a stand-in for zenity that a test writes.
class X11DialogTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Ok()) << "no X display";
        root = fs::path(::testing::TempDir()) / ("x11-dialogs-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "bin");
        fs::create_directories(root / "home" / "Documents");
        saved = {Env("PATH"), Env("HOME"), Env("XDG_DOCUMENTS_DIR"), Env("XDG_DATA_HOME")};
        setenv("PATH", ((root / "bin").string() + ":/usr/bin:/bin").c_str(), 1);
        setenv("HOME", (root / "home").c_str(), 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        unsetenv("XDG_DATA_HOME");
        plug = new IMicCorrector(CreatePlatformEditor);
    }
    void TearDown() override {
        if (plug) plug->release();
        plug = nullptr;
        Restore("PATH", saved[0]);
        Restore("HOME", saved[1]);
        Restore("XDG_DOCUMENTS_DIR", saved[2]);
        Restore("XDG_DATA_HOME", saved[3]);
        fs::remove_all(root);
    }
    static std::string Env(const char* name) { return getenv(name) ? getenv(name) : std::string("\x01"); }
    static void Restore(const char* name, const std::string& value) {
        if (value == "\x01")
            unsetenv(name);
        else
            setenv(name, value.c_str(), 1);
    }

    IGraphicsX11& Editor() { return static_cast<IGraphicsX11&>(*plug->Editor()); }
    bool Open() {
        Editor().UseHostRunLoop(frame.RunLoop());
        if (!Editor().AttachToParent(host.Handle())) return false;
        loop.RunFor(200);
        return true;
    }
    void ClickAt(const IPixelRect& r) { host.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    // The stand-in dialog: the body is shell; it also notes its pid.
    void Dialog(const std::string& body, const char* program = "zenity") {
        const fs::path script = root / "bin" / program;
        std::ofstream(script) << "#!/bin/sh\necho $$ > '" << (root / "dialog.pid").string() << "'\n"
                              << body << "\n";
        chmod(script.c_str(), 0755);
    }
    pid_t DialogPid() {
        pid_t pid = 0;
        std::ifstream(root / "dialog.pid") >> pid;
        return pid;
    }
    MessagePanel* Message() { return dynamic_cast<MessagePanel*>(Editor().TopPanel()); }
    // Clicks a button whose dialog ends in a message and waits for it; the message's copy on stderr
    // is kept out of the test's output.
    bool ClickAndAwaitMessage(const IPixelRect& button) {
        ::testing::internal::CaptureStderr();
        ClickAt(button);
        const bool shown = loop.RunUntil([&] { return !Editor().FileDialogOpen() && Message(); }, 3000);
        ::testing::internal::GetCapturedStderr();
        return shown;
    }

    HostWindow host{800, 400};
    CountingTimer counter; // before the loop, which holds on to what was registered with it
    TestRunLoop loop;
    TestFrame frame{&loop};
    fs::path root;
    std::vector<std::string> saved;
    IMicCorrector* plug = nullptr;
};

TEST_F(X11DialogTest, SaveAndLoadRunBesideTheHostsLoop) {
    ASSERT_TRUE(Open());
    const fs::path file = root / "home" / "mine.alg";
    // Answers after two seconds, with the warnings such programs print on the way.
    Dialog("echo 'dconf-WARNING: unable to open file' >&2\nsleep 2\nprintf '%s\\n' '" +
           (root / "home" / "mine").string() + "'");
    std::unique_ptr<RAST_MemBitmap> before = host.Capture(Editor().WindowId());
    ASSERT_TRUE(before);

    ASSERT_EQ(loop.registerTimer(&counter, 25), vst::kResultOk);
    ::testing::internal::CaptureStderr();
    const auto started = std::chrono::steady_clock::now();
    ClickAt(editor_rect::kSave);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().FileDialogOpen(); }, 2000));
    // The click returned at once: the editor shows that it waits while the host runs on.
    loop.RunFor(300);
    std::unique_ptr<RAST_MemBitmap> waiting = host.Capture(Editor().WindowId());
    ASSERT_TRUE(waiting);
    int changed = 0;
    for (int y = 0; y < kEditorHeight; ++y)
        for (int x = 0; x < kEditorWidth; ++x)
            changed += (waiting->Row(y)[x] & 0xffffff) != (before->Row(y)[x] & 0xffffff);
    EXPECT_GT(changed, kEditorWidth * kEditorHeight / 2) << "the face is dimmed under the waiting panel";
    ASSERT_NE(Message(), nullptr);
    EXPECT_EQ(Message()->Caption(), "Save Preset");
    // Clicks on the face are ignored meanwhile: Load does not start a second dialog.
    ClickAt(editor_rect::kLoad);
    loop.RunFor(200);
    EXPECT_TRUE(Editor().FileDialogOpen());
    EXPECT_FALSE(fs::exists(file));

    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().FileDialogOpen(); }, 6000));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    loop.unregisterTimer(&counter);
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_GE(seconds, 2.0);
    EXPECT_GE(counter.ticks, 40) << "over " << seconds << " s";
    EXPECT_EQ(said.find("dconf"), std::string::npos) << said;
    ASSERT_TRUE(fs::exists(file)) << "the answer's name gets the .alg extension";
    EXPECT_EQ(fs::file_size(file), 2776u);
    EXPECT_FALSE(Editor().PanelOpen());

    // Load through the same road: a file of an older version is refused with its message, shown
    // in the editor, and the OK button (here: Return) closes it.
    {
        std::fstream f(file, std::ios::in | std::ios::out | std::ios::binary);
        const int32_t old = 2018;
        f.write(reinterpret_cast<const char*>(&old), 4);
    }
    Dialog("printf '%s\\n' '" + file.string() + "'");
    ::testing::internal::CaptureStderr();
    ClickAt(editor_rect::kLoad);
    ASSERT_TRUE(loop.RunUntil([&] { return Message() && Message()->Text().find("Old version") == 0; }, 3000));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Message()->Text(), "Old version of the ALG file is not supported.");
    EXPECT_EQ(Message()->Caption(), "Info");
    host.Type(0xff0d); // Return
    EXPECT_TRUE(loop.RunUntil([&] { return !Editor().PanelOpen(); }, 2000));
}

TEST_F(X11DialogTest, ClosingTheEditorOrCancellingEndsTheDialog) {
    ASSERT_TRUE(Open());
    const fs::path file = root / "home" / "never.alg";
    Dialog("sleep 30\nprintf '%s\\n' '" + file.string() + "'");

    // Escape on the waiting panel gives up on a dialog that does not answer.
    ClickAt(editor_rect::kSave);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().FileDialogOpen() && DialogPid() > 0; }, 3000));
    pid_t pid = DialogPid();
    host.Type(0xff1b); // Escape
    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().FileDialogOpen(); }, 2000));
    EXPECT_NE(kill(pid, 0), 0) << "the dialog program is gone";
    EXPECT_FALSE(Editor().PanelOpen());

    // Closing the editor mid-dialog ends it at once, and no answer comes afterwards.
    fs::remove(root / "dialog.pid");
    loop.RunFor(600); // past the double-click time
    ClickAt(editor_rect::kSave);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().FileDialogOpen() && DialogPid() > 0; }, 3000));
    pid = DialogPid();
    const auto started = std::chrono::steady_clock::now();
    Editor().DetachWindow();
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 1.0);
    EXPECT_NE(kill(pid, 0), 0);
    EXPECT_FALSE(Editor().FileDialogOpen());
    EXPECT_EQ(loop.EventHandlers(), 0u);

    // Released while a dialog runs: the instance goes, the child with it.
    fs::remove(root / "dialog.pid");
    ASSERT_TRUE(Open());
    ClickAt(editor_rect::kLoad);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().FileDialogOpen() && DialogPid() > 0; }, 3000));
    pid = DialogPid();
    plug->release();
    plug = nullptr;
    EXPECT_NE(kill(pid, 0), 0);
    loop.RunFor(100);
    EXPECT_EQ(loop.EventHandlers(), 0u);
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(X11DialogTest, ABrokenDialogProgramOrAnUnwritablePlaceIsSaidInTheEditor) {
    ASSERT_TRUE(Open());
    const struct {
        const char* body;
        const char* message;
    } cases[] = {
        {"kill -SEGV $$", "The file dialog closed unexpectedly. Nothing was changed."},
        {"printf 'Gtk-Message: no display\\n'; exit 0",
         "The file dialog did not answer with a usable file name. Nothing was changed."},
        {"printf '/tmp/a.alg\\n/tmp/b.alg\\n'",
         "The file dialog did not answer with a usable file name. Nothing was changed."},
        {"printf '/tmp/\\377\\376.alg\\n'",
         "The file dialog did not answer with a usable file name. Nothing was changed."},
        {"exit 5", "The file dialog closed unexpectedly. Nothing was changed."},
        // A place that cannot be written: Save's own message, now seen.
        {"printf '/nonexistent-folder/x.alg\\n'", "Save File Error_003"},
    };
    for (const auto& c : cases) {
        Dialog(c.body);
        EXPECT_TRUE(ClickAndAwaitMessage(editor_rect::kSave)) << c.body;
        ASSERT_NE(Message(), nullptr) << c.body;
        EXPECT_EQ(Message()->Text(), c.message) << c.body;
        // The OK button closes it.
        loop.RunFor(100);
        const IPixelRect ok = Message()->ButtonRect(0);
        ClickAt(ok);
        EXPECT_TRUE(loop.RunUntil([&] { return !Editor().PanelOpen(); }, 2000)) << c.body;
        loop.RunFor(600); // past the double-click time
    }
    EXPECT_FALSE(fs::exists("/tmp/a.alg"));
}

// Help hands the page to the desktop's opener and returns at once; when the opener fails, the
// panel says where the pages were written.
TEST_F(X11DialogTest, HelpDoesNotWaitForTheOpener) {
    ASSERT_TRUE(Open());
    fs::create_directories(root / "home" / ".local" / "share");
    const std::string folder =
        (root / "home" / ".local" / "share" / "Tessivane" / "Vorelline VST").string() + "/";
    ASSERT_EQ(loop.registerTimer(&counter, 25), vst::kResultOk);

    // An opener that fails after two seconds.
    Dialog("sleep 2\nexit 4", "xdg-open");
    ::testing::internal::CaptureStderr();
    const auto started = std::chrono::steady_clock::now();
    ClickAt(editor_rect::kHelp);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().OpenerRunning(); }, 2000));
    EXPECT_FALSE(Editor().PanelOpen()) << "nothing is said while it runs";
    EXPECT_TRUE(fs::exists(folder + "1.htm"));
    ASSERT_TRUE(loop.RunUntil([&] { return Message() != nullptr; }, 6000));
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    loop.unregisterTimer(&counter);
    ::testing::internal::GetCapturedStderr();
    EXPECT_GE(seconds, 2.0);
    EXPECT_GE(counter.ticks, 40) << "over " << seconds << " s";
    EXPECT_EQ(Message()->Text(), "No program to open the help pages was found. They were written to " + folder +
                                     " - open 1.htm there with a web browser.");
    EXPECT_FALSE(Editor().OpenerRunning());
    host.Type(0xff0d); // Return
    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().PanelOpen(); }, 2000));

    // One that succeeds says nothing.
    loop.RunFor(600); // past the double-click time
    Dialog("sleep 1\nexit 0", "xdg-open");
    ClickAt(editor_rect::kHelp);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().OpenerRunning(); }, 2000));
    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().OpenerRunning(); }, 4000));
    loop.RunFor(200);
    EXPECT_FALSE(Editor().PanelOpen());

    // Closing the editor while it runs lets it finish its work: not ended, nothing said afterwards.
    loop.RunFor(600);
    fs::remove(root / "dialog.pid");
    Dialog("sleep 1\nexit 4", "xdg-open");
    ClickAt(editor_rect::kHelp);
    ASSERT_TRUE(loop.RunUntil([&] { return Editor().OpenerRunning() && DialogPid() > 0; }, 2000));
    const pid_t pid = DialogPid();
    Editor().DetachWindow();
    EXPECT_FALSE(Editor().OpenerRunning());
    EXPECT_EQ(kill(pid, 0), 0) << "the opener runs on";
    EXPECT_EQ(loop.EventHandlers(), 0u);
    loop.RunFor(1500);
    EXPECT_FALSE(Editor().PanelOpen());
}

// The editor core's own message box: one with only OK is a panel and returns at once; a question
// must be answered before the call returns, so the desktop's box asks it.
TEST_F(X11DialogTest, TheEditorCoresMessageIsAPanelAndItsQuestionTheDesktopsBox) {
    ASSERT_TRUE(Open());
    Dialog("exit 0");
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(Editor().MessageDialog("Saved.", "Info", kMessageOk), kResultOk);
    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count(), 0.5);
    EXPECT_EQ(DialogPid(), 0) << "no program was asked";
    ASSERT_NE(Message(), nullptr);
    EXPECT_EQ(Message()->Caption(), "Info");
    EXPECT_EQ(Message()->Text(), "Saved.");
    loop.RunFor(100); // drawn, so that its button has its place
    ClickAt(Message()->ButtonRect(0));
    EXPECT_TRUE(loop.RunUntil([&] { return !Editor().PanelOpen(); }, 2000));

    EXPECT_EQ(Editor().MessageDialog("Replace the curve?", "Info", kMessageYesNo), kResultYes);
    EXPECT_GT(DialogPid(), 0);
    EXPECT_FALSE(Editor().PanelOpen());
}

// The file the dialog answered with is deleted, cut short or turned into a folder before it is
// read: the message says so and the correction stays as it was.
TEST_F(X11DialogTest, AFileReplacedBeforeItIsReadChangesNothing) {
    ASSERT_TRUE(Open());
    const std::string file = (root / "home" / "Documents" / "chosen.alg").string();
    const auto state = [&] { return EncodeAlgRecord(AlgRecordFromEngine(plug->Engine().Snapshot())); };
    const auto before = state();
    const struct {
        const char* change;
        const char* message;
    } cases[] = {
        {"rm -f \"$f\"", "File Open Error 001."},
        {"printf 'cut' > \"$f\"", "ALG file is damaged (or created by a newer version of the program)."},
        {"rm -f \"$f\"; mkdir \"$f\"", "File Open Error 001."},
    };
    for (const auto& c : cases) {
        fs::remove_all(file);
        {
            MessageRecorder quiet;
            // A correction other than the instance's, so that reading it would show.
            AlgRecord other = AlgRecordFromEngine(plug->Engine().Snapshot());
            other.gainPosition = 0.9;
            ASSERT_TRUE(SaveAlgFile(file, other));
        }
        // The answer names the file, and the file changes before the program has ended.
        Dialog("f='" + file + "'\nprintf '%s\\n' \"$f\"\n" + c.change);
        EXPECT_TRUE(ClickAndAwaitMessage(editor_rect::kLoad)) << c.change;
        ASSERT_NE(Message(), nullptr) << c.change;
        EXPECT_EQ(Message()->Text(), c.message) << c.change;
        EXPECT_EQ(state(), before) << c.change;
        host.Type(0xff0d); // Return
        EXPECT_TRUE(loop.RunUntil([&] { return !Editor().PanelOpen(); }, 2000));
        loop.RunFor(600); // past the double-click time
    }
}

} // namespace
