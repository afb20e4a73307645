#include "graphics/editor_fixture.h"
#include "graphics/x11/x11_graphics.h"
#include "graphics/x11/x11_popup_menu.h"
#include "support/different_pixels.h"
#include "x11/sample_scene.h"
#include "x11/x11_host.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <thread>

// The X11 back end in this process, embedded in a host window on the test display and driven by
// a run loop as a Linux host drives it; input arrives through XTest.

namespace {

template <typename Editor> std::unique_ptr<IGraphics> Make(IEffectBase* plug) {
    return std::make_unique<Editor>(plug, kSceneWidth, kSceneHeight, 25);
}

struct SceneEditor {
    explicit SceneEditor(std::unique_ptr<IGraphics> (*make)(IEffectBase*)) : editor(make(&plug)) {
        DefineSceneParameters(plug);
        probe = BuildScene(*editor, plug);
        // What the plug-in base does when it takes the editor.
        for (int i = 0; i < plug.NParams(); ++i)
            editor->ApplyHostValueToControls(i, plug.GetParam(i)->ToNormalized(plug.GetParam(i)->value));
        editor->PrepareSurfaces();
    }
    RecordingPlug plug{kSceneParams};
    std::unique_ptr<IGraphics> editor;
    ProbeControl* probe = nullptr;
};

bool Has(const std::vector<std::string>& calls, const std::string& what) {
    return std::find(calls.begin(), calls.end(), what) != calls.end();
}

class X11EditorTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(host.Ok()) << "no X display (DISPLAY=" << (getenv("DISPLAY") ?: "") << ")";
        // A menu the test's input never reaches fails the test in seconds, not ten minutes.
        SetPopupMenuTimeLimit(20000);
    }

    IGraphicsX11& Editor() { return static_cast<IGraphicsX11&>(*scene->editor); }
    ProbeControl& Probe() { return *scene->probe; }
    RecordingPlug& Plug() { return scene->plug; }

    bool Open() {
        Editor().UseHostRunLoop(frame.RunLoop());
        if (!Editor().AttachToParent(host.Handle())) return false;
        // Drawn once the first timer ticks.
        loop.RunFor(150);
        return true;
    }
    // Runs the host's loop until the probe has seen `what`.
    bool ProbeSaw(const std::string& what) {
        return loop.RunUntil([&] { return Has(Probe().calls, what); }, 10000);
    }
    // Runs the host's loop until the server has the input focus on w: keys typed before that go
    // wherever the focus was.
    bool FocusOn(xcb_window_t w) {
        return loop.RunUntil([&] { return host.FocusWindow() == w; }, 10000);
    }
    // The open text field's window (the editor's only child), once the server has focused it.
    bool FieldHasFocus() {
        return loop.RunUntil(
            [&] {
                const std::vector<xcb_window_t> kids = host.ChildrenOf(Editor().WindowId());
                return !kids.empty() && host.FocusWindow() == kids.back();
            },
            10000);
    }
    // Screen position of an editor point (host window and editor both sit at the origin).
    void Click(int x, int y, int button = 1) { host.Click(x, y, button); }

    HostWindow host;
    TestRunLoop loop;
    TestFrame frame{&loop};
    std::unique_ptr<SceneEditor> scene = std::make_unique<SceneEditor>(&Make<IGraphicsX11>);
};

TEST_F(X11EditorTest, WindowShowsExactlyWhatTheHeadlessEditorDraws) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(loop.EventHandlers(), 1u);
    EXPECT_EQ(loop.TimerIntervals(), std::vector<vst::uint64>{40});
    ASSERT_EQ(host.Children().size(), 1u);
    EXPECT_EQ(host.Children()[0], Editor().WindowId());

    SceneEditor reference(&Make<IGraphicsHeadless>);
    auto& headless = static_cast<IGraphicsHeadless&>(*reference.editor);
    headless.AttachToParent(nullptr);
    headless.TickUntilClean();

    std::unique_ptr<RAST_MemBitmap> shot = host.Capture(Editor().WindowId());
    ASSERT_TRUE(shot);
    // Same raster, same fonts: the text matches as well as the images.
    EXPECT_EQ(DifferentPixels(*shot, *headless.Presented()), 0);

    // A redraw after a value change reaches the window too.
    Editor().ApplyHostValueToControls(0, 1.0);
    reference.editor->ApplyHostValueToControls(0, 1.0);
    loop.RunFor(150);
    headless.TickUntilClean();
    shot = host.Capture(Editor().WindowId());
    ASSERT_TRUE(shot);
    EXPECT_EQ(DifferentPixels(*shot, *headless.Presented()), 0);
}

