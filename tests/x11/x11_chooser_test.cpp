// Without a dialog program the editor asks for the file itself: its chooser driven by XTest
// clicks and keys, for Save (name field, refused names, the question before replacing) and Load
// (folders, going up, a folder that cannot be read, a list longer than its rows).
#include "graphics/modal_panel.h"
#include "graphics/platform_editor.h"
#include "graphics/x11/file_chooser_panel.h"
#include "graphics/x11/x11_graphics.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "support/posix/unprivileged_child.h"
#include "x11/x11_host.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kReturn = 0xff0d, kEscape = 0xff1b, kBackSpace = 0xff08, kDown = 0xff54, kHome = 0xff50,
                   kPageUp = 0xff55, kPageDown = 0xff56, kEnd = 0xff57;

class X11ChooserTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Ok()) << "no X display";
        root = fs::path(::testing::TempDir()) / ("x11-chooser-" + std::to_string(getpid()));
        fs::remove_all(root);
        fs::create_directories(root / "bin");
        docs = root / "home" / "Documents" / "Tessivane Vorelline";
        fs::create_directories(docs / "sub");
        fs::create_directories(docs / "gone");
        std::ofstream(docs / "old.alg") << "older";
        std::ofstream(docs / "notes.txt") << "not offered";
        savedPath = getenv("PATH") ? getenv("PATH") : "";
        savedHome = getenv("HOME") ? getenv("HOME") : "";
        // No zenity, no kdialog.
        setenv("PATH", (root / "bin").c_str(), 1);
        setenv("HOME", (root / "home").c_str(), 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        plug = new IMicCorrector(CreatePlatformEditor);
        Editor().UseHostRunLoop(frame.RunLoop());
        ASSERT_TRUE(Editor().AttachToParent(host.Handle()));
        loop.RunFor(200);
    }
    void TearDown() override {
        if (plug) plug->release();
        setenv("PATH", savedPath.c_str(), 1);
        setenv("HOME", savedHome.c_str(), 1);
        fs::remove_all(root);
    }
    IGraphicsX11& Editor() { return static_cast<IGraphicsX11&>(*plug->Editor()); }
    FileChooserPanel* Chooser() { return dynamic_cast<FileChooserPanel*>(Editor().TopPanel()); }
    MessagePanel* Message() { return dynamic_cast<MessagePanel*>(Editor().TopPanel()); }
    void ClickAt(const IPixelRect& r, bool twice = false) {
        host.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        if (twice) host.Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        loop.RunFor(150);
    }
    void Key(uint32_t keysym) {
        host.Type(keysym);
        loop.RunFor(60);
    }
    void TypeText(const std::string& text) {
        for (char c : text)
            Key(uint32_t(static_cast<unsigned char>(c)));
    }
    // Pauses past the double-click time before the next single click.
    void Settle() { loop.RunFor(600); }
    std::vector<std::string> Listed() {
        std::vector<std::string> names;
        for (const auto& e : Chooser()->Entries())
            names.push_back(e.folder ? e.name + "/" : e.name);
        return names;
    }

    HostWindow host{800, 400};
    TestRunLoop loop;
    TestFrame frame{&loop};
    fs::path root, docs;
    std::string savedPath, savedHome;
    IMicCorrector* plug = nullptr;
};

TEST_F(X11ChooserTest, SaveAsksForANameAndBeforeReplacing) {
    ClickAt(editor_rect::kSave);
    ASSERT_NE(Chooser(), nullptr);
    EXPECT_EQ(Chooser()->Folder(), docs.string() + "/");
    EXPECT_EQ(Listed(), (std::vector<std::string>{"gone/", "sub/", "old.alg"}));

    // A name with a slash is refused with a message; the chooser stays.
    TypeText("my/name");
    EXPECT_EQ(Chooser()->Name(), "my/name");
    Key(kReturn);
    ASSERT_NE(Message(), nullptr);
    EXPECT_EQ(Message()->Text(), "A file name cannot contain '/'.");
    Key(kReturn);
    ASSERT_NE(Chooser(), nullptr);
    for (int i = 0; i < 5; ++i)
        Key(kBackSpace);
    EXPECT_EQ(Chooser()->Name(), "my");
    Key(kReturn);
    EXPECT_FALSE(Editor().PanelOpen());
    ASSERT_TRUE(fs::exists(docs / "my.alg"));
    EXPECT_EQ(fs::file_size(docs / "my.alg"), 2776u);

    // An existing name asks first: No keeps the file and the chooser, Yes replaces it.
    Settle();
    ClickAt(editor_rect::kSave);
    ASSERT_NE(Chooser(), nullptr);
    TypeText("old");
    ClickAt(Chooser()->AcceptButton());
    ASSERT_NE(Message(), nullptr);
    EXPECT_EQ(Message()->Text(), "old.alg already exists. Do you want to replace it?");
    Settle();
    ClickAt(Message()->ButtonRect(1)); // No
    ASSERT_NE(Chooser(), nullptr);
    EXPECT_EQ(fs::file_size(docs / "old.alg"), 5u);
    // Escape on the question is No as well: the file stays, and so does the chooser.
    Key(kReturn);
    ASSERT_NE(Message(), nullptr);
    Key(kEscape);
    ASSERT_NE(Chooser(), nullptr);
    EXPECT_EQ(fs::file_size(docs / "old.alg"), 5u);
    Key(kReturn);
    ASSERT_NE(Message(), nullptr);
    Key(kReturn); // Yes has the focus
    EXPECT_FALSE(Editor().PanelOpen());
    EXPECT_EQ(fs::file_size(docs / "old.alg"), 2776u);
}

