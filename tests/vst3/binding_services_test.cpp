// What the binding does for the plug-in and its editor, checked in-process: the editor view's
// window protocol and resize sequence, edits and context menus sent to the host, latency changes,
// transport information, parameter groups as units, and identifier bytes.
#include "support/host_objects.h"
#include "vst3/binding_fixture.h"
#include "vst3/effect_vst3_view.h"
#include "vst3/ihost_parameter.h"

#include "vst3/view_platform.h"

#include <gtest/gtest.h>

#include <string>

#include <cstdint>
#include <cstring>

using namespace vst;

namespace {

// The window type this platform does not use.
const char* OtherPlatformType() {
    return std::string(ViewPlatformType()) == "HWND" ? "X11EmbedWindowID" : "HWND";
}

// Releases the object's creation reference at the end of a test.
struct Owned {
    BindingTestEffect* fx;
    explicit Owned(bool withEditor = true) : fx(new BindingTestEffect(withEditor)) {}
    ~Owned() { fx->release(); }
    BindingTestEffect* operator->() { return fx; }
};

class RecordingMenu : public HostObject<IContextMenu> {
  public:
    int32 getItemCount() override { return 0; }
    tresult getItem(int32, IContextMenuItem&, IContextMenuTarget**) override { return kResultFalse; }
    tresult addItem(const IContextMenuItem&, IContextMenuTarget*) override { return kResultOk; }
    tresult removeItem(const IContextMenuItem&, IContextMenuTarget*) override { return kResultOk; }
    tresult popup(UCoord x, UCoord y) override {
        shownAt = {x, y};
        return kResultOk;
    }
    std::pair<int, int> shownAt{-1, -1};
};

// A handler that also offers context menus.
class MenuHandler : public RecordingHandler, public IComponentHandler3 {
  public:
    tresult queryInterface(const TUID iid, void** obj) override {
        if (IComponentHandler3::iid.Matches(iid)) {
            *obj = static_cast<IComponentHandler3*>(this);
            RecordingHandler::addRef();
            return kResultOk;
        }
        return RecordingHandler::queryInterface(iid, obj);
    }
    uint32 addRef() override { return RecordingHandler::addRef(); }
    uint32 release() override { return RecordingHandler::release(); }
    IContextMenu* createContextMenu(IPlugView* view, const ParamID* id) override {
        forView = view;
        forParam = id ? *id : 0xFFFFFFFF;
        menu.addRef();
        return &menu;
    }
    RecordingMenu menu;
    IPlugView* forView = nullptr;
    ParamID forParam = 0;
};

} // namespace

TEST(Identifiers, BytesFollowThePlatformOrder) {
#if defined(_WIN32)
    const unsigned char expected[16] = {0x31, 0xFF, 0x31, 0xE8, 0xD5, 0xF2, 0x01, 0x43,
                                        0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
#else
    const unsigned char expected[16] = {0xE8, 0x31, 0xFF, 0x31, 0xF2, 0xD5, 0x43, 0x01,
                                        0x92, 0x8E, 0xBB, 0xEE, 0x25, 0x69, 0x78, 0x02};
#endif
    EXPECT_EQ(std::memcmp(IComponent::iid.Data(), expected, 16), 0);
    const unsigned char unknown[16] = {0, 0, 0, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};
    EXPECT_EQ(std::memcmp(FUnknown::iid.Data(), unknown, 16), 0);
}

TEST(EditorView, WindowProtocolWithAnEditor) {
    Owned fx;
    IPlugView* view = fx->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->isPlatformTypeSupported(ViewPlatformType()), kResultOk);
    EXPECT_EQ(view->isPlatformTypeSupported("hwnd"), kResultFalse);
    EXPECT_EQ(view->isPlatformTypeSupported("x11embedwindowid"), kResultFalse);
    ViewRect r{};
    ASSERT_EQ(view->getSize(&r), kResultOk);
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right, 730);
    EXPECT_EQ(r.bottom, 330);

    int parent = 0;
    EXPECT_EQ(view->attached(&parent, ViewPlatformType()), kResultOk);
    EXPECT_EQ(view->removed(), kResultOk);
    ASSERT_EQ(fx->editor->attachedTo.size(), 1u);
    EXPECT_EQ(fx->editor->attachedTo[0], &parent);
    EXPECT_EQ(fx->editor->detaches, 1);
    EXPECT_EQ(fx->opens, 1);
    EXPECT_EQ(fx->closes, 1);
    // Another platform type makes no window but still opens the editor for the plug-in.
    EXPECT_EQ(view->attached(&parent, OtherPlatformType()), kResultOk);
    EXPECT_EQ(fx->editor->attachedTo.size(), 1u);
    EXPECT_EQ(fx->opens, 2);
    view->removed();

    EXPECT_EQ(fx->Views().size(), 1u);
    view->release();
    EXPECT_TRUE(fx->Views().empty());
}

