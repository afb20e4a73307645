#include "editor_fixture.h"
#include "graphics/headless/surface_png.h"
#include "graphics/message_dialog.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdio>
#include <vector>

namespace {

// Reads a PNG back as 8-bit RGBA bytes; empty on failure.
std::vector<unsigned char> ReadPngRgba(const std::string& path, int& w, int& h) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
    image.format = PNG_FORMAT_RGBA;
    std::vector<unsigned char> bytes(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return {};
    w = int(image.width);
    h = int(image.height);
    return bytes;
}

} // namespace

TEST(Headless, TheTimerDrawsOnlyWhileAWindowIsOpen) {
    RecordingPlug plug;
    TestEditor editor(&plug, 32, 16, 25);
    editor.PrepareSurfaces();
    auto* c = new ProbeControl(&plug, {0, 0, 32, 16}, -1, 0xff336699u);
    editor.AddControl(c);
    EXPECT_FALSE(editor.Tick());
    EXPECT_EQ(editor.NativeWindow(), nullptr);
    EXPECT_FALSE(editor.HasWindow());

    int parent = 0;
    EXPECT_EQ(editor.AttachToParent(&parent), &editor);
    EXPECT_TRUE(editor.HasWindow());
    EXPECT_EQ(editor.ParentWindow(), &parent);
    EXPECT_TRUE(editor.Tick());
    EXPECT_FALSE(editor.Tick()); // nothing dirty any more
    EXPECT_EQ(PixelAt(editor.Presented(), 31, 15), 0xff336699u);

    editor.DetachWindow();
    c->MarkDirty(false);
    EXPECT_FALSE(editor.Tick());
    editor.AttachToParent(nullptr); // reopening repaints every control
    EXPECT_EQ(editor.TickUntilClean(), 1);
    EXPECT_EQ(editor.LastPresentedArea(), IPixelRect(0, 0, 32, 16));
    EXPECT_EQ(editor.DrawingApiName(), "Headless");
}

TEST(Headless, PresentedImageIsWrittenAsPng) {
    EditorRig rig(6, 4);
    rig.Add(new ProbeControl(&rig.plug, {0, 0, 6, 4}, -1, 0xff102030u));
    rig.Add(new ProbeControl(&rig.plug, {2, 1, 4, 3}, -1, 0xffa0b0c0u));
    rig.editor.Tick();
    std::string path = ::testing::TempDir() + "headless_surface.png";
    ASSERT_TRUE(WriteBitmapPng(rig.editor.Presented(), path));
    int w = 0, h = 0;
    std::vector<unsigned char> rgba = ReadPngRgba(path, w, h);
    ASSERT_EQ(rgba.size(), 6u * 4u * 4u);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 4);
    const unsigned char* corner = &rgba[0];
    const unsigned char* inner = &rgba[(1 * 6 + 2) * 4];
    EXPECT_EQ(std::vector<int>(corner, corner + 4), (std::vector<int>{0x10, 0x20, 0x30, 255}));
    EXPECT_EQ(std::vector<int>(inner, inner + 4), (std::vector<int>{0xa0, 0xb0, 0xc0, 255}));
    std::remove(path.c_str());

    RAST_MemBitmap empty;
    EXPECT_FALSE(WriteBitmapPng(&empty, path));
    EXPECT_FALSE(WriteBitmapPng(nullptr, path));
    EXPECT_FALSE(WriteBitmapPng(rig.editor.Presented(), ::testing::TempDir() + "no/such/folder/x.png"));
}

