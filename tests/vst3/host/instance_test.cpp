// One instance through the host sequence, seen only through the binary interface: interfaces,
// references, initialisation, buses, parameters, units and programs, and the editor view.
#include "vst3/host/shared_host.h"

#include <cmath>
#include <limits>

using namespace vst;

namespace {
constexpr ParamID kPreset = 0x70727374;
constexpr ParamID kBypass = 0x62706173;
} // namespace

TEST(Instance, AnswersItsInterfacesWithOneIdentityAndRefusesOthers) {
    REQUIRE_MODULE();
    FUnknown* obj = SharedHost().Create(FUnknown::iid);
    ASSERT_NE(obj, nullptr);
    void* unknown = nullptr;
    ASSERT_EQ(obj->queryInterface(FUnknown::iid.Data(), &unknown), kResultOk);
    for (const Uid* iid :
         {&IComponent::iid, &IAudioProcessor::iid, &IEditController::iid, &IEditController2::iid,
          &IUnitInfo::iid, &IConnectionPoint::iid, &IPluginBase::iid}) {
        auto* face = Query<FUnknown>(obj);
        void* out = nullptr;
        ASSERT_EQ(obj->queryInterface(iid->Data(), &out), kResultOk);
        ASSERT_NE(out, nullptr);
        // Whatever interface a host holds, asking it for the root gives the same object.
        void* root = nullptr;
        ASSERT_EQ(static_cast<FUnknown*>(out)->queryInterface(FUnknown::iid.Data(), &root), kResultOk);
        EXPECT_EQ(root, unknown);
        static_cast<FUnknown*>(root)->release();
        static_cast<FUnknown*>(out)->release();
        face->release();
    }
    for (const Uid* iid :
         {&unoffered::kMidiMapping, &unoffered::kAudioPresentationLatency,
          &unoffered::kNoteExpressionController, &unoffered::kKeyswitchController,
          &unoffered::kProgramListData, &unoffered::kUnitData, &IProcessContextRequirements::iid,
          &IPlugView::iid, &IPluginFactory::iid, &IBStream::iid}) {
        void* out = reinterpret_cast<void*>(1);
        EXPECT_EQ(obj->queryInterface(iid->Data(), &out), kNoInterface);
        EXPECT_EQ(out, nullptr);
    }
    static_cast<FUnknown*>(unknown)->release();
    EXPECT_EQ(obj->release(), 0u);
}

TEST(Instance, InitialiseTwiceAndTerminateTwiceAreHarmless) {
    REQUIRE_MODULE();
    TestHostApplication app;
    {
        Instance in(SharedHost(), &app);
        ASSERT_NE(in.component, nullptr);
        EXPECT_EQ(in.initResult, kResultOk);
        EXPECT_EQ(app.References(), 2); // the plug-in keeps the host context
        EXPECT_EQ(in.controller->initialize(&app), kResultFalse);
        EXPECT_EQ(in.controller->getParameterCount(), 17);
        EXPECT_EQ(in.component->terminate(), kResultOk);
        EXPECT_EQ(app.References(), 1);
        EXPECT_EQ(in.component->terminate(), kResultOk);
        // A new initialisation after terminate builds buses and parameters again.
        EXPECT_EQ(in.component->initialize(&app), kResultOk);
        EXPECT_EQ(in.controller->getParameterCount(), 17);
        EXPECT_EQ(in.component->getBusCount(kAudio, kOutput), 1);
        EXPECT_EQ(in.References(), 4u); // creation reference and the three interfaces the host asked for
    }
    EXPECT_EQ(app.References(), 1);
}