TEST(EditorView, HooksAndWindowsArePairedWhateverOrderTheHostCalls) {
    const char* native = ViewPlatformType();
    int parentA = 0, parentB = 0;
    Owned fx;
    IPlugView* view = fx->createView("editor");
    EXPECT_EQ(view->removed(), kResultOk); // never attached
    EXPECT_EQ(fx->closes, 0);
    EXPECT_EQ(fx->editor->detaches, 0);

    EXPECT_EQ(view->attached(&parentA, native), kResultOk);
    EXPECT_EQ(view->attached(&parentB, native), kResultOk); // moves the window, opens nothing new
    EXPECT_EQ(fx->editor->attachedTo, (std::vector<void*>{&parentA, &parentB}));
    EXPECT_EQ(fx->opens, 1);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(view->removed(), kResultOk); // twice
    EXPECT_EQ(fx->closes, 1);
    EXPECT_EQ(fx->editor->detaches, 1);

    // A window that cannot be made: refused, no hook, nothing to close later.
    fx->editor->failAttach = true;
    EXPECT_EQ(view->attached(&parentA, native), kResultFalse);
    EXPECT_EQ(fx->opens, 1);
    view->removed();
    EXPECT_EQ(fx->closes, 1);
    fx->editor->failAttach = false;

    // Odd sizes from the host are only stored.
    ViewRect odd[] = {{0, 0, -5, -5}, {100, 100, 0, 0}, {INT32_MIN, 0, INT32_MAX, 1}};
    for (ViewRect& r : odd)
        EXPECT_EQ(view->onSize(&r), kResultOk);
    EXPECT_EQ(view->onSize(nullptr), kResultOk);
    EXPECT_EQ(fx->resizes, 0);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->checkSizeConstraint(&odd[0]), kResultFalse);

    // Released while open: the window is closed with the view.
    EXPECT_EQ(view->attached(&parentA, native), kResultOk);
    view->release();
    EXPECT_EQ(fx->closes, 2);
    EXPECT_EQ(fx->editor->detaches, 2);
}

TEST(EditorView, ResizeRequestRunsTheHookOnceOnTheHostsAnswer) {
    Owned fx;
    auto* view = static_cast<IEffectVST3View*>(fx->createView("editor"));
    RecordingFrame frame;
    view->setFrame(&frame);
    ViewRect r{0, 0, 10, 10};
    view->onSize(&r);
    EXPECT_EQ(fx->resizes, 0);

    fx->ResizeEditor(800, 400);
    ASSERT_EQ(frame.requests.size(), 1u);
    EXPECT_EQ(frame.requests[0].right, 800);
    EXPECT_EQ(frame.requests[0].bottom, 400);
    EXPECT_TRUE(view->ResizePending());
    ViewRect answer{0, 0, 800, 400};
    view->onSize(&answer);
    view->onSize(&answer);
    EXPECT_EQ(fx->resizes, 1);
    EXPECT_EQ(view->Rect().right, 800);
    view->setFrame(nullptr);
    view->release();
    // Without a view there is nobody to ask.
    fx->ResizeEditor(800, 400);
    EXPECT_EQ(frame.requests.size(), 1u);
}

TEST(HostServices, EditsMenusAndLatencyReachTheHandler) {
    Owned fx;
    fx->BeginParamGesture(1); // no handler yet: nothing happens
    MenuHandler handler;
    ASSERT_EQ(fx->setComponentHandler(&handler), kResultOk);
    fx->BeginParamGesture(2);
    fx->SetParameterFromUI(2, 0.123456);
    fx->EndParamGesture(2);
    ASSERT_EQ(handler.edits.size(), 3u);
    EXPECT_EQ(handler.edits[0].kind, 'b');
    EXPECT_EQ(handler.edits[1].kind, 'p');
    EXPECT_EQ(handler.edits[1].id, 2u);
    EXPECT_DOUBLE_EQ(handler.edits[1].value, 0.123456);
    EXPECT_EQ(handler.edits[2].kind, 'e');
    EXPECT_EQ(fx->changes.back(), 2);

    fx->PopupHostContextMenu(1, 10, 20); // no view open: no menu
    EXPECT_EQ(handler.forView, nullptr);
    IPlugView* view = fx->createView("editor");
    fx->PopupHostContextMenu(1, 10, 20);
    EXPECT_EQ(handler.forView, view);
    EXPECT_EQ(handler.forParam, 1u);
    EXPECT_EQ(handler.menu.shownAt, std::make_pair(10, 20));
    EXPECT_EQ(handler.menu.References(), 1);
    view->release();

    fx->SetLatency(64);
    ASSERT_EQ(handler.restarts.size(), 1u);
    EXPECT_EQ(handler.restarts[0], 8);
    EXPECT_EQ(fx->getLatencySamples(), 64u);
    fx->terminate();
    EXPECT_EQ(handler.References(), 1);
}

