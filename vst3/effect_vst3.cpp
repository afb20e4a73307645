// Lifecycle, buses and processing set-up of the binding.
#include "vst3/effect_vst3.h"

#include "framework/host_text.h"
#include "graphics/editor_window.h"
#include "vst3/effect_vst3_view.h"
#include "vst3/ihost_parameter.h"

#include <cmath>
#include <cstring>
#include <new>

using namespace vst;

namespace {

// Largest block a host may announce; anything larger is refused rather than allocated.
constexpr int32 kMaxBlockFrames = 1 << 20;

std::u16string Widen(const std::string& text) {
    char16_t buffer[kHostTextUnits];
    WidenForHost(text.c_str(), buffer);
    return buffer;
}

} // namespace

SpeakerArrangement ArrangementForChannels(int channels) {
    switch (channels) {
    case 1:
        return SpeakerArr::kMono;
    case 2:
        return SpeakerArr::kStereo;
    case 3:
        return SpeakerArr::k30Music;
    case 4:
        return SpeakerArr::k40Music;
    case 5:
        return SpeakerArr::k50;
    case 6:
        return SpeakerArr::k51;
    default:
        return SpeakerArr::kEmpty;
    }
}

IEffectVST3::IEffectVST3(const EffectFacts& facts) : IEffectBase(facts) {
    for (int i = 0; i < NInChannels(); ++i)
        InChannel(i).connected = true;
    for (int i = 0; i < NOutChannels(); ++i)
        OutChannel(i).connected = true;
    if (NInChannels() > 0) {
        bypassDelay = std::make_unique<BypassDelay>();
        bypassDelay->inputs = NInChannels();
        bypassDelay->outputs = NOutChannels();
    }
    inputBusNames.push_back("Main Input");
    if (sideChainChannels > 0) inputBusNames.push_back("Aux Input");
    if (splitOutputs) {
        for (int i = 0; i < NOutChannels() / 2; ++i)
            outputBusNames.push_back("Output " + std::to_string(i + 1));
    } else {
        outputBusNames.push_back("Output");
    }
}

IEffectVST3::~IEffectVST3() {
    // Views that outlive the plug-in's bookkeeping must not point back at it.
    for (IEffectVST3View* view : views)
        view->ForgetPlugin();
    views.clear();
}

bool IEffectVST3::IsTypeOf(const char* name, bool askBaseClasses) const {
    return SameClassName(name, "IEffectVST3") ||
           (askBaseClasses && SingleComponentEffect::IsTypeOf(name, true));
}

IEditorWindow* IEffectVST3::EditorWindow() {
    return dynamic_cast<IEditorWindow*>(Graphics());
}

tresult IEffectVST3::initialize(FUnknown* context) {
    const tresult result = SingleComponentEffect::initialize(context);

    IHostApplication* app = QueryAs<IHostApplication>(context);
    if (app) {
        String128 wide{};
        app->getName(wide);
        char name[kHostTextUnits] = {};
        for (std::size_t i = 0; i + 1 < kHostTextUnits && wide[i] != 0; ++i)
            name[i] = static_cast<char>(wide[i] & 0xFF);
        hostId = IdentifyHost(name);
        hostVersion = 0;
    }
    // Built on the first call, and again after terminate removed them.
    if (!busesAndParametersBuilt) {
        try {
            BuildBusesAndParameters();
        } catch (const std::bad_alloc&) {
            SingleComponentEffect::terminate();
            if (app) app->release();
            return kOutOfMemory;
        }
    }
    OnHostIdentified();
    RestorePreset(0);
    CompleteRequestedWork();
    if (app) app->release();
    return result;
}

void IEffectVST3::BuildBusesAndParameters() {
    const int mainInputs = NInChannels() - sideChainChannels;
    if (mainInputs >= 1 && mainInputs <= 6)
        buses.AddAudio(kInput, Widen(inputBusNames[0]).c_str(), ArrangementForChannels(mainInputs), kMain,
                       BusInfo::kDefaultActive);
    if (splitOutputs) {
        for (std::size_t i = 0; i < outputBusNames.size(); ++i)
            buses.AddAudio(kOutput, Widen(outputBusNames[i]).c_str(), SpeakerArr::kStereo, kMain,
                           BusInfo::kDefaultActive);
    } else {
        buses.AddAudio(kOutput, Widen(outputBusNames[0]).c_str(), ArrangementForChannels(NOutChannels()),
                       kMain, BusInfo::kDefaultActive);
    }
    if (sideChainChannels > 0) {
        const int aux = sideChainChannels > 2 ? 2 : sideChainChannels;
        buses.AddAudio(kInput, Widen(inputBusNames.size() > 1 ? inputBusNames[1] : "Aux Input").c_str(),
                       ArrangementForChannels(aux), kAux, 0);
    }
    if (acceptsMidi) buses.AddEvent(kInput, u"MIDI Input", 1, kMain, BusInfo::kDefaultActive);

    if (NPresets() > 0)
        parameters.Add(new HostParameter(u"Preset", kPresetParamId, u"", 0.0, NPresets(),
                                         ParameterInfo::kIsProgramChange, kRootUnitId));
    if (!splitOutputs) {
        auto* bypass = new StringListParameter(
            u"Bypass", kBypassParamId, u"",
            ParameterInfo::kCanAutomate | ParameterInfo::kIsList | ParameterInfo::kIsBypass, kRootUnitId);
        bypass->AppendString(u"off");
        bypass->AppendString(u"on");
        parameters.Add(bypass);
    }
    paramGroups.clear();
    for (int i = 0; i < NParams(); ++i) {
        IParamRecord* record = GetParam(i);
        UnitID unit = kRootUnitId;
        if (record->group[0] != '\0') {
            std::size_t p = 0;
            while (p < paramGroups.size() && std::strcmp(paramGroups[p], record->group) != 0)
                ++p;
            if (p == paramGroups.size()) paramGroups.push_back(record->group);
            unit = static_cast<UnitID>(p + 1);
        }
        parameters.Add(
            new IHostParameter(record, static_cast<ParamID>(i), unit, EditorOnlyParamTitle(i).c_str()));
    }
    busesAndParametersBuilt = true;
}