TEST_F(X11ChooserTest, LoadWalksFoldersAndCancels) {
    // A refused (older) file in the sub-folder: its message shows that Load read it.
    std::vector<char> bytes(2776, 0);
    const int32_t version = 2018;
    std::memcpy(bytes.data(), &version, 4);
    std::ofstream(docs / "sub" / "b.alg", std::ios::binary).write(bytes.data(), long(bytes.size()));

    ClickAt(editor_rect::kLoad);
    ASSERT_NE(Chooser(), nullptr);
    Key(kDown); // "sub/"
    Key(kReturn);
    EXPECT_EQ(Chooser()->Folder(), (docs / "sub").string() + "/");
    EXPECT_EQ(Listed(), std::vector<std::string>{"b.alg"});
    ::testing::internal::CaptureStderr();
    Key(kReturn);
    ::testing::internal::GetCapturedStderr();
    ASSERT_NE(Message(), nullptr);
    EXPECT_EQ(Message()->Text(), "Old version of the ALG file is not supported.");
    Key(kEscape);
    EXPECT_FALSE(Editor().PanelOpen());

    // A folder that went away meanwhile is said to be unreadable; Up leads back, Escape cancels.
    Settle();
    ClickAt(editor_rect::kLoad);
    ASSERT_NE(Chooser(), nullptr);
    fs::remove_all(docs / "gone");
    Settle();
    ClickAt(Chooser()->RowRect(0), true);
    EXPECT_TRUE(Chooser()->FolderUnreadable());
    Settle();
    ClickAt(Chooser()->UpButton());
    EXPECT_EQ(Chooser()->Folder(), docs.string() + "/");
    EXPECT_FALSE(Chooser()->FolderUnreadable());
    Key(kBackSpace); // up once more
    EXPECT_EQ(Chooser()->Folder(), (root / "home" / "Documents").string() + "/");
    Key(kEscape);
    EXPECT_FALSE(Editor().PanelOpen());

    // Closing the editor with the chooser open takes it away without an answer.
    Settle();
    ClickAt(editor_rect::kLoad);
    ASSERT_NE(Chooser(), nullptr);
    Editor().DetachWindow();
    EXPECT_FALSE(Editor().PanelOpen());
}

// More files than rows: every key that moves the selection keeps it among the visible rows.
TEST_F(X11ChooserTest, TheSelectionStaysInView) {
    for (int i = 0; i < 30; ++i)
        std::ofstream(docs / ("take" + std::to_string(100 + i) + ".alg")) << "x";
    ClickAt(editor_rect::kLoad);
    ASSERT_NE(Chooser(), nullptr);
    const int count = int(Chooser()->Entries().size());
    ASSERT_GT(count, 2 * FileChooserPanel::kVisibleRows);
    auto expectInView = [&](const char* after) {
        const int selected = Chooser()->Selected(), first = Chooser()->FirstVisible();
        EXPECT_GE(selected, first) << after;
        EXPECT_LT(selected, first + FileChooserPanel::kVisibleRows) << after;
    };
    for (int i = 0; i < FileChooserPanel::kVisibleRows + 3; ++i) {
        Key(kDown);
        expectInView("Down");
    }
    EXPECT_GE(Chooser()->Selected(), FileChooserPanel::kVisibleRows);
    Key(kPageDown);
    expectInView("PageDown");
    Key(kEnd);
    EXPECT_EQ(Chooser()->Selected(), count - 1);
    expectInView("End");
    Key(kPageUp);
    expectInView("PageUp");
    Key(kHome);
    EXPECT_EQ(Chooser()->Selected(), 0);
    expectInView("Home");
    Key(kEscape);
    EXPECT_FALSE(Editor().PanelOpen());
}