TEST(Instance, BusesAndArrangementProposals) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    ASSERT_NE(in.processor, nullptr);
    IComponent* c = in.component;
    EXPECT_EQ(c->getBusCount(kAudio, kInput), 1);
    EXPECT_EQ(c->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(c->getBusCount(kEvent, kInput), 0);
    EXPECT_EQ(c->getBusCount(7, kInput), 0);
    BusInfo info{};
    ASSERT_EQ(c->getBusInfo(kAudio, kInput, 0, info), kResultOk);
    EXPECT_EQ(Text16(info.name), u"Main Input");
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(info.busType, kMain);
    EXPECT_EQ(info.flags, 1u);
    EXPECT_EQ(info.mediaType, kAudio);
    EXPECT_EQ(info.direction, kInput);
    ASSERT_EQ(c->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(Text16(info.name), u"Output");
    EXPECT_EQ(info.channelCount, 2);
    EXPECT_EQ(c->getBusInfo(kAudio, kOutput, 1, info), kInvalidArgument);
    EXPECT_EQ(c->getBusInfo(kAudio, kOutput, -1, info), kInvalidArgument);
    EXPECT_EQ(c->getBusInfo(kEvent, kInput, 0, info), kInvalidArgument);
    EXPECT_EQ(c->activateBus(kAudio, kOutput, 3, 1), kInvalidArgument);
    RoutingInfo r1{}, r2{};
    EXPECT_EQ(c->getRoutingInfo(r1, r2), kNotImplemented);
    TUID cid{};
    EXPECT_EQ(c->getControllerClassId(cid), kNotImplemented);
    EXPECT_EQ(c->setIoMode(kAdvanced), kNotImplemented);

    IAudioProcessor* p = in.processor;
    SpeakerArrangement stereo = SpeakerArr::kStereo, mono = SpeakerArr::kMono, arr = 0;
    EXPECT_EQ(p->setBusArrangements(&stereo, 1, &stereo, 1), kResultOk);
    EXPECT_EQ(p->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
    ASSERT_EQ(p->getBusArrangement(kInput, 0, arr), kResultOk);
    EXPECT_EQ(arr, SpeakerArr::kStereo); // a refused proposal changes nothing
    EXPECT_EQ(p->setBusArrangements(&mono, 1, &mono, 1), kResultOk);
    ASSERT_EQ(c->getBusInfo(kAudio, kInput, 0, info), kResultOk);
    EXPECT_EQ(Text16(info.name), u"Input");
    EXPECT_EQ(info.channelCount, 1);
    ASSERT_EQ(c->getBusInfo(kAudio, kOutput, 0, info), kResultOk);
    EXPECT_EQ(Text16(info.name), u"Output");
    EXPECT_EQ(info.channelCount, 1);
    ASSERT_EQ(p->getBusArrangement(kOutput, 0, arr), kResultOk);
    EXPECT_EQ(arr, SpeakerArr::kMono);
    EXPECT_EQ(p->getBusArrangement(kOutput, 1, arr), kInvalidArgument);
    // Only the count is taken from a proposal: a 2-channel surround pair gets the standard stereo bus.
    SpeakerArrangement surroundPair = 0x30;
    EXPECT_EQ(p->setBusArrangements(&surroundPair, 1, &surroundPair, 1), kResultOk);
    ASSERT_EQ(p->getBusArrangement(kInput, 0, arr), kResultOk);
    EXPECT_EQ(arr, SpeakerArr::kStereo);
    // Two input arrangements without a side chain, and empty proposals, are refused.
    SpeakerArrangement two[2] = {SpeakerArr::kStereo, SpeakerArr::kStereo};
    EXPECT_EQ(p->setBusArrangements(two, 2, &stereo, 1), kResultFalse);
    EXPECT_EQ(p->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);
    EXPECT_EQ(p->setBusArrangements(&stereo, 1, nullptr, 0), kResultFalse);

    EXPECT_EQ(p->canProcessSampleSize(kSample32), kResultOk);
    EXPECT_EQ(p->canProcessSampleSize(kSample64), kResultOk);
    EXPECT_EQ(p->canProcessSampleSize(2), kResultFalse);
    EXPECT_EQ(p->getLatencySamples(), 0u);
    EXPECT_EQ(p->getTailSamples(), 0u);
    EXPECT_EQ(p->setProcessing(1), kNotImplemented);
}

// Parameters 9 to 13 only carry editor controls: hosts list them hidden and not automatable, but
// with a title, as checkers and hosts require of every parameter.
TEST(Instance, SeventeenParametersWithTheirTitlesFlagsAndSteps) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    IEditController* e = in.controller;
    ASSERT_EQ(e->getParameterCount(), 17);
    struct Expected {
        ParamID id;
        const char16_t* title;
        int32 steps;
        int32 flags;
        double defaultNormalized;
    };
    const Expected table[] = {
        {kPreset, u"Preset", 1, 0x8000, 0.0},
        {kBypass, u"Bypass", 1, 0x10009, 0.0},
        {0, u"Inputs", 0, 1, 0.0},
        {1, u"Outputs", 0, 1, 0.0},
        {2, u"Resolution", 0, 1, 0.0},
        {3, u"Gain", 0, 1, 0.5},
        {4, u"Start", 0, 0, 0.0},
        {5, u"Save", 0, 0, 0.0},
        {6, u"Load", 0, 0, 0.0},
        {7, u"Help", 0, 0, 0.0},
        {8, u"About", 0, 0, 0.0},
        {9, u"Progress", 1, 16, 0.0},
        {10, u"About OK", 1, 16, 0.0},
        {11, u"Reserved 11", 1, 16, 0.0},
        {12, u"Reserved 12", 1, 16, 0.0},
        {13, u"Response Display", 1, 16, 0.0},
        {14, u"Reset", 0, 0, 0.0},
    };
    for (int32 i = 0; i < 17; ++i) {
        ParameterInfo info{};
        ASSERT_EQ(e->getParameterInfo(i, info), kResultOk);
        SCOPED_TRACE(i);
        EXPECT_EQ(info.id, table[i].id);
        EXPECT_EQ(Text16(info.title), table[i].title);
        EXPECT_FALSE(Text16(info.title).empty());
        EXPECT_EQ(Text16(info.shortTitle), u"");
        EXPECT_EQ(Text16(info.units), u"");
        EXPECT_EQ(info.stepCount, table[i].steps);
        EXPECT_EQ(info.flags, table[i].flags);
        EXPECT_DOUBLE_EQ(info.defaultNormalizedValue, table[i].defaultNormalized);
        EXPECT_EQ(info.unitId, 0);
    }
    ParameterInfo info{};
    EXPECT_EQ(e->getParameterInfo(17, info), kResultFalse);
    EXPECT_EQ(e->getParameterInfo(-1, info), kResultFalse);
}

TEST(Instance, DisplayStringsAndValueConversions) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    IEditController* e = in.controller;
    String128 text{};
    struct Case {
        ParamID id;
        double normalized;
        const char* shown;
    };
    const Case cases[] = {
        {3, 0.5, "0.5000"}, {3, 0.25, "0.2500"}, {1, 0.5, "0.5"},     {1, 1.0, "1.0"},    {0, 0.5, "0"},
        {2, 1.0, "1"},      {9, 0.7, "0"},       {3, -3.0, "0.0000"}, {3, 7.0, "1.0000"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(e->getParamStringByValue(c.id, c.normalized, text), kResultOk) << c.id;
        EXPECT_EQ(Narrow(text), c.shown) << c.id << " at " << c.normalized;
    }
    EXPECT_EQ(e->getParamStringByValue(3, std::numeric_limits<double>::quiet_NaN(), text), kResultOk);
    EXPECT_EQ(e->getParamStringByValue(kBypass, 1.0, text), kResultFalse);
    EXPECT_EQ(e->getParamStringByValue(kPreset, 0.0, text), kResultFalse);
    EXPECT_EQ(e->getParamStringByValue(15, 0.0, text), kResultFalse);

    ParamValue v = -1;
    char16_t typed[] = u"0.25 dB";
    ASSERT_EQ(e->getParamValueByString(3, typed, v), kResultOk);
    EXPECT_DOUBLE_EQ(v, 0.25);
    char16_t word[] = u"on";
    ASSERT_EQ(e->getParamValueByString(kBypass, word, v), kResultOk);
    EXPECT_DOUBLE_EQ(v, 1.0);
    char16_t nonsense[] = u"maybe";
    EXPECT_EQ(e->getParamValueByString(kBypass, nonsense, v), kResultFalse);

    EXPECT_DOUBLE_EQ(e->normalizedParamToPlain(3, 0.25), 0.25);
    EXPECT_DOUBLE_EQ(e->normalizedParamToPlain(kBypass, 0.7), 1.0);
    EXPECT_DOUBLE_EQ(e->normalizedParamToPlain(999, 0.3), 0.3);
    EXPECT_DOUBLE_EQ(e->plainParamToNormalized(3, 0.75), 0.75);
    EXPECT_DOUBLE_EQ(e->plainParamToNormalized(3, 5.0), 1.0);
    EXPECT_DOUBLE_EQ(e->plainParamToNormalized(999, 5.0), 5.0);

    // Host edits are read back, clamped; values that are not numbers are ignored. Bypass set on the
    // controller reads back too instead of snapping back to the processor's switch.
    EXPECT_DOUBLE_EQ(e->getParamNormalized(3), 0.5);
    EXPECT_DOUBLE_EQ(e->getParamNormalized(kBypass), 0.0);
    const double hostile[] = {std::numeric_limits<double>::quiet_NaN(),
                              std::numeric_limits<double>::infinity(),
                              -std::numeric_limits<double>::infinity(), -0.5, 1.5};
    const double after[] = {0.3, 1.0, 0.0, 0.0, 1.0};
    for (ParamID id : {ParamID{3}, kBypass}) {
        SCOPED_TRACE(id);
        EXPECT_EQ(e->setParamNormalized(id, 0.3), kResultOk);
        EXPECT_DOUBLE_EQ(e->getParamNormalized(id), 0.3);
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(e->setParamNormalized(id, hostile[i]), kResultOk);
            EXPECT_DOUBLE_EQ(e->getParamNormalized(id), after[i]) << i;
        }
    }
    EXPECT_EQ(e->setParamNormalized(kPreset, 0.0), kResultFalse);
    EXPECT_EQ(e->setParamNormalized(15, 0.0), kResultFalse);
    EXPECT_DOUBLE_EQ(e->getParamNormalized(kPreset), 0.0);
    EXPECT_DOUBLE_EQ(e->getParamNormalized(12345), 0.0);
    EXPECT_EQ(e->setComponentState(nullptr), kNotImplemented);
}