TEST(HostServices, TransportComesFromTheLastProcessContext) {
    Owned fx;
    ProcessSetup setup{kOffline, kSample64, 64, 44100.0};
    ASSERT_EQ(fx->setupProcessing(setup), kResultOk);
    EXPECT_TRUE(fx->IsRenderingOffline());
    ProcessContext ctx{};
    ctx.state = ProcessContext::kPlaying | ProcessContext::kTempoValid;
    ctx.projectTimeSamples = (int64(1) << 32) + 5;
    ctx.projectTimeMusic = 8.5;
    ctx.barPositionMusic = 8.0;
    ctx.cycleStartMusic = 1.0;
    ctx.cycleEndMusic = 9.0;
    ctx.tempo = 133.0;
    ctx.timeSigNumerator = 7;
    ctx.timeSigDenominator = 8;
    ProcessData data{};
    data.symbolicSampleSize = kSample64;
    data.processContext = &ctx;
    ASSERT_EQ(fx->process(data), kResultOk);
    data.processContext = nullptr; // a block without context keeps the last one
    ASSERT_EQ(fx->process(data), kResultOk);
    TransportInfo t;
    fx->GetTransport(&t);
    EXPECT_DOUBLE_EQ(t.tempo, 133.0);
    EXPECT_DOUBLE_EQ(t.samplePos, 4294967301.0);
    EXPECT_DOUBLE_EQ(t.ppqPos, 8.5);
    EXPECT_DOUBLE_EQ(t.lastBar, 8.0);
    EXPECT_DOUBLE_EQ(t.cycleStart, 1.0);
    EXPECT_DOUBLE_EQ(t.cycleEnd, 9.0);
    EXPECT_EQ(t.timeSigNumerator, 7);
    EXPECT_EQ(t.timeSigDenominator, 8);
    EXPECT_TRUE(t.transportRunning);
    EXPECT_FALSE(t.cycleActive);
    EXPECT_EQ(fx->GetSamplePos(), 5);
    EXPECT_DOUBLE_EQ(fx->GetTempo(), 133.0);
}

TEST(HostServices, QueueValuesReachTheEditorAndTheHook) {
    Owned fx;
    fx->editor->applied.clear(); // what the editor got when it was attached
    ParameterChanges changes;
    changes.Add(1, {{0, 0.3}, {5, 0.4}});
    changes.Add(2, {{0, 2.0}});
    ProcessData data{};
    data.symbolicSampleSize = kSample32;
    data.inputParameterChanges = &changes;
    ASSERT_EQ(fx->process(data), kResultOk);
    EXPECT_TRUE(fx->editor->applied.empty()) << "the audio thread touches no control";
    fx->DeliverHostValuesToControls(); // the editor's draw cycle
    ASSERT_EQ(fx->editor->applied.size(), 2u);
    EXPECT_EQ(fx->editor->applied[0], std::make_pair(1, 0.4));
    EXPECT_EQ(fx->editor->applied[1], std::make_pair(2, 1.0));
    EXPECT_EQ(fx->changes, (std::vector<int>{1, 2}));
    // A host edit of the controller only stores the value.
    fx->changes.clear();
    fx->editor->applied.clear();
    fx->setParamNormalized(0, 0.7);
    EXPECT_TRUE(fx->changes.empty());
    EXPECT_TRUE(fx->editor->applied.empty());
}

TEST(HostServices, ParameterGroupsBecomeUnits) {
    Owned fx;
    TestHostApplication app;
    ASSERT_EQ(fx->initialize(&app), kResultOk);
    EXPECT_EQ(fx->GetHost(), kHostVst3TestHost);
    ASSERT_EQ(fx->getUnitCount(), 3);
    UnitInfo u{};
    ASSERT_EQ(fx->getUnitInfo(1, u), kResultOk);
    EXPECT_EQ(u.id, 1);
    EXPECT_EQ(u.parentUnitId, 0);
    EXPECT_EQ(u.programListId, -1);
    EXPECT_EQ(std::u16string(u.name), u"Tone");
    ASSERT_EQ(fx->getUnitInfo(2, u), kResultOk);
    EXPECT_EQ(std::u16string(u.name), u"Level");
    EXPECT_EQ(fx->getUnitInfo(3, u), kResultFalse);
    const UnitID expected[3] = {1, 0, 2};
    for (int i = 0; i < 3; ++i) {
        ParameterInfo info{};
        ASSERT_EQ(fx->getParameterInfo(2 + i, info), kResultOk);
        EXPECT_EQ(info.unitId, expected[i]) << i;
    }
    fx->terminate();
}

