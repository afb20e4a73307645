#include "editor_fixture.h"
#include "graphics/key_codes.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

const IMouseMods kLeft{true, false, false, false, false};
const IMouseMods kRight{false, true, false, false, false};

struct DispatchRig : EditorRig {
    DispatchRig() {
        back = Add(new ProbeControl(&plug, {0, 0, 64, 48}));
        bound = Add(new ProbeControl(&plug, {10, 10, 30, 30}, 2));
        free = Add(new ProbeControl(&plug, {20, 20, 40, 40}));
    }
    ProbeControl* back;
    ProbeControl* bound;
    ProbeControl* free;
};

} // namespace

TEST(InputDispatch, HitTestingTakesTheTopmostShownEnabledControl) {
    DispatchRig rig;
    struct Case {
        int x, y, idx;
    } cases[] = {{25, 25, 2},
                 {15, 15, 1},
                 {35, 35, 2},
                 {5, 5, 0},
                 {64, 10, -1},
                 {-1, 0, -1},
                 {INT_MAX, INT_MAX, -1},
                 {INT_MIN, INT_MIN, -1}};
    for (const Case& c : cases)
        EXPECT_EQ(rig.editor.FindControlAt(c.x, c.y), c.idx) << c.x << "," << c.y;
    rig.free->SetHidden(true);
    EXPECT_EQ(rig.editor.FindControlAt(25, 25), 1);
    rig.bound->SetDisabled(true);
    EXPECT_EQ(rig.editor.FindControlAt(25, 25), 0);
}

TEST(InputDispatch, PressCapturesDragsAndReleasesWithGestures) {
    DispatchRig rig;
    rig.editor.MouseDown(12, 12, kLeft);
    EXPECT_EQ(rig.editor.CaptureIndex(), 1);
    rig.editor.MouseDrag(12, 12, kLeft); // same position: nothing
    rig.editor.MouseDrag(50, 45, kLeft); // outside: still the captured control
    rig.editor.MouseDrag(52, 40, kLeft);
    rig.editor.MouseUp(60, 46, kLeft);
    EXPECT_EQ(rig.editor.CaptureIndex(), -1);
    EXPECT_EQ(rig.editor.LastPointerX(), -1);
    std::vector<std::string> expected{"down 12 12", "drag 50 45 38 33", "drag 52 40 2 -5", "up 60 46"};
    EXPECT_EQ(rig.bound->calls, expected);
    EXPECT_EQ(rig.plug.log, (std::vector<std::string>{"begin 2", "end 2"}));
    EXPECT_TRUE(rig.back->calls.empty());

    // Without a capture a drag goes nowhere and a release goes to the control under the pointer.
    rig.editor.MouseDrag(5, 5, kLeft);
    rig.editor.MouseUp(5, 5, kLeft);
    EXPECT_EQ(rig.back->calls, (std::vector<std::string>{"up 5 5"}));
    // A press on nothing captures nothing.
    rig.editor.MouseDown(100, 100, kLeft);
    EXPECT_EQ(rig.editor.CaptureIndex(), -1);
}

TEST(InputDispatch, RightPressOnABoundControlOpensTheHostMenuInstead) {
    DispatchRig rig;
    rig.editor.MouseDown(12, 14, kRight);
    EXPECT_TRUE(rig.bound->calls.empty());
    EXPECT_EQ(rig.plug.log, (std::vector<std::string>{"menu 2 12 14"}));
    EXPECT_EQ(rig.editor.CaptureIndex(), -1);

    rig.editor.MouseDown(35, 35, kRight); // no parameter: the control gets the press
    EXPECT_EQ(rig.free->calls, (std::vector<std::string>{"down 35 35 R"}));
    EXPECT_EQ(rig.editor.CaptureIndex(), 2);
}

