#include "editor_fixture.h"
#include "graphics/fader_control.h"
#include "graphics/radio_buttons_control.h"

#include <gtest/gtest.h>

namespace {

const IMouseMods kLeft{true, false, false, false, false};
const IMouseMods kRight{false, true, false, false, false};

} // namespace

TEST(RadioButtons, ButtonsStackWithTheComputedGap) {
    RecordingPlug plug;
    IImageStrip radio{nullptr, 22, 32, 2, false};
    IRadioButtonsControl outputs(&plug, {521, 172, 543, 222}, 1, 3, radio);
    ASSERT_EQ(outputs.NButtons(), 3);
    EXPECT_EQ(outputs.Button(0), IPixelRect(521, 172, 543, 188));
    EXPECT_EQ(outputs.Button(1), IPixelRect(521, 189, 543, 205));
    EXPECT_EQ(outputs.Button(2), IPixelRect(521, 206, 543, 222));
    IRadioButtonsControl resolution(&plug, {521, 242, 537, 275}, 2, 2, radio);
    EXPECT_EQ(resolution.Button(0), IPixelRect(521, 242, 543, 258));
    EXPECT_EQ(resolution.Button(1), IPixelRect(521, 259, 543, 275));
}

TEST(RadioButtons, PressesPickValuesAndAlwaysPush) {
    EditorRig rig(600, 300);
    IImageStrip radio{nullptr, 22, 32, 2, false};
    auto* group = rig.Add(new IRadioButtonsControl(&rig.plug, {521, 172, 543, 222}, 1, 3, radio));
    struct Case {
        int y;
        double value;
    } cases[] = {{210, 1.0}, {175, 0.0}, {195, 0.5}, {188, 0.5} /* between buttons: kept */, {221, 1.0}};
    for (const Case& c : cases) {
        rig.editor.MouseDown(530, c.y, kLeft);
        rig.editor.MouseUp(530, c.y, kLeft);
        EXPECT_EQ(group->Value(), c.value) << c.y;
        EXPECT_EQ(rig.plug.fromUI.back().normalized, c.value) << c.y;
        EXPECT_EQ(group->SelectedButton(), int(c.value * 2)) << c.y;
    }
    EXPECT_EQ(rig.plug.fromUI.size(), 5u);
    // A right press on the directly handled control asks for value entry (prompt off: nothing).
    group->HandleMouseDown(530, 175, kRight);
    EXPECT_EQ(group->Value(), 1.0);
    EXPECT_EQ(rig.plug.fromUI.size(), 5u);
}

TEST(RadioButtons, PaintsTheSelectedButtonFromTheSecondFrame) {
    const RAST_Pixel off = 0xff111111u, on = 0xffeeeeeeu;
    auto* bits = MakeBitmap(4, 6, [&](int, int y) { return y < 3 ? off : on; });
    EditorRig rig(10, 20);
    auto* group = rig.Add(new IRadioButtonsControl(&rig.plug, {1, 1, 5, 15}, 0, 3, {bits, 4, 6, 2, false}));
    group->SetValue(0.5);
    rig.editor.Tick();
    // Frame height 3, gap int((15 - 9 - 1) / 2) = 2: buttons at rows 1, 6 and 11.
    EXPECT_EQ(PixelAt(rig.editor.DrawSurface(), 2, 1), off);
    EXPECT_EQ(PixelAt(rig.editor.DrawSurface(), 2, 7), on);
    EXPECT_EQ(PixelAt(rig.editor.DrawSurface(), 2, 12), off);
    delete bits;
}

TEST(RadioButtons, GroupsOfFewerThanTwoButtonsStaySafe) {
    EditorRig rig;
    IImageStrip radio{nullptr, 22, 32, 2, false};
    auto* one = rig.Add(new IRadioButtonsControl(&rig.plug, {0, 0, 22, 40}, 0, 1, radio));
    auto* none = rig.Add(new IRadioButtonsControl(&rig.plug, {30, 0, 52, 40}, 1, 0, radio));
    auto* negative = rig.Add(new IRadioButtonsControl(&rig.plug, {0, 0, 1, 1}, 2, -4, radio));
    EXPECT_EQ(one->NButtons(), 1);
    EXPECT_EQ(one->Button(0), IPixelRect(0, 0, 22, 16));
    EXPECT_EQ(none->NButtons(), 0);
    EXPECT_EQ(negative->NButtons(), 0);
    one->HandleMouseDown(5, 5, kLeft);
    EXPECT_EQ(one->Value(), 0.0);
    none->HandleMouseDown(35, 5, kLeft);
    EXPECT_EQ(none->SelectedButton(), -1);
    EXPECT_TRUE(rig.editor.Tick());
}

TEST(Fader, HandleTravelsAlongTheTrack) {
    RecordingPlug plug;
    IImageStrip handle20{nullptr, 20, 12, 1, false};
    IFaderControl h(&plug, 100, 50, 84, 3, handle20);
    EXPECT_EQ(h.DrawRect(), IPixelRect(100, 50, 184, 62));
    EXPECT_EQ(h.Headroom(), 20);
    struct Case {
        double v;
        int left;
    } cases[] = {{0.0, 100}, {0.5, 132}, {1.0, 164}, {0.999, 163}};
    for (const Case& c : cases) {
        EXPECT_EQ(h.HandleRect(c.v), IPixelRect(c.left, 50, c.left + 20, 62)) << c.v;
    }
    h.SetValue(0.25);
    EXPECT_EQ(h.HandleRect(), IPixelRect(116, 50, 136, 62));

    IImageStrip handle10{nullptr, 12, 10, 1, false};
    IFaderControl v(&plug, 0, 0, 50, 3, handle10, false);
    EXPECT_EQ(v.DrawRect(), IPixelRect(0, 0, 12, 50));
    EXPECT_EQ(v.HandleRect(1.0), IPixelRect(0, 0, 12, 10));
    EXPECT_EQ(v.HandleRect(0.0), IPixelRect(0, 40, 12, 50));
    EXPECT_EQ(v.HandleRect(0.5), IPixelRect(0, 20, 12, 30));
}

TEST(Fader, PointerSnapsTheHandleAndStaysInRange) {
    EditorRig rig(300, 100);
    IImageStrip handle{nullptr, 12, 12, 1, false};
    auto* f = rig.Add(new IFaderControl(&rig.plug, 100, 50, 84, 3, handle));
    // Travel 72; the handle's centre follows the pointer.
    rig.editor.MouseDown(142, 55, kLeft);
    EXPECT_DOUBLE_EQ(f->Value(), 0.5);
    rig.editor.MouseDrag(-100000, 55, kLeft);
    EXPECT_EQ(f->Value(), 0.0);
    rig.editor.MouseDrag(2000000000, 55, kLeft);
    EXPECT_EQ(f->Value(), 1.0);
    rig.editor.MouseUp(2000000000, 55, kLeft);
    EXPECT_EQ(rig.plug.fromUI.back().normalized, 1.0);
    EXPECT_EQ(rig.plug.log, (std::vector<std::string>{"begin 3", "end 3"}));

    f->SetHandleOnlyHit(true);
    EXPECT_TRUE(f->HitTest(180, 55));
    EXPECT_FALSE(f->HitTest(110, 55));
}