TEST(Instance, UnitsProgramListAndControllerExtras) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    IUnitInfo* u = in.units;
    ASSERT_NE(u, nullptr);
    EXPECT_EQ(u->getUnitCount(), 1);
    UnitInfo unit{};
    ASSERT_EQ(u->getUnitInfo(0, unit), kResultOk);
    EXPECT_EQ(unit.id, 0);
    EXPECT_EQ(unit.parentUnitId, -1);
    EXPECT_EQ(unit.programListId, -1);
    EXPECT_EQ(Text16(unit.name), u"Root Unit");
    EXPECT_EQ(u->getUnitInfo(1, unit), kResultFalse);
    EXPECT_EQ(u->getUnitInfo(-1, unit), kResultFalse);

    EXPECT_EQ(u->getProgramListCount(), 0);
    ProgramListInfo list{};
    ASSERT_EQ(u->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(list.id, 0x70727374);
    EXPECT_EQ(Text16(list.name), u"Factory Presets");
    EXPECT_EQ(list.programCount, 1);
    EXPECT_EQ(u->getProgramListInfo(1, list), kResultFalse);
    String128 name{};
    ASSERT_EQ(u->getProgramName(0x70727374, 0, name), kResultOk);
    EXPECT_EQ(Text16(name), u"-");
    ASSERT_EQ(u->getProgramName(0x70727374, 5, name), kResultOk);
    EXPECT_EQ(Text16(name), u"");
    EXPECT_EQ(u->getProgramName(1, 0, name), kResultFalse);
    EXPECT_EQ(u->getSelectedUnit(), 0);
    UnitID owner = 0;
    EXPECT_EQ(u->selectUnit(0), kNotImplemented);
    EXPECT_EQ(u->getUnitByBus(kAudio, kInput, 0, 0, owner), kNotImplemented);
    EXPECT_EQ(u->getProgramInfo(0x70727374, 0, "x", name), kNotImplemented);
    EXPECT_EQ(u->hasProgramPitchNames(0x70727374, 0), kNotImplemented);
    EXPECT_EQ(u->getProgramPitchName(0x70727374, 0, 60, name), kNotImplemented);
    EXPECT_EQ(u->setUnitProgramData(0, 0, nullptr), kNotImplemented);

    auto* e2 = Query<IEditController2>(in.component);
    ASSERT_NE(e2, nullptr);
    EXPECT_EQ(e2->setKnobMode(2), kResultOk);
    EXPECT_EQ(e2->openHelp(0), kResultFalse);
    EXPECT_EQ(e2->openAboutBox(0), kResultFalse);
    e2->release();

    // The component handler is kept with a reference until terminate.
    RecordingHandler handler;
    EXPECT_EQ(in.controller->setComponentHandler(&handler), kResultOk);
    EXPECT_EQ(handler.References(), 2);
    in.component->terminate();
    EXPECT_EQ(handler.References(), 1);
}