TEST_F(X11EditorTest, PointerEventsReachTheControls) {
    ASSERT_TRUE(Open());
    const int px = kSceneProbe.left + 10, py = kSceneProbe.top + 10;
    const std::string at = std::to_string(px) + " " + std::to_string(py);

    Click(px, py);
    EXPECT_TRUE(ProbeSaw("up " + at));
    EXPECT_EQ(Probe().calls.front(), "down " + at);

    loop.RunFor(600); // past the double-click time
    Probe().calls.clear();
    Click(px, py, 3);
    EXPECT_TRUE(ProbeSaw("down " + at + " R")) << "the right button, on a control without a parameter";

    for (auto [button, seen] : {std::pair{4, "wheel 1"}, std::pair{5, "wheel -1"}}) {
        host.Button(button, true);
        host.Button(button, false);
        EXPECT_TRUE(ProbeSaw(seen));
    }

    loop.RunFor(600);
    Probe().calls.clear();
    Click(px, py);
    Click(px, py);
    ASSERT_TRUE(ProbeSaw("dbl"));
    loop.RunFor(100);
    EXPECT_EQ(Probe().calls, (std::vector<std::string>{"down " + at, "up " + at, "dbl", "up " + at}));

    // A third quick click starts a new pair rather than a second double-click.
    Probe().calls.clear();
    Click(px, py);
    EXPECT_TRUE(ProbeSaw("down " + at));

    // Radio buttons and the fader push their values to the plug-in.
    loop.RunFor(600);
    int rx, ry;
    RadioButtonCentre(2, rx, ry);
    Click(rx, ry);
    EXPECT_TRUE(loop.RunUntil([&] { return !Plug().fromUI.empty() && Plug().fromUI.back().paramIdx == 0; }));
    EXPECT_DOUBLE_EQ(Plug().fromUI.back().normalized, 1.0);

    Plug().fromUI.clear();
    host.MoveTo(kSceneFaderX + 5, kSceneFaderY + 5);
    host.Button(1, true);
    for (int dx = 10; dx <= 60; dx += 10)
        host.MoveTo(kSceneFaderX + 5 + dx, kSceneFaderY + 5);
    host.Button(1, false);
    ASSERT_TRUE(loop.RunUntil([&] { return Plug().log.size() >= 2 && Plug().log.back() == "end 1"; }));
    ASSERT_FALSE(Plug().fromUI.empty());
    EXPECT_GT(Plug().fromUI.back().normalized, Plug().fromUI.front().normalized) << "dragged to the right";
}

TEST_F(X11EditorTest, PointerLeavingTheEditorIsReported) {
    Editor().SetHandleMouseOver(true);
    ASSERT_TRUE(Open());
    host.MoveTo(kSceneProbe.left + 5, kSceneProbe.top + 5);
    EXPECT_TRUE(ProbeSaw("over"));
    host.MoveTo(kSceneWidth + 100, 50); // still inside the host's window
    EXPECT_TRUE(ProbeSaw("out"));
}

TEST_F(X11EditorTest, KeysGoToTheControlsOrOnToTheHost) {
    ASSERT_TRUE(Open());
    Click(kSceneProbe.left + 5, kSceneProbe.top + 5); // the editor takes the focus
    ASSERT_TRUE(
        ProbeSaw("up " + std::to_string(kSceneProbe.left + 5) + " " + std::to_string(kSceneProbe.top + 5)));
    ASSERT_TRUE(FocusOn(Editor().WindowId()));
    const struct {
        uint32_t keysym;
        const char* seen;
    } keys[] = {{'a', "key 15"},   {'Z', "key 40"},   {'7', "key 12"},
                {0xff52, "key 1"}, {0xff53, "key 4"}, {' ', "key 0"}};
    for (const auto& k : keys) {
        host.Type(k.keysym);
        EXPECT_TRUE(ProbeSaw(k.seen)) << k.seen;
    }
    loop.RunFor(50);
    // The shift key of 'Z' (pressed and released) is not a control key.
    const int forwarded = host.ForwardedKeys();
    EXPECT_EQ(forwarded, 1);

    // Keys outside the table, and keys no control takes, are the host's.
    Probe().calls.clear();
    host.Type(0xffbe); // F1
    EXPECT_TRUE(loop.RunUntil([&] { return host.ForwardedKeys() == forwarded + 1; }));
    EXPECT_TRUE(Probe().calls.empty());
    Probe().takesKeys = false;
    host.Type('b');
    EXPECT_TRUE(ProbeSaw("key 16"));
    EXPECT_TRUE(loop.RunUntil([&] { return host.ForwardedKeys() == forwarded + 2; }));
}

