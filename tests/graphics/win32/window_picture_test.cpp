// The editor in a real window: what the window shows, redraws driven by its timer, and the pointer
// and key messages a person produces, checked against the parameters and the controls.
#include "graphics/headless/surface_png.h"
#include "sample_win_editor.h"
#include "window_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using L = SampleLayout;

struct WinRig : SampleWinEditor {
    HostWindow host;

    HWND Open() {
        auto* w = static_cast<HWND>(editor.AttachToParent(host.Handle()));
        Settle();
        return w;
    }
    bool AnyDirty() {
        for (int i = 0; i < editor.NControls(); ++i)
            if (editor.GetControl(i)->NeedsRepaint()) return true;
        return false;
    }
    // Lets the timer draw whatever is dirty.
    void Settle() {
        PumpUntil([&] { return !AnyDirty(); }, 2000);
        Pump(60);
    }
    HWND Window() { return editor.EditorWindow(); }
};

bool Inside(const IPixelRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

RAST_Pixel Rgb(const RAST_IBitmap* b, int x, int y) {
    return b->Row(y)[x] | 0xff000000u;
}

struct Difference {
    int outsideText = 0;
    int insideText = 0;
};

Difference Compare(const RAST_IBitmap* a, const RAST_IBitmap* b, const IPixelRect& text) {
    Difference d;
    for (int y = 0; y < a->Height(); ++y)
        for (int x = 0; x < a->Width(); ++x)
            if (Rgb(a, x, y) != Rgb(b, x, y)) ++(Inside(text, x, y) ? d.insideText : d.outsideText);
    return d;
}

} // namespace

TEST(WinEditorWindow, ShowsWhatTheHeadlessEditorDraws) {
    WinRig rig;
    HWND w = rig.Open();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(GetParent(w), rig.host.Handle());
    char name[64] = {};
    GetClassNameA(w, name, int(sizeof name));
    EXPECT_STREQ(name, "IEffectWndClass");
    GetWindowTextA(w, name, int(sizeof name));
    EXPECT_STREQ(name, "IEffect");
    RECT client{};
    GetClientRect(w, &client);
    EXPECT_EQ(client.right, 200);
    EXPECT_EQ(client.bottom, 110);
    EXPECT_EQ(rig.editor.DrawingApiName(), "Windows GDI");

    // Written into the test's folder of the build tree, for people to look at.
    std::unique_ptr<RAST_SysBitmap> shot = CaptureWindow(w);
    ASSERT_TRUE(WriteBitmapPng(shot.get(), "win_sample_editor.png"));

    SamplePlug plug;
    IGraphicsHeadless headless(&plug, 200, 110, 25);
    BuildSampleEditor(headless, plug, rig.art);
    headless.AttachToParent(nullptr);
    headless.TickUntilClean();
    ASSERT_TRUE(WriteBitmapPng(headless.Presented(), "win_sample_headless.png"));

    Difference d = Compare(shot.get(), headless.Presented(), L::kText);
    EXPECT_EQ(d.outsideText, 0);
    // Both draw text with the same platform fonts here, so the text matches as well.
    EXPECT_EQ(d.insideText, 0);
    // Spot checks that follow from the artwork: first radio button on, panel, meter frame 4 of 5.
    EXPECT_EQ(Rgb(shot.get(), 154, 10), 0xff00b8c2u);
    EXPECT_EQ(Rgb(shot.get(), 60, 40), 0xff101820u);
    EXPECT_EQ(Rgb(shot.get(), L::kMeterX + 44, L::kMeterY + 4), 0xff20c020u);
    EXPECT_EQ(Rgb(shot.get(), L::kMeterX + 46, L::kMeterY + 4), 0xff303030u);
}

