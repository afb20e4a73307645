#pragma once

#include "vst3/abi/component.h"
#include "vst3/abi/controller.h"
#include "vst3/abi/view.h"
#include "vst3/bus_list.h"
#include "vst3/parameter_container.h"
#include "vst3/ref_counted_object.h"

namespace vst {

// The component and the edit controller both name their state operations setState/getState with
// the same signature; one C++ override would serve both table slots and mix processor and
// controller state. These two bridges give each slot its own operation.
class ComponentStateBridge : public IComponent {
  public:
    tresult setState(IBStream* state) final { return componentSetState(state); }
    tresult getState(IBStream* state) final { return componentGetState(state); }
    virtual tresult componentSetState(IBStream* state) = 0;
    virtual tresult componentGetState(IBStream* state) = 0;
};

class ControllerStateBridge : public IEditController {
  public:
    tresult setState(IBStream* state) final { return controllerSetState(state); }
    tresult getState(IBStream* state) final { return controllerGetState(state); }
    virtual tresult controllerSetState(IBStream* state) = 0;
    virtual tresult controllerGetState(IBStream* state) = 0;
};

// One object that is both audio processor and edit controller: reference counting, interface
// lookup, bus lists, the parameter container, the host context, the component handler and the
// connection point, with the plain behaviour a plug-in refines.
class SingleComponentEffect : public RefCountedObject,
                              public ComponentStateBridge,
                              public IAudioProcessor,
                              public ControllerStateBridge,
                              public IEditController2,
                              public IUnitInfo,
                              public IConnectionPoint {
  public:
    SingleComponentEffect();
    ~SingleComponentEffect() override;

    // FUnknown
    tresult queryInterface(const TUID iid, void** obj) override;
    uint32 addRef() override { return AddReference(); }
    uint32 release() override { return ReleaseReference(); }

    // IPluginBase (shared by the component and the controller)
    tresult initialize(FUnknown* context) override;
    tresult terminate() override;

    // IComponent
    tresult getControllerClassId(TUID classId) override;
    tresult setIoMode(IoMode mode) override;
    int32 getBusCount(MediaType type, BusDirection dir) override;
    tresult getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) override;
    tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) override;
    tresult activateBus(MediaType type, BusDirection dir, int32 index, TBool state) override;
    tresult setActive(TBool state) override;
    tresult componentSetState(IBStream* state) override;
    tresult componentGetState(IBStream* state) override;

    // IAudioProcessor
    tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                               int32 numOuts) override;
    tresult getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) override;
    tresult canProcessSampleSize(int32 symbolicSampleSize) override;
    uint32 getLatencySamples() override;
    tresult setupProcessing(ProcessSetup& setup) override;
    tresult setProcessing(TBool state) override;
    tresult process(ProcessData& data) override;
    uint32 getTailSamples() override;

    // IEditController
    tresult setComponentState(IBStream* state) override;
    tresult controllerSetState(IBStream* state) override;
    tresult controllerGetState(IBStream* state) override;
    int32 getParameterCount() override;
    tresult getParameterInfo(int32 paramIndex, ParameterInfo& info) override;
    tresult getParamStringByValue(ParamID id, ParamValue valueNormalized, String128 string) override;
    tresult getParamValueByString(ParamID id, TChar* string, ParamValue& valueNormalized) override;
    ParamValue normalizedParamToPlain(ParamID id, ParamValue valueNormalized) override;
    ParamValue plainParamToNormalized(ParamID id, ParamValue plainValue) override;
    ParamValue getParamNormalized(ParamID id) override;
    tresult setParamNormalized(ParamID id, ParamValue value) override;
    tresult setComponentHandler(IComponentHandler* handler) override;
    IPlugView* createView(FIDString name) override;

    // IEditController2
    tresult setKnobMode(KnobMode mode) override;
    tresult openHelp(TBool onlyCheck) override;
    tresult openAboutBox(TBool onlyCheck) override;

    // IUnitInfo
    int32 getUnitCount() override;
    tresult getUnitInfo(int32 unitIndex, UnitInfo& info) override;
    int32 getProgramListCount() override;
    tresult getProgramListInfo(int32 listIndex, ProgramListInfo& info) override;
    tresult getProgramName(ProgramListID listId, int32 programIndex, String128 name) override;
    tresult getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                           String128 attributeValue) override;
    tresult hasProgramPitchNames(ProgramListID listId, int32 programIndex) override;
    tresult getProgramPitchName(ProgramListID listId, int32 programIndex, int16 midiPitch,
                                String128 name) override;
    UnitID getSelectedUnit() override;
    tresult selectUnit(UnitID unitId) override;
    tresult getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                         UnitID& unitId) override;
    tresult setUnitProgramData(int32 listOrUnitId, int32 programIndex, IBStream* data) override;

    // IConnectionPoint
    tresult connect(IConnectionPoint* other) override;
    tresult disconnect(IConnectionPoint* other) override;
    tresult notify(IMessage* message) override;

    // Edits reported to the host through the component handler; kResultFalse without one.
    tresult beginEdit(ParamID id);
    tresult performEdit(ParamID id, ParamValue valueNormalized);
    tresult endEdit(ParamID id);

    const char* ClassName() const override { return "SingleComponentEffect"; }
    bool IsTypeOf(const char* name, bool askBaseClasses) const override;

    FUnknown* Unknown() { return static_cast<IComponent*>(this); }
    IAudioProcessor* Processor() { return this; }

  protected:
    // Text messages arriving at the connection point.
    virtual tresult OnTextMessage(const char* /*text*/) { return kResultOk; }

    FUnknown* hostContext = nullptr;
    IConnectionPoint* peer = nullptr;
    IComponentHandler* componentHandler = nullptr;
    IComponentHandler2* componentHandler2 = nullptr;
    ParameterContainer parameters;
    BusLists buses;
    ProcessSetup processSetup{kRealtime, kSample32, 1024, 44100.0};
    KnobMode knobMode = 0;
    UnitID selectedUnit = kRootUnitId;
};

} // namespace vst