// A folder the user may not read (root reads them all, so the editor runs in a child as an
// ordinary user): the chooser says so, the way up leads back to what was listed, nothing is taken.
TEST(X11ChooserAsUser, AFolderThatMayNotBeReadIsSaidAndNothingIsLost) {
    const fs::path root = fs::path(::testing::TempDir()) / ("x11-chooser-user-" + std::to_string(getpid()));
    const fs::path docs = root / "home" / "Documents" / "Tessivane Vorelline";
    fs::remove_all(root);
    fs::create_directories(root / "bin");
    fs::create_directories(docs / "locked");
    std::ofstream(docs / "keep.alg") << "kept";
    for (const auto& e : fs::recursive_directory_iterator(root))
        ASSERT_EQ(chown(e.path().c_str(), kNobody, kNobody), 0);
    ASSERT_EQ(chown(root.c_str(), kNobody, kNobody), 0);
    // Root's own folder, closed to others.
    ASSERT_EQ(chown((docs / "locked").c_str(), 0, 0), 0);
    ASSERT_EQ(chmod((docs / "locked").c_str(), 0700), 0);

    const UnprivilegedRun run = RunUnprivileged([&] {
        setenv("PATH", (root / "bin").c_str(), 1);
        setenv("HOME", (root / "home").c_str(), 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        HostWindow host{800, 400};
        if (!host.Ok()) return std::string("no X display for the user");
        TestRunLoop loop;
        TestFrame frame{&loop};
        auto* plug = new IMicCorrector(CreatePlatformEditor);
        auto& editor = static_cast<IGraphicsX11&>(*plug->Editor());
        editor.UseHostRunLoop(frame.RunLoop());
        std::string report;
        if (editor.AttachToParent(host.Handle())) {
            loop.RunFor(200);
            auto chooser = [&] { return dynamic_cast<FileChooserPanel*>(editor.TopPanel()); };
            auto key = [&](uint32_t keysym) {
                host.Type(keysym);
                loop.RunFor(60);
            };
            const IPixelRect load = editor_rect::kLoad;
            host.Click((load.left + load.right) / 2, (load.top + load.bottom) / 2);
            loop.RunFor(150);
            if (chooser()) {
                key(kReturn); // the first row: "locked"
                report += "in " + chooser()->Folder().substr(docs.string().size()) + ":";
                report += chooser()->FolderUnreadable() ? " unreadable," : " read,";
                report += " " + std::to_string(chooser()->Entries().size()) + " listed;";
                key(kReturn); // nothing to take there
                report += chooser() ? " still open;" : " closed;";
                key(kBackSpace);
                if (chooser())
                    for (const auto& e : chooser()->Entries())
                        report += " " + e.name;
                key(kEscape);
                report += editor.PanelOpen() ? "; open" : "; closed";
            }
            editor.DetachWindow();
        }
        plug->release();
        return report;
    });
    SKIP_UNLESS_UNPRIVILEGED(run);
    EXPECT_EQ(run.outcome, UnprivilegedRun::Ran);
    EXPECT_EQ(run.report, "in /locked/: unreadable, 0 listed; still open; locked keep.alg; closed");
    std::ifstream kept(docs / "keep.alg");
    std::string text;
    kept >> text;
    EXPECT_EQ(text, "kept");
    fs::remove_all(root);
}

// Help without any program to open web pages: the panel says where the pages are.
TEST_F(X11ChooserTest, HelpSaysWhereThePagesWereWritten) {
    unsetenv("XDG_DATA_HOME");
    fs::create_directories(root / "home" / ".local" / "share");
    ::testing::internal::CaptureStderr();
    ClickAt(editor_rect::kHelp);
    ::testing::internal::GetCapturedStderr();
    ASSERT_NE(Message(), nullptr);
    const std::string folder =
        (root / "home" / ".local" / "share" / "Tessivane" / "Vorelline VST").string() + "/";
    EXPECT_EQ(Message()->Text(), "No program to open the help pages was found. They were written to " +
                                     folder + " - open 1.htm there with a web browser.");
    EXPECT_TRUE(fs::exists(folder + "1.htm"));
    Key(kReturn);
    EXPECT_FALSE(Editor().PanelOpen());
}

} // namespace