TEST(Instance, EditorViewByNameHoldsTheInstance) {
    REQUIRE_MODULE();
    TestHostApplication app;
    Instance in(SharedHost(), &app);
    EXPECT_EQ(in.controller->createView("Editor"), nullptr);
    EXPECT_EQ(in.controller->createView("editorx"), nullptr);
    EXPECT_EQ(in.controller->createView(nullptr), nullptr);
    const uint32 before = in.References();
    IPlugView* view = in.controller->createView("editor");
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(in.References(), before + 1);
    void* out = nullptr;
    ASSERT_EQ(view->queryInterface(IPlugView::iid.Data(), &out), kResultOk);
    static_cast<FUnknown*>(out)->release();

    ViewRect rect{1, 2, 3, 4};
#if defined(_WIN32)
    // The Windows editor makes child windows: it offers its type and size, and refuses to attach
    // where no window can be made.
    EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultOk);
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
    EXPECT_EQ(view->getSize(&rect), kResultOk);
    EXPECT_EQ(rect.right - rect.left, 730);
    EXPECT_EQ(rect.bottom - rect.top, 330);
    EXPECT_EQ(view->attached(nullptr, "HWND"), kResultFalse);
#else
    // The editor makes X11 windows (tests/x11 opens them); without a parent there is none to make.
    EXPECT_EQ(view->isPlatformTypeSupported("X11EmbedWindowID"), kResultOk);
    EXPECT_EQ(view->isPlatformTypeSupported("HWND"), kResultFalse);
    EXPECT_EQ(view->getSize(&rect), kResultOk);
    EXPECT_EQ(rect.right - rect.left, 730);
    EXPECT_EQ(rect.bottom - rect.top, 330);
    EXPECT_EQ(view->attached(nullptr, "X11EmbedWindowID"), kResultFalse);
#endif
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(view->onSize(nullptr), kResultOk);
    EXPECT_EQ(view->onSize(&rect), kResultOk);
    EXPECT_EQ(view->onWheel(1.0f), kResultFalse);
    EXPECT_EQ(view->onKeyDown(u'a', 0, 0), kResultFalse);
    EXPECT_EQ(view->onKeyUp(u'a', 0, 0), kResultFalse);
    EXPECT_EQ(view->onFocus(1), kResultFalse);
    EXPECT_EQ(view->canResize(), kResultFalse);
    EXPECT_EQ(view->checkSizeConstraint(&rect), kResultFalse);
    RecordingFrame frame;
    EXPECT_EQ(view->setFrame(&frame), kResultOk);
    EXPECT_EQ(frame.References(), 2);
    EXPECT_EQ(view->setFrame(nullptr), kResultOk);
    EXPECT_EQ(frame.References(), 1);

    EXPECT_EQ(view->release(), 0u);
    EXPECT_EQ(in.References(), before);
}
