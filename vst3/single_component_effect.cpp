#include "vst3/single_component_effect.h"

#include <cstring>
#include <string>

namespace vst {

SingleComponentEffect::SingleComponentEffect() = default;

SingleComponentEffect::~SingleComponentEffect() {
    // A host that never called terminate still gets its references back.
    terminate();
}

tresult SingleComponentEffect::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    FUnknown* found = nullptr;
    if (!iid)
        found = nullptr;
    else if (IComponent::iid.Matches(iid))
        found = static_cast<IComponent*>(this);
    else if (IAudioProcessor::iid.Matches(iid))
        found = static_cast<IAudioProcessor*>(this);
    else if (IUnitInfo::iid.Matches(iid))
        found = static_cast<IUnitInfo*>(this);
    else if (IEditController::iid.Matches(iid))
        found = static_cast<IEditController*>(this);
    else if (IEditController2::iid.Matches(iid))
        found = static_cast<IEditController2*>(this);
    else if (IConnectionPoint::iid.Matches(iid))
        found = static_cast<IConnectionPoint*>(this);
    else if (IPluginBase::iid.Matches(iid))
        found = static_cast<IPluginBase*>(static_cast<IComponent*>(this));
    else if (FUnknown::iid.Matches(iid))
        found = Unknown();
    return AnswerInterface(found, obj);
}

tresult SingleComponentEffect::initialize(FUnknown* context) {
    if (hostContext) return kResultFalse;
    hostContext = context;
    if (hostContext) hostContext->addRef();
    return kResultOk;
}

tresult SingleComponentEffect::terminate() {
    parameters.RemoveAll();
    buses.Clear();
    if (componentHandler2) componentHandler2->release();
    componentHandler2 = nullptr;
    if (componentHandler) componentHandler->release();
    componentHandler = nullptr;
    if (hostContext) hostContext->release();
    hostContext = nullptr;
    if (peer) {
        IConnectionPoint* other = peer;
        peer = nullptr;
        other->disconnect(this);
        other->release();
    }
    return kResultOk;
}

tresult SingleComponentEffect::getControllerClassId(TUID) {
    return kNotImplemented;
}
tresult SingleComponentEffect::setIoMode(IoMode) {
    return kNotImplemented;
}

int32 SingleComponentEffect::getBusCount(MediaType type, BusDirection dir) {
    const std::vector<Bus>* list = buses.Find(type, dir);
    return list ? static_cast<int32>(list->size()) : 0;
}

tresult SingleComponentEffect::getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& info) {
    const Bus* bus = buses.At(type, dir, index);
    if (!bus) return kInvalidArgument;
    std::memset(&info, 0, sizeof info);
    info.mediaType = type;
    info.direction = dir;
    info.channelCount = bus->ChannelCount(type);
    CopyText16(info.name, 128, bus->name.c_str());
    info.busType = bus->busType;
    info.flags = bus->flags;
    return kResultTrue;
}

tresult SingleComponentEffect::getRoutingInfo(RoutingInfo&, RoutingInfo&) {
    return kNotImplemented;
}

tresult SingleComponentEffect::activateBus(MediaType type, BusDirection dir, int32 index, TBool state) {
    Bus* bus = buses.At(type, dir, index);
    if (!bus) return kInvalidArgument;
    bus->active = state != 0;
    return kResultTrue;
}

tresult SingleComponentEffect::setActive(TBool) {
    return kResultOk;
}
tresult SingleComponentEffect::componentSetState(IBStream*) {
    return kNotImplemented;
}
tresult SingleComponentEffect::componentGetState(IBStream*) {
    return kNotImplemented;
}

