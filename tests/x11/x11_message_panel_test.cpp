// The plug-in's messages on Linux: panels drawn by the editor itself, pixel for pixel what the
// headless editor draws, closed with OK, Return or Escape; a message raised before the editor
// opens waits for it.
#include "graphics/bitmap_control.h"
#include "graphics/headless/headless_graphics.h"
#include "graphics/modal_panel.h"
#include "graphics/platform_editor.h"
#include "graphics/x11/x11_graphics.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "support/different_pixels.h"
#include "x11/x11_host.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

class X11MessagePanelTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Ok()) << "no X display";
        root = fs::path(::testing::TempDir()) / ("x11-messages-" + std::to_string(getpid()));
        fs::remove_all(root);
        // A calibration file whose path is too long to be opened: its message is raised while the
        // instance is made, long before any editor opens.
        fs::path documents = root;
        for (int i = 0; i < 4; ++i)
            documents /= std::string(200, char('a' + i));
        fs::create_directories(documents / "Tessivane Vorelline");
        std::ofstream(documents / "Tessivane Vorelline" / (std::string(230, 'm') + ".frd"))
            << "20 0\n20000 0\n";
        savedHome = getenv("HOME") ? getenv("HOME") : "";
        setenv("HOME", root.c_str(), 1);
        setenv("XDG_DOCUMENTS_DIR", documents.c_str(), 1);
    }
    void TearDown() override {
        setenv("HOME", savedHome.c_str(), 1);
        unsetenv("XDG_DOCUMENTS_DIR");
        fs::remove_all(root);
    }
    MessagePanel* Message(IGraphics& editor) { return dynamic_cast<MessagePanel*>(editor.TopPanel()); }

    HostWindow host{800, 400};
    TestRunLoop loop;
    TestFrame frame{&loop};
    fs::path root;
    std::string savedHome;
};

TEST_F(X11MessagePanelTest, PanelsLookAsTheHeadlessEditorDrawsThemAndCloseWithTheirKeys) {
    ::testing::internal::CaptureStderr();
    IMicCorrector* plug = new IMicCorrector(CreatePlatformEditor);
    IMicCorrector* reference = new IMicCorrector(CreateHeadlessEditor);
    const std::string said = ::testing::internal::GetCapturedStderr();
    const std::string text = "Error_005 Can't open calibration file.";
    EXPECT_NE(said.find("Info: " + text), std::string::npos) << "still said on stderr";

    auto& editor = static_cast<IGraphicsX11&>(*plug->Editor());
    EXPECT_EQ(editor.QueuedMessages(), 1u);
    editor.UseHostRunLoop(frame.RunLoop());
    ASSERT_TRUE(editor.AttachToParent(host.Handle()));
    ASSERT_TRUE(loop.RunUntil([&] { return Message(editor) != nullptr; }));
    loop.RunFor(200);
    EXPECT_EQ(Message(editor)->Caption(), "Info");
    EXPECT_EQ(Message(editor)->Text(), text);

    auto& headless = static_cast<IGraphicsHeadless&>(*reference->Editor());
    headless.AttachToParent(nullptr);
    headless.QueueMessage("Info", text);
    headless.TickUntilClean();
    ASSERT_NE(Message(headless), nullptr);
    std::unique_ptr<RAST_MemBitmap> shot = host.Capture(editor.WindowId());
    ASSERT_TRUE(shot);
    EXPECT_EQ(DifferentPixels(*shot, *headless.Presented()), 0);

    // The OK button closes it; the face is whole again.
    const IPixelRect ok = Message(editor)->ButtonRect(0);
    host.Click((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
    ASSERT_TRUE(loop.RunUntil([&] { return !editor.PanelOpen(); }));
    loop.RunFor(200);
    headless.DropPanel(headless.TopPanel());
    headless.TickUntilClean();
    shot = host.Capture(editor.WindowId());
    ASSERT_TRUE(shot);
    EXPECT_EQ(DifferentPixels(*shot, *headless.Presented()), 0);

    // Start without audio says so in the editor; Escape closes the panel, and a click meanwhile
    // on the face below does nothing.
    loop.RunFor(600);
    ::testing::internal::CaptureStderr();
    const IPixelRect start = editor_rect::kStart;
    host.Click((start.left + start.right) / 2, (start.top + start.bottom) / 2);
    ASSERT_TRUE(loop.RunUntil([&] { return Message(editor) != nullptr; }));
    ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(Message(editor)->Text(),
              "Input sound stream is absent. Make sure that you listen the sound in your "
              "headphones and click this button again.");
    const IPixelRect about = editor_rect::kAbout;
    host.Click((about.left + about.right) / 2, (about.top + about.bottom) / 2);
    loop.RunFor(200);
    host.Type(0xff1b); // Escape
    ASSERT_TRUE(loop.RunUntil([&] { return !editor.PanelOpen(); }));
    EXPECT_TRUE(plug->Controls().aboutPicture->IsHidden()) << "the click under the panel was not taken";

    editor.DetachWindow();
    headless.DetachWindow();
    reference->release();
    plug->release();
}

} // namespace