TEST(HostServices, ConnectionPointKeepsOnePeer) {
    Owned a, b;
    EXPECT_EQ(a->connect(nullptr), kInvalidArgument);
    EXPECT_EQ(a->connect(b.fx), kResultOk);
    EXPECT_EQ(a->connect(b.fx), kResultFalse);
    EXPECT_EQ(a->disconnect(a.fx), kResultFalse);
    EXPECT_EQ(a->disconnect(b.fx), kResultOk);
    EXPECT_EQ(a->notify(nullptr), kInvalidArgument);
    EXPECT_EQ(b->ReferenceCount(), 1u);
}

TEST(HostParameters, FilledOnceFromTheRecordAndConvertingThroughIt) {
    IParamRecord shaped;
    shaped.InitContinuous("Shaped", 0.25, 0.0, 1.0, 0.001, "dB", "", 2.0);
    IParamRecord stepped; // an uninitialised record: stepped 0..1
    stepped.displayTexts.push_back({1, "on"});
    stepped.value = 1.0;
    stepped.canAutomate = false;

    auto* p = new IHostParameter(&shaped, 7, 3);
    EXPECT_EQ(p->Info().id, 7u);
    EXPECT_EQ(std::u16string(p->Info().title), u"Shaped");
    EXPECT_EQ(std::u16string(p->Info().units), u"dB");
    EXPECT_EQ(p->Info().stepCount, 0);
    EXPECT_DOUBLE_EQ(p->Info().defaultNormalizedValue, 0.5);
    EXPECT_EQ(p->Info().unitId, 3);
    EXPECT_EQ(p->Info().flags, ParameterInfo::kCanAutomate);
    EXPECT_EQ(p->Precision(), 3);
    EXPECT_DOUBLE_EQ(p->toPlain(0.5), 0.25);
    EXPECT_DOUBLE_EQ(p->toNormalized(0.25), 0.5);
    String128 text{};
    p->toString(0.5, text);
    EXPECT_EQ(std::u16string(text), u"0.250");
    ParamValue v = 0;
    EXPECT_TRUE(p->fromString(u"2.5 units", v));
    EXPECT_DOUBLE_EQ(v, 1.0);
    EXPECT_TRUE(p->IsTypeOf("IHostParameter", false));
    EXPECT_FALSE(p->IsTypeOf("Parameter", false));
    EXPECT_TRUE(p->IsTypeOf("Parameter", true));
    EXPECT_TRUE(p->IsTypeOf("FObject", true));
    p->ReleaseReference();

    // A record never defined carries only an editor control: listed hidden under the given title.
    auto* q = new IHostParameter(&stepped, 0, 0, "Carrier");
    EXPECT_EQ(std::u16string(q->Info().title), u"Carrier");
    EXPECT_EQ(q->Info().stepCount, 1);
    EXPECT_EQ(q->Info().flags, ParameterInfo::kIsHidden);
    EXPECT_EQ(std::u16string(q->Info().units), u""); // the current value shows a text
    q->toString(1.0, text);
    EXPECT_EQ(std::u16string(text), u"on");
    q->ReleaseReference();

    shaped.canAutomate = false;
    auto* fixed = new IHostParameter(&shaped, 1, 0, "Carrier");
    EXPECT_EQ(std::u16string(fixed->Info().title), u"Shaped");
    EXPECT_EQ(fixed->Info().flags, 0);
    fixed->ReleaseReference();
}

TEST(HostParameters, ClassTypeTestOfTheBinding) {
    Owned fx;
    EXPECT_TRUE(fx->IsTypeOf("IEffectVST3", false));
    EXPECT_FALSE(fx->IsTypeOf("SingleComponentEffect", false));
    for (const char* base :
         {"SingleComponentEffect", "EditControllerEx1", "EditController", "ComponentBase", "FObject"})
        EXPECT_TRUE(fx->IsTypeOf(base, true)) << base;
    EXPECT_FALSE(fx->IsTypeOf("IHostParameter", true));
}