tresult SingleComponentEffect::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                  SpeakerArrangement* outputs, int32 numOuts) {
    if (numIns < 0 || numOuts < 0) return kInvalidArgument;
    std::vector<Bus>& in = buses.List(kAudio, kInput);
    std::vector<Bus>& out = buses.List(kAudio, kOutput);
    if (numIns > static_cast<int32>(in.size()) || numOuts > static_cast<int32>(out.size()))
        return kResultFalse;
    if ((numIns > 0 && !inputs) || (numOuts > 0 && !outputs)) return kInvalidArgument;
    for (int32 i = 0; i < numIns; ++i)
        in[static_cast<std::size_t>(i)].arrangement = inputs[i];
    for (int32 i = 0; i < numOuts; ++i)
        out[static_cast<std::size_t>(i)].arrangement = outputs[i];
    return kResultTrue;
}

tresult SingleComponentEffect::getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) {
    const Bus* bus = buses.At(kAudio, dir, index);
    if (!bus) return kInvalidArgument;
    arr = bus->arrangement;
    return kResultTrue;
}

tresult SingleComponentEffect::canProcessSampleSize(int32 size) {
    return size == kSample32 ? kResultTrue : kResultFalse;
}

uint32 SingleComponentEffect::getLatencySamples() {
    return 0;
}

tresult SingleComponentEffect::setupProcessing(ProcessSetup& setup) {
    if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
    processSetup = setup;
    return kResultOk;
}

tresult SingleComponentEffect::setProcessing(TBool) {
    return kNotImplemented;
}
tresult SingleComponentEffect::process(ProcessData&) {
    return kNotImplemented;
}
uint32 SingleComponentEffect::getTailSamples() {
    return kNoTail;
}

tresult SingleComponentEffect::setComponentState(IBStream*) {
    return kNotImplemented;
}
tresult SingleComponentEffect::controllerSetState(IBStream*) {
    return kNotImplemented;
}
tresult SingleComponentEffect::controllerGetState(IBStream*) {
    return kNotImplemented;
}

int32 SingleComponentEffect::getParameterCount() {
    return parameters.Count();
}

tresult SingleComponentEffect::getParameterInfo(int32 paramIndex, ParameterInfo& info) {
    const HostParameter* p = parameters.AtIndex(paramIndex);
    if (!p) return kResultFalse;
    info = p->Info();
    return kResultTrue;
}

tresult SingleComponentEffect::getParamStringByValue(ParamID id, ParamValue v, String128 string) {
    const HostParameter* p = parameters.ById(id);
    if (!p || !string) return kResultFalse;
    p->toString(v, string);
    return kResultTrue;
}

tresult SingleComponentEffect::getParamValueByString(ParamID id, TChar* string, ParamValue& v) {
    const HostParameter* p = parameters.ById(id);
    if (!p || !string) return kResultFalse;
    return p->fromString(string, v) ? kResultTrue : kResultFalse;
}

ParamValue SingleComponentEffect::normalizedParamToPlain(ParamID id, ParamValue v) {
    const HostParameter* p = parameters.ById(id);
    return p ? p->toPlain(v) : v;
}

ParamValue SingleComponentEffect::plainParamToNormalized(ParamID id, ParamValue plain) {
    const HostParameter* p = parameters.ById(id);
    return p ? p->toNormalized(plain) : plain;
}

ParamValue SingleComponentEffect::getParamNormalized(ParamID id) {
    const HostParameter* p = parameters.ById(id);
    return p ? p->GetNormalized() : 0.0;
}

tresult SingleComponentEffect::setParamNormalized(ParamID id, ParamValue v) {
    HostParameter* p = parameters.ById(id);
    if (!p) return kResultFalse;
    p->SetNormalized(v);
    return kResultTrue;
}

tresult SingleComponentEffect::setComponentHandler(IComponentHandler* handler) {
    if (handler == componentHandler) return kResultTrue;
    if (handler) handler->addRef();
    if (componentHandler) componentHandler->release();
    componentHandler = handler;
    if (componentHandler2) componentHandler2->release();
    componentHandler2 = handler ? QueryAs<IComponentHandler2>(handler) : nullptr;
    return kResultTrue;
}

IPlugView* SingleComponentEffect::createView(FIDString) {
    return nullptr;
}