// The right button drags as the left does (the response display's straight-line tool), and the
// control is told which button is held.
TEST_F(X11EditorTest, RightButtonDragsReachTheControl) {
    ASSERT_TRUE(Open());
    const int x = kSceneProbe.left + 5, y = kSceneProbe.top + 5;
    host.MoveTo(x, y);
    host.Button(3, true);
    ASSERT_TRUE(ProbeSaw("down " + std::to_string(x) + " " + std::to_string(y) + " R"));
    host.MoveTo(x + 20, y + 10);
    EXPECT_TRUE(ProbeSaw("drag " + std::to_string(x + 20) + " " + std::to_string(y + 10) + " 20 10 R"));
    host.MoveTo(x + 30, y + 5); // on past the control's edge: the drag stays with it
    host.MoveTo(x + 100, y + 5);
    EXPECT_TRUE(ProbeSaw("drag " + std::to_string(x + 100) + " " + std::to_string(y + 5) + " 70 0 R"));
    host.Button(3, false);
    EXPECT_TRUE(ProbeSaw("up " + std::to_string(x + 100) + " " + std::to_string(y + 5)));
}

// Every keypad key types its character into the text field, whether Num Lock is on or Shift is
// held, and the keypad's Enter commits. The probe's field takes seven characters: three entries.
TEST_F(X11EditorTest, KeypadKeysTypeIntoTheTextField) {
    ASSERT_TRUE(Open());
    ITextStyle style;
    const struct {
        std::vector<uint32_t> keys;
        const char* typed;
    } entries[] = {{{0xffb0, 0xffb1, 0xffb2, 0xffb3, 0xffb4, 0xffb5, 0xffb6}, "0123456"},
                   {{0xffb7, 0xffb8, 0xffb9, 0xffae, 0xffab, 0xffad, 0xffaa}, "789.+-*"},
                   {{0xffaf}, "/"}};
    const uint32_t numLock = 0xff7f, keypadEnter = 0xff8d;
    for (bool withNumLock : {true, false})
        for (const auto& entry : entries) {
            SCOPED_TRACE(std::string(withNumLock ? "Num Lock on: " : "Shift held: ") + entry.typed);
            Probe().calls.clear();
            Editor().ShowTextEntry(&Probe(), style, kSceneProbe, "", nullptr);
            ASSERT_TRUE(FieldHasFocus());
            if (withNumLock) host.PressKey(numLock);
            for (uint32_t k : entry.keys)
                withNumLock ? host.PressKey(k) : host.Type(k);
            host.PressKey(keypadEnter);
            if (withNumLock) host.PressKey(numLock); // off again for what follows
            EXPECT_TRUE(ProbeSaw(std::string("text ") + entry.typed))
                << testing::PrintToString(Probe().calls);
            ASSERT_TRUE(loop.RunUntil([&] { return !Editor().EntryOpen(); }));
        }
}

// A menu of four entries whose first opens a submenu of three; the third is greyed.
std::unique_ptr<IMenuList> SampleMenu() {
    auto menu = std::make_unique<IMenuList>();
    auto sub = std::make_unique<IMenuList>();
    sub->AddEntry("alpha");
    sub->AddEntry("beta");
    sub->AddEntry("gamma");
    menu->AddEntry("One", 0, std::move(sub));
    menu->AddEntry("Two");
    menu->AddEntry("Three", IMenuEntry::kGreyed);
    menu->AddEntry("Four", IMenuEntry::kTicked);
    return menu;
}

// Runs `user` on its own thread (with its own connection) while the menu holds this one.
IMenuList* WithUser(IGraphicsX11& editor, IMenuList& menu, const std::function<void(HostWindow&)>& user) {
    std::thread person([&] {
        HostWindow hands(1, 1);
        // Input before the menu holds both the pointer and the keyboard would go elsewhere.
        if (hands.WaitForPointerAndKeyboardGrab()) user(hands);
    });
    IMenuList* chosen = editor.ShowPopupMenu(menu, IPixelRect(20, 20, 80, 40));
    person.join();
    return chosen;
}