TEST(WinEditorWindow, TimerRedrawsWhatChangedElsewhere) {
    struct Counter : IDrawCycleListener {
        int cycles = 0;
        void OnDrawCycle() override { ++cycles; }
    } counter;
    WinRig rig;
    ASSERT_NE(rig.Open(), nullptr);
    EXPECT_EQ(IGraphicsWin::TimerRate(), 25);
    rig.editor.SetDrawCycleListener(&counter);
    const DWORD start = GetTickCount();
    // At least 400 ms; longer only while a loaded machine has not yet let three ticks through.
    PumpUntil([&] { return GetTickCount() - start >= 400 && counter.cycles >= 3; }, 5000);
    const int elapsed = int(GetTickCount() - start);
    // 40 ms ticks: never more than the time allows, and a busy machine still gets some.
    EXPECT_GE(counter.cycles, 3);
    EXPECT_LE(counter.cycles, elapsed / 40 + 2);

    // A value that arrives from the host shows without anyone calling the draw cycle.
    rig.editor.ApplyHostValueToControls(2, 0.0);
    EXPECT_TRUE(PumpUntil(
        [&] {
            auto shot = CaptureWindow(rig.Window());
            return Rgb(shot.get(), L::kMeterX + 2, L::kMeterY + 4) == 0xff303030u;
        },
        10000));
    rig.editor.SetDrawCycleListener(nullptr);
}

TEST(WinEditorInput, ClicksAndDragsSetParametersWithGestures) {
    WinRig rig;
    HWND w = rig.Open();
    ASSERT_NE(w, nullptr);

    Click(w, 154, 34); // third radio button
    Pump(50);
    EXPECT_EQ(rig.plug.GetParam(0)->value, 2.0);
    ASSERT_FALSE(rig.plug.fromUI.empty());
    EXPECT_EQ(rig.plug.fromUI.back().paramIdx, 0);
    EXPECT_EQ(rig.plug.fromUI.back().normalized, 1.0);
    EXPECT_EQ(rig.plug.log, (std::vector<std::string>{"begin 0", "end 0"}));

    // Fader: press on the handle, drag 30 pixels right, release outside the editor.
    const int y = L::kFaderY + 5, grab = L::kFaderX + 5 + 50;
    PostMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(grab, y));
    PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab + 30, y));
    PostMessageA(w, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(grab + 30, y + 40));
    PostMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(grab + 30, y + 40));
    Pump(50);
    EXPECT_NEAR(rig.plug.GetParam(1)->value, 0.8, 1e-9);
    EXPECT_EQ(rig.plug.log.back(), "end 1");
    EXPECT_EQ(GetCapture(), nullptr);

    // The redrawn handle is on the screen at its new place.
    rig.Settle();
    auto shot = CaptureWindow(w);
    EXPECT_EQ(Rgb(shot.get(), L::kFaderX + 80 + 5, y), 0xffe0e0e0u);
    EXPECT_NE(Rgb(shot.get(), L::kFaderX + 50 + 5, y), 0xffe0e0e0u);
}

TEST(WinEditorInput, WheelDeltasBecomeWholeSteps) {
    WinRig rig;
    HWND w = rig.Open();
    ASSERT_NE(w, nullptr);
    POINT at{(L::kProbe.left + L::kProbe.right) / 2, (L::kProbe.top + L::kProbe.bottom) / 2};
    ClientToScreen(w, &at);
    // Deltas below a notch (touchpads) add up until they make a step; a turn the other way starts
    // afresh. nullptr: no step yet, nothing reaches the control.
    const struct {
        int delta;
        const char* call;
    } cases[] = {{120, "wheel 1"}, {-240, "wheel -2"}, {-360, "wheel -3"}, {100, nullptr},
                 {60, "wheel 1"},  {-119, nullptr},    {-1, "wheel -1"},   {250, "wheel 2"}};
    for (const auto& c : cases) {
        const std::size_t before = rig.probe->calls.size();
        SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, WORD(short(c.delta))), MAKELPARAM(at.x, at.y));
        if (!c.call) {
            EXPECT_EQ(rig.probe->calls.size(), before) << c.delta;
            continue;
        }
        ASSERT_FALSE(rig.probe->calls.empty());
        EXPECT_EQ(rig.probe->calls.back(), c.call) << c.delta;
    }
}