tresult SingleComponentEffect::setKnobMode(KnobMode mode) {
    knobMode = mode;
    return kResultTrue;
}
tresult SingleComponentEffect::openHelp(TBool) {
    return kResultFalse;
}
tresult SingleComponentEffect::openAboutBox(TBool) {
    return kResultFalse;
}

int32 SingleComponentEffect::getUnitCount() {
    return 0;
}
tresult SingleComponentEffect::getUnitInfo(int32, UnitInfo&) {
    return kResultFalse;
}
int32 SingleComponentEffect::getProgramListCount() {
    return 0;
}
tresult SingleComponentEffect::getProgramListInfo(int32, ProgramListInfo&) {
    return kResultFalse;
}
tresult SingleComponentEffect::getProgramName(ProgramListID, int32, String128) {
    return kResultFalse;
}
tresult SingleComponentEffect::getProgramInfo(ProgramListID, int32, CString, String128) {
    return kResultFalse;
}
tresult SingleComponentEffect::hasProgramPitchNames(ProgramListID, int32) {
    return kResultFalse;
}
tresult SingleComponentEffect::getProgramPitchName(ProgramListID, int32, int16, String128) {
    return kResultFalse;
}
UnitID SingleComponentEffect::getSelectedUnit() {
    return selectedUnit;
}
tresult SingleComponentEffect::selectUnit(UnitID unitId) {
    selectedUnit = unitId;
    return kResultTrue;
}
tresult SingleComponentEffect::getUnitByBus(MediaType, BusDirection, int32, int32, UnitID&) {
    return kResultFalse;
}
tresult SingleComponentEffect::setUnitProgramData(int32, int32, IBStream*) {
    return kResultFalse;
}

tresult SingleComponentEffect::connect(IConnectionPoint* other) {
    if (!other) return kInvalidArgument;
    if (peer) return kResultFalse;
    peer = other;
    peer->addRef();
    return kResultOk;
}

tresult SingleComponentEffect::disconnect(IConnectionPoint* other) {
    if (!peer || other != peer) return kResultFalse;
    peer->release();
    peer = nullptr;
    return kResultOk;
}

tresult SingleComponentEffect::notify(IMessage* message) {
    if (!message) return kInvalidArgument;
    const char* id = message->getMessageID();
    if (!id || std::strcmp(id, "TextMessage") != 0) return kResultFalse;
    IAttributeList* attributes = message->getAttributes();
    if (!attributes) return kResultFalse;
    TChar text[256] = {};
    if (attributes->getString("Text", text, sizeof text) != kResultOk) return kResultFalse;
    text[255] = 0;
    std::string utf8;
    for (const TChar* c = text; *c; ++c) {
        const unsigned u = *c;
        if (u < 0x80) {
            utf8 += static_cast<char>(u);
        } else if (u < 0x800) {
            utf8 += static_cast<char>(0xC0 | (u >> 6));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        } else {
            utf8 += static_cast<char>(0xE0 | (u >> 12));
            utf8 += static_cast<char>(0x80 | ((u >> 6) & 0x3F));
            utf8 += static_cast<char>(0x80 | (u & 0x3F));
        }
    }
    return OnTextMessage(utf8.c_str());
}

tresult SingleComponentEffect::beginEdit(ParamID id) {
    return componentHandler ? componentHandler->beginEdit(id) : kResultFalse;
}
tresult SingleComponentEffect::performEdit(ParamID id, ParamValue v) {
    return componentHandler ? componentHandler->performEdit(id, v) : kResultFalse;
}
tresult SingleComponentEffect::endEdit(ParamID id) {
    return componentHandler ? componentHandler->endEdit(id) : kResultFalse;
}

bool SingleComponentEffect::IsTypeOf(const char* name, bool askBaseClasses) const {
    if (SameClassName(name, "SingleComponentEffect")) return true;
    if (!askBaseClasses) return false;
    return SameClassName(name, "EditControllerEx1") || SameClassName(name, "EditController") ||
           SameClassName(name, "ComponentBase") || RefCountedObject::IsTypeOf(name, true);
}

} // namespace vst