TEST(InputDispatch, DoubleClickWheelAndKeys) {
    DispatchRig rig;
    rig.editor.MouseDoubleClick(35, 35, kLeft);
    EXPECT_EQ(rig.free->calls, (std::vector<std::string>{"dbl"}));
    EXPECT_EQ(rig.editor.CaptureIndex(), -1);
    rig.free->SetDoubleClickAsSingleClick(true);
    rig.editor.MouseDoubleClick(36, 37, kLeft);
    EXPECT_EQ(rig.free->calls.back(), "down 36 37");
    EXPECT_EQ(rig.editor.CaptureIndex(), 2);
    EXPECT_TRUE(rig.plug.log.empty()); // no gesture for a double-click
    rig.editor.ReleaseCapture();

    rig.editor.MouseWheel(12, 12, {}, -3);
    EXPECT_EQ(rig.bound->calls.back(), "wheel -3");
    rig.editor.MouseWheel(500, 500, {}, 1); // over nothing
    rig.editor.MouseDown(12, 12, kLeft);
    rig.editor.MouseWheel(35, 35, {}, 2); // captured control takes it
    EXPECT_EQ(rig.bound->calls.back(), "wheel 2");
    rig.editor.MouseUp(12, 12, kLeft);

    EXPECT_TRUE(rig.editor.KeyDown(12, 12, kKeyUp));
    EXPECT_EQ(rig.bound->calls.back(), "key 1");
    // Over the background or nothing, keys go to the key catcher; without one nobody takes them.
    EXPECT_FALSE(rig.editor.KeyDown(5, 5, kKeySpace));
    EXPECT_FALSE(rig.editor.KeyDown(-50, 5, kKeySpace));
    EXPECT_TRUE(rig.back->calls.empty());
    rig.editor.SetKeyCatcher(rig.free);
    EXPECT_TRUE(rig.editor.KeyDown(5, 5, kKeyLetterA));
    EXPECT_EQ(rig.free->calls.back(), "key 15");
    rig.free->takesKeys = false;
    EXPECT_FALSE(rig.editor.KeyDown(5, 5, kKeyLetterA));
}

TEST(InputDispatch, MouseOverTracksTheControlUnderThePointer) {
    DispatchRig rig;
    EXPECT_FALSE(rig.editor.MouseOver(12, 12, {}));
    rig.editor.SetHandleMouseOver(true);
    EXPECT_TRUE(rig.editor.MouseOver(12, 12, {}));
    EXPECT_EQ(rig.editor.MouseOverIndex(), 1);
    EXPECT_TRUE(rig.editor.MouseOver(35, 35, {}));
    EXPECT_EQ(rig.bound->calls, (std::vector<std::string>{"over", "out"}));
    EXPECT_EQ(rig.editor.MouseOverIndex(), 2);
    EXPECT_TRUE(rig.editor.MouseOver(100, 100, {})); // over nothing: the previous one is not told
    EXPECT_EQ(rig.free->calls, (std::vector<std::string>{"over"}));

    rig.free->SetDisabled(true);
    rig.editor.MouseOver(35, 35, {});
    EXPECT_EQ(rig.editor.MouseOverIndex(), 0); // the background below it
    rig.free->SetMouseOverWhenDisabled(true);
    rig.editor.MouseOver(35, 35, {});
    EXPECT_EQ(rig.editor.MouseOverIndex(), 2);

    rig.editor.MouseLeave();
    EXPECT_EQ(rig.editor.MouseOverIndex(), -1);
    EXPECT_EQ(rig.back->calls.back(), "out");
}

TEST(InputDispatch, ControlListTakesEachControlOnce) {
    DispatchRig rig;
    EXPECT_EQ(rig.editor.AddControl(rig.bound), 1);
    EXPECT_EQ(rig.editor.NControls(), 3);
    EXPECT_EQ(rig.editor.AddControl(nullptr), -1);
    TestEditor other(&rig.plug, 10, 10, 25);
    EXPECT_EQ(other.AddControl(rig.free), -1);
    EXPECT_EQ(other.NControls(), 0);
    EXPECT_EQ(rig.editor.GetControl(3), nullptr);
}

TEST(InputDispatch, ResizeDropsControlsAndEveryPointerIntoThem) {
    DispatchRig rig;
    rig.editor.SetKeyCatcher(rig.free);
    rig.editor.SetHandleMouseOver(true);
    rig.editor.MouseOver(35, 35, {});
    rig.editor.MouseDown(12, 12, kLeft);
    rig.editor.Resize(80, 60);
    EXPECT_EQ(rig.editor.NControls(), 0);
    EXPECT_EQ(rig.editor.KeyCatcher(), nullptr);
    EXPECT_EQ(rig.editor.CaptureIndex(), -1);
    EXPECT_EQ(rig.editor.MouseOverIndex(), -1);
    EXPECT_EQ(rig.editor.DrawSurface()->Width(), 80);
    EXPECT_EQ(rig.plug.log.back(), "resize 80 60");
    // Input after the controls are gone reaches nothing.
    rig.editor.MouseDrag(1, 1, kLeft);
    rig.editor.MouseUp(1, 1, kLeft);
    EXPECT_FALSE(rig.editor.KeyDown(1, 1, kKeySpace));
    EXPECT_EQ(rig.editor.GetControl(0), nullptr);
    EXPECT_EQ(rig.editor.GetControl(-1), nullptr);
}