TEST(WinEditorInput, KeysGoToControlsOrToTheHost) {
    WinRig rig;
    HWND w = rig.Open();
    ASSERT_NE(w, nullptr);
    rig.editor.SetKeyCatcher(rig.probe);
    POINT at{(L::kProbe.left + L::kProbe.right) / 2, (L::kProbe.top + L::kProbe.bottom) / 2};
    ClientToScreen(w, &at);
    SetCursorPos(at.x, at.y);

    const struct {
        WPARAM key;
        bool takes;
        const char* call; // what the probe is told, or "" for nothing
        bool reachesHost;
    } cases[] = {
        {'A', true, "key 15", false},
        {VK_SPACE, true, "key 0", false},
        {VK_LEFT, true, "key 3", false},
        {'7', false, "key 12", true}, // a control key the control leaves alone
        {VK_F12, true, "", true},     // not a control key at all
        {VK_RETURN, true, "", true},
        // The key table's lower-case letters share their numbers with the keypad and F1 to F11.
        {VK_F1, true, "key 30", false},
    };
    for (const auto& c : cases) {
        rig.probe->calls.clear();
        rig.host.keysReceived.clear();
        rig.probe->takesKeys = c.takes;
        SendMessageA(w, WM_KEYDOWN, c.key, 0);
        EXPECT_EQ(rig.probe->calls.empty() ? "" : rig.probe->calls.back(), std::string(c.call)) << c.key;
        EXPECT_EQ(!rig.host.keysReceived.empty(), c.reachesHost) << c.key;
    }
    rig.host.keysReceived.clear();
    SendMessageA(w, WM_KEYUP, 'A', 0);
    EXPECT_EQ(rig.host.keysReceived, (std::vector<WPARAM>{'A'}));
}

TEST(WinEditorInput, DoubleClickAndRightClickReachTheControl) {
    WinRig rig;
    HWND w = rig.Open();
    ASSERT_NE(w, nullptr);
    const int x = L::kProbe.left + 3, y = L::kProbe.top + 3;
    SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_EQ(rig.probe->calls.back(), "dbl");
    EXPECT_EQ(GetCapture(), nullptr);
    rig.probe->SetDoubleClickAsSingleClick(true);
    SendMessageA(w, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_EQ(rig.probe->calls.back(), "down " + std::to_string(x) + " " + std::to_string(y));
    EXPECT_EQ(GetCapture(), w);
    SendMessageA(w, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    EXPECT_EQ(GetCapture(), nullptr);

    // A control without a parameter gets the right button itself and opens no entry.
    Click(w, x, y, true);
    Pump(30);
    EXPECT_EQ(rig.probe->calls[rig.probe->calls.size() - 2],
              "down " + std::to_string(x) + " " + std::to_string(y) + " R");
    EXPECT_EQ(rig.editor.EntryWindow(), nullptr);
}

TEST(WinEditorWindow, ModalDialogsFromDrawingDoNotReenterTheDrawing) {
    // A control that asks something while it is drawn, and a draw cycle that does the same: the
    // dialog's own message loop keeps delivering ticks and paint requests to the editor window.
    struct AskingControl : ProbeControl {
        using ProbeControl::ProbeControl;
        bool Paint(IGraphics* g) override {
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            if (ask) {
                ask = false;
                g->MessageDialog("While drawing", "Info", MB_OK);
            }
            ProbeControl::Paint(g);
            --depth;
            return true;
        }
        bool ask = false;
        int depth = 0, maxDepth = 0;
    };
    struct AskingCycle : IDrawCycleListener {
        IGraphics* editor = nullptr;
        bool ask = false;
        int depth = 0, maxDepth = 0;
        void OnDrawCycle() override {
            ++depth;
            maxDepth = std::max(maxDepth, depth);
            if (ask) {
                ask = false;
                editor->MessageDialog("While collecting", "Info", MB_OK);
            }
            --depth;
        }
    } cycle;
    WinRig rig;
    auto* asking = new AskingControl(&rig.plug, {100, 60, 140, 100}, -1, 0xff30a050u);
    rig.editor.AddControl(asking);
    ASSERT_NE(rig.Open(), nullptr);
    cycle.editor = &rig.editor;
    rig.editor.SetDrawCycleListener(&cycle);

    for (int round = 0; round < 2; ++round) {
        ModalAnswer answer(
            "#32770", [](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }, 300);
        if (round == 0) {
            asking->ask = true;
            asking->MarkDirty(false);
        } else {
            cycle.ask = true;
        }
        EXPECT_TRUE(PumpUntil([&] { return answer.Answered(); }, 5000));
        Pump(150);
    }
    EXPECT_EQ(asking->maxDepth, 1);
    EXPECT_EQ(cycle.maxDepth, 1);
    // Painted in full afterwards.
    rig.Settle();
    auto shot = CaptureWindow(rig.Window());
    EXPECT_EQ(Rgb(shot.get(), 120, 80), 0xff30a050u);
    EXPECT_EQ(Rgb(shot.get(), 154, 10), 0xff00b8c2u);
    rig.editor.SetDrawCycleListener(nullptr);
}