void IEffectVST3::NameEditorOnlyParam(int paramIdx, const char* title) {
    if (paramIdx < 0 || paramIdx >= NParams() || !title) return;
    if (editorOnlyTitles.size() < static_cast<std::size_t>(NParams()))
        editorOnlyTitles.resize(static_cast<std::size_t>(NParams()));
    editorOnlyTitles[static_cast<std::size_t>(paramIdx)] = title;
}

std::string IEffectVST3::EditorOnlyParamTitle(int paramIdx) const {
    const auto at = static_cast<std::size_t>(paramIdx);
    if (paramIdx >= 0 && at < editorOnlyTitles.size() && !editorOnlyTitles[at].empty())
        return editorOnlyTitles[at];
    return "Parameter " + std::to_string(paramIdx);
}

tresult IEffectVST3::terminate() {
    busesAndParametersBuilt = false;
    return SingleComponentEffect::terminate();
}

tresult IEffectVST3::getControllerClassId(TUID) {
    return kNotImplemented;
}
tresult IEffectVST3::setIoMode(IoMode) {
    return kNotImplemented;
}
tresult IEffectVST3::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
    return kNotImplemented;
}

tresult IEffectVST3::setActive(TBool state) {
    processingActive.store(state != 0, std::memory_order_release);
    // Processing starts where the bypass stands (a project reopened bypassed starts bypassed).
    if (state) SnapBypass();
    OnActivate(state != 0);
    return kResultOk;
}

tresult IEffectVST3::setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                        int32 numOuts) {
    for (int i = 0; i < NInChannels(); ++i) {
        IInChannel& ch = InChannel(i);
        ch.connected = false;
        *ch.slot = ch.scratch.data();
    }
    for (int i = 0; i < NOutChannels(); ++i) {
        IOutChannel& ch = OutChannel(i);
        ch.connected = false;
        *ch.slot = ch.scratch.data();
    }
    // Empty proposals have no first arrangement to read.
    if (numIns < 1 || numOuts < 1 || !inputs || !outputs) return kResultFalse;

    const int inCount = ChannelCount(inputs[0]);
    const int outCount = ChannelCount(outputs[0]);
    if (!LegalIO(inCount, outCount)) return kResultFalse;

    std::vector<Bus>& in = buses.List(kAudio, kInput);
    std::vector<Bus>& out = buses.List(kAudio, kOutput);
    if (in.empty() || in[0].ChannelCount(kAudio) != inCount) {
        in.clear();
        buses.AddAudio(kInput, u"Input", ArrangementForChannels(inCount), kMain, BusInfo::kDefaultActive);
    }
    if (out.empty() || out[0].ChannelCount(kAudio) != outCount) {
        out.clear();
        buses.AddAudio(kOutput, u"Output", ArrangementForChannels(outCount), kMain, BusInfo::kDefaultActive);
    }
    if (sideChainChannels > 0) {
        if (numIns != 2) return kResultFalse;
        const int auxCount = ChannelCount(inputs[1]);
        if (in.size() < 2 || in[1].ChannelCount(kAudio) != auxCount) {
            in.clear();
            buses.AddAudio(kInput, u"Input", ArrangementForChannels(inCount), kMain, BusInfo::kDefaultActive);
            buses.AddAudio(kInput, u"Sidechain Input", ArrangementForChannels(auxCount), kAux, 0);
        }
    } else if (numIns != 1) {
        return kResultFalse;
    }
    return kResultOk;
}

tresult IEffectVST3::canProcessSampleSize(int32 size) {
    return (size == kSample32 || size == kSample64) ? kResultOk : kResultFalse;
}

uint32 IEffectVST3::getLatencySamples() {
    return static_cast<uint32>(GetLatency() < 0 ? 0 : GetLatency());
}
uint32 IEffectVST3::getTailSamples() {
    return static_cast<uint32>(GetTailSize() < 0 ? 0 : GetTailSize());
}

tresult IEffectVST3::setupProcessing(ProcessSetup& setup) {
    if (setup.symbolicSampleSize != kSample32 && setup.symbolicSampleSize != kSample64) return kResultFalse;
    // A rate that is not a positive number or a block no buffer could hold is refused unchanged.
    if (!std::isfinite(setup.sampleRate) || setup.sampleRate <= 0.0) return kResultFalse;
    if (setup.maxSamplesPerBlock < 0 || setup.maxSamplesPerBlock > kMaxBlockFrames) return kResultFalse;
    // The bypass stays as the host set it or the project restored it.
    sampleRate = setup.sampleRate;
    try {
        SetBlockSize(setup.maxSamplesPerBlock);
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
    Reset();
    SnapBypass();
    // Hosts set processing up while inactive; one that does it while processing gets the new
    // rate's correction from the worker, as for any request made while processing.
    if (IsProcessingActive())
        HandOverRequestedWork(false);
    else
        CompleteRequestedWork();
    processSetup = setup;
    return kResultOk;
}

tresult IEffectVST3::setProcessing(TBool) {
    return kNotImplemented;
}

tresult IEffectVST3::setComponentState(IBStream*) {
    return kNotImplemented;
}

IPlugView* IEffectVST3::createView(FIDString name) {
    if (!name || std::strcmp(name, "editor") != 0) return nullptr;
    auto* view = new IEffectVST3View(this);
    views.push_back(view);
    return view;
}