// Centre of entry i of the newest popup, in screen coordinates.
void EntryCentre(HostWindow& hands, int i, int& x, int& y) {
    std::vector<xcb_window_t> popups;
    for (int wait = 0; wait < 1000; ++wait) {
        popups = hands.Popups();
        if (!popups.empty()) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    x = y = -1;
    if (popups.empty() || !hands.Origin(popups.back(), x, y)) return;
    x += 30;
    y += 1 + 20 * i + 10;
}

TEST_F(X11EditorTest, PopupMenuReturnsTheSubmenuEntryChosen) {
    ASSERT_TRUE(Open());
    auto menu = SampleMenu();
    IMenuList* chosen = WithUser(Editor(), *menu, [](HostWindow& hands) {
        int x, y;
        EntryCentre(hands, 0, x, y);
        ASSERT_EQ(y - 11, 40) << "the menu opens below the rectangle";
        hands.MoveTo(x, y);
        for (int i = 0; i < 1000 && hands.Popups().size() < 2; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        EntryCentre(hands, 2, x, y);
        hands.Click(x, y);
    });
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen, menu->Entry(0)->submenu.get());
    EXPECT_EQ(chosen->chosenIndex, 2);
    EXPECT_TRUE(host.Popups().empty());
}

TEST_F(X11EditorTest, PopupMenuDismissedOrGreyedChoosesNothing) {
    ASSERT_TRUE(Open());
    const std::function<void(HostWindow&)> users[] = {
        [](HostWindow& hands) { hands.Click(700, 300); }, // beside the menu
        [](HostWindow& hands) {
            int x, y;
            EntryCentre(hands, 2, x, y); // the greyed entry keeps the menu open
            hands.Click(x, y);
            hands.Type(0xff1b); // Escape
        },
    };
    for (const auto& user : users) {
        auto menu = SampleMenu();
        EXPECT_EQ(WithUser(Editor(), *menu, user), nullptr);
        EXPECT_EQ(menu->chosenIndex, -1);
    }
    // Keys alone: Down passes the submenu's entry by, Up skips the greyed one, Right opens a
    // submenu. The same walk ends on the top menu's "Four" or on the submenu's "alpha".
    const struct {
        std::vector<uint32_t> keys;
        int submenu; // 0: the top menu
        int chosen;
    } walks[] = {{{0xff54, 0xff54, 0xff0d}, 0, 1},
                 {{0xff52, 0xff52, 0xff0d}, 0, 1},
                 {{0xff54, 0xff53, 0xff0d}, 1, 0},
                 {{0xff54, 0xff53, 0xff51, 0xff54, 0xff0d}, 0, 1}};
    for (const auto& walk : walks) {
        auto menu = SampleMenu();
        IMenuList* chosen = WithUser(Editor(), *menu, [&](HostWindow& hands) {
            for (uint32_t k : walk.keys)
                hands.Type(k);
        });
        ASSERT_EQ(chosen, walk.submenu ? menu->Entry(0)->submenu.get() : menu.get());
        EXPECT_EQ(chosen->chosenIndex, walk.chosen);
    }
}

TEST_F(X11EditorTest, TextFieldCommitsOrCancelsWhatIsTyped) {
    auto* bound = new ProbeControl(&Plug(), {100, 60, 160, 80}, 3);
    Editor().AddControl(bound);
    ASSERT_TRUE(Open());
    ITextStyle style;

    // Free text goes to the control as typed; Return commits on the next tick.
    Editor().ShowTextEntry(&Probe(), style, kSceneProbe, "abc", nullptr);
    ASSERT_TRUE(Editor().EntryOpen());
    ASSERT_TRUE(FieldHasFocus());
    EXPECT_EQ(host.Children().size(), 1u) << "the field is the editor's child";
    for (uint32_t k : {uint32_t('x'), uint32_t('Y'), 0xff0du})
        host.Type(k);
    EXPECT_TRUE(ProbeSaw("text xY"));
    EXPECT_FALSE(Editor().EntryOpen());

    // A parameter's entry takes numbers: the value arrives normalised, as a user edit.
    Editor().ShowTextEntry(bound, style, {100, 60, 140, 76}, "0.5000", Plug().GetParam(3));
    ASSERT_TRUE(FieldHasFocus());
    for (uint32_t k : {uint32_t('0'), uint32_t('.'), uint32_t('2'), uint32_t('5'), uint32_t('q'), 0xff0du})
        host.Type(k);
    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().EntryOpen(); }));
    ASSERT_FALSE(Plug().fromUI.empty());
    EXPECT_EQ(Plug().fromUI.back().paramIdx, 3);
    EXPECT_DOUBLE_EQ(Plug().fromUI.back().normalized, 0.25);

    // Escape, or a press beside the field, abandons the entry.
    Probe().calls.clear();
    Editor().ShowTextEntry(&Probe(), style, kSceneProbe, "abc", nullptr);
    ASSERT_TRUE(FieldHasFocus());
    host.Type('z');
    host.Type(0xff1b);
    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().EntryOpen(); }));
    Editor().ShowTextEntry(&Probe(), style, kSceneProbe, "abc", nullptr);
    ASSERT_TRUE(FieldHasFocus());
    host.Type('z');
    Click(200, 10);
    ASSERT_TRUE(loop.RunUntil([&] { return !Editor().EntryOpen(); }));
    loop.RunFor(100);
    for (const std::string& c : Probe().calls)
        EXPECT_EQ(c.rfind("text", 0), std::string::npos) << c;
}