TEST(Headless, PopupMenusAnswerWithTheChosenMenu) {
    EditorRig rig;
    rig.Add(new ProbeControl(&rig.plug, {0, 0, 64, 48}));
    IMenuList top;
    auto sub = std::make_unique<IMenuList>();
    for (const char* t : {"a", "b", "c"})
        sub->AddEntry(t);
    IMenuList* subPtr = sub.get();
    top.AddEntry("one", 0, std::move(sub));
    for (const char* t : {"two", "three", "four"})
        top.AddEntry(t);

    rig.editor.MouseDown(5, 5, {true, false, false, false, false});
    rig.editor.Responder().AnswerMenu(6);
    EXPECT_EQ(rig.editor.ShowPopupMenu(top, {1, 2, 3, 4}), subPtr);
    EXPECT_EQ(subPtr->chosenIndex, 2);
    EXPECT_EQ(rig.editor.CaptureIndex(), -1);
    EXPECT_EQ(rig.editor.Responder().asked.back().rect, IPixelRect(1, 2, 3, 4));
    EXPECT_EQ(rig.editor.ShowPopupMenu(top, {}), nullptr); // dismissed
    rig.editor.Responder().AnswerMenu(42);
    EXPECT_EQ(rig.editor.ShowPopupMenu(top, {}), nullptr); // no such entry
}

TEST(Headless, DialogsAndLinks) {
    EditorRig rig;
    ScriptedResponder& person = rig.editor.Responder();

    person.AnswerMessage(kResultYes);
    EXPECT_EQ(rig.editor.MessageDialog("Sure?", "Info", kMessageYesNo), kResultYes);
    EXPECT_EQ(rig.editor.MessageDialog("Done.", "Info", kMessageOk), kResultOk);
    EXPECT_EQ(person.asked[1].text, "Done.");
    EXPECT_EQ(person.asked[1].caption, "Info");

    // Links: a refused confirmation opens nothing; a failed opening shows the error text.
    person.asked.clear();
    EXPECT_FALSE(rig.editor.LaunchUrl("https://example.invalid/", "Help", "Open the site?", "No connection"));
    EXPECT_EQ(person.asked.size(), 1u);
    person.AnswerMessage(kResultYes);
    EXPECT_FALSE(rig.editor.LaunchUrl("https://example.invalid/", "Help", "Open the site?", "No connection"));
    EXPECT_EQ(person.asked.back().kind, "message");
    EXPECT_EQ(person.asked.back().text, "No connection");
    person.AnswerUrl(true);
    EXPECT_TRUE(rig.editor.LaunchUrl("https://example.invalid/", "Help", nullptr, nullptr));
    EXPECT_EQ(person.asked.back().text, "https://example.invalid/");
}

TEST(Headless, VirtualKeysReachControlsOnlyWhenTheyAreControlKeys) {
    EditorRig rig;
    rig.Add(new ProbeControl(&rig.plug, {0, 0, 64, 48}));
    auto* knob = rig.Add(new ProbeControl(&rig.plug, {10, 10, 20, 20}));
    EXPECT_TRUE(rig.editor.KeyDownVirtual(12, 12, 'b'));
    EXPECT_TRUE(rig.editor.KeyDownVirtual(12, 12, 40));
    EXPECT_FALSE(rig.editor.KeyDownVirtual(12, 12, 13)); // Return belongs to the host
    EXPECT_EQ(knob->calls, (std::vector<std::string>{"key 16", "key 2"}));
}

TEST(Headless, AnEntryOpenWhenTheControlsGoAwayIsDropped) {
    EditorRig rig;
    auto* c = rig.Add(new ProbeControl(&rig.plug, {0, 0, 10, 10}));
    rig.editor.Responder().AnswerTextEntry("abc");
    rig.editor.ShowTextEntry(c, c->TextStyle(), {0, 0, 10, 10}, "", nullptr);
    EXPECT_TRUE(rig.editor.EntryOpen());
    rig.editor.Resize(32, 32);
    EXPECT_FALSE(rig.editor.EntryOpen());
    rig.editor.Tick();

    // A cancel from the program wins over what was typed.
    auto* d = rig.Add(new ProbeControl(&rig.plug, {0, 0, 10, 10}));
    rig.editor.Responder().AnswerTextEntry("abc");
    rig.editor.ShowTextEntry(d, d->TextStyle(), {0, 0, 10, 10}, "", nullptr);
    rig.editor.CancelValueEntry();
    rig.editor.Tick();
    EXPECT_TRUE(d->calls.empty());
}