// A hidden pointer comes back where it was hidden, wherever it went meanwhile.
TEST_F(X11EditorTest, AHiddenPointerComesBackWhereItWasHidden) {
    ASSERT_TRUE(Open());
    host.MoveTo(30, 70);
    loop.RunFor(50);
    Editor().HideCursor();
    host.MoveTo(200, 20);
    loop.RunFor(50);
    Editor().RestoreCursor();
    loop.RunFor(50);
    int x = 0, y = 0;
    ASSERT_TRUE(host.Pointer(x, y));
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 70);
}

TEST_F(X11EditorTest, WithoutARunLoopOrADisplayNothingOpens) {
    const int descriptors = OpenDescriptors();
    TestFrame bare(nullptr);
    Editor().UseHostRunLoop(bare.RunLoop());
    EXPECT_EQ(Editor().AttachToParent(host.Handle()), nullptr);
    Editor().UseHostRunLoop(nullptr);
    EXPECT_EQ(Editor().AttachToParent(host.Handle()), nullptr);

    std::string display = getenv("DISPLAY");
    setenv("DISPLAY", ":1999", 1);
    Editor().UseHostRunLoop(frame.RunLoop());
    EXPECT_EQ(Editor().AttachToParent(host.Handle()), nullptr);
    setenv("DISPLAY", display.c_str(), 1);

    // Not a window at all.
    Editor().UseHostRunLoop(frame.RunLoop());
    EXPECT_EQ(Editor().AttachToParent(reinterpret_cast<void*>(uintptr_t(0x7ffffff0))), nullptr);
    Editor().DetachWindow();

    EXPECT_TRUE(host.Children().empty());
    EXPECT_EQ(loop.EventHandlers() + loop.Timers(), 0u);
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(frame.References(), 1);
    EXPECT_EQ(loop.References(), 1);
}

TEST_F(X11EditorTest, FiftyOpenAndCloseCyclesLeaveNoWindowOrConnection) {
    ASSERT_TRUE(Open());
    Editor().DetachWindow();
    const int descriptors = OpenDescriptors();
    for (int i = 0; i < 50; ++i) {
        ASSERT_TRUE(Open()) << "cycle " << i;
        ASSERT_EQ(host.Children().size(), 1u);
        Editor().DetachWindow();
        ASSERT_TRUE(host.Children().empty()) << "cycle " << i;
        ASSERT_EQ(loop.EventHandlers() + loop.Timers(), 0u);
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(loop.References(), 1);
    EXPECT_EQ(frame.References(), 1);
}

TEST_F(X11EditorTest, HostWindowDestroyedFirst) {
    ASSERT_TRUE(Open());
    host.Destroy();
    loop.RunFor(100);
    EXPECT_EQ(Editor().NativeWindow(), nullptr);
    Editor().ApplyHostValueToControls(0, 1.0); // a redraw with nowhere to go
    loop.RunFor(100);
    Editor().DetachWindow();
    EXPECT_EQ(loop.EventHandlers() + loop.Timers(), 0u);
}

TEST_F(X11EditorTest, CallsAfterCloseOrDestructionReachNothing) {
    ASSERT_TRUE(Open());
    Editor().DetachWindow();
    ASSERT_TRUE(Open());
    scene.reset(); // the plug-in goes away with its editor open
    EXPECT_EQ(loop.EventHandlers() + loop.Timers(), 0u);
    EXPECT_TRUE(loop.RunUntil([&] { return host.Children().empty(); }));
    // A careless host calls handlers it kept: they answer without touching the editor.
    ASSERT_EQ(loop.kept.size(), 4u);
    for (vst::FUnknown* h : loop.kept) {
        if (auto* e = vst::QueryAs<vst::IEventHandler>(h)) {
            e->onFDIsSet(0);
            e->release();
        }
        if (auto* t = vst::QueryAs<vst::ITimerHandler>(h)) {
            t->onTimer();
            t->release();
        }
    }
}

} // namespace
