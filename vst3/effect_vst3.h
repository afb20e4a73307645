#pragma once

#include "framework/effect_base.h"
#include "vst3/abi/processing.h"
#include "vst3/single_component_effect.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

class IEffectVST3View;
class IEditorWindow;

// Binds the plug-in base to a host: one object that is both the audio processor and the edit
// controller. Every host call is turned into calls on the base, in double precision, and for
// processing and state under the plug-in lock.
// Threads. `process` runs on the host's audio thread and holds the plug-in lock for the block; a
// design it asks for goes to the engine's worker, never runs there. Every other host call (state,
// setup, activation, the controller's parameters, the view) comes from the host's other threads,
// usually its GUI thread: each takes the lock for its own work and runs a design it asked for only
// after releasing it (CompleteRequestedWork); `setupProcessing` while active hands it to the worker
// like `process`. The audio thread therefore waits at most for a copy.
class IEffectVST3 : public IEffectBase, public vst::SingleComponentEffect {
  public:
    static constexpr vst::ParamID kPresetParamId = 0x70727374; // "prst"
    static constexpr vst::ParamID kBypassParamId = 0x62706173; // "bpas"
    static constexpr vst::ProgramListID kFactoryPresetListId = 0x70727374;

    explicit IEffectVST3(const EffectFacts& facts);
    ~IEffectVST3() override;

    // IPluginBase
    vst::tresult initialize(vst::FUnknown* context) override;
    vst::tresult terminate() override;

    // IComponent
    vst::tresult getControllerClassId(vst::TUID classId) override;
    vst::tresult setIoMode(vst::IoMode mode) override;
    vst::tresult getRoutingInfo(vst::RoutingInfo& inInfo, vst::RoutingInfo& outInfo) override;
    vst::tresult setActive(vst::TBool state) override;
    vst::tresult componentSetState(vst::IBStream* state) override;
    vst::tresult componentGetState(vst::IBStream* state) override;

    // IAudioProcessor
    vst::tresult setBusArrangements(vst::SpeakerArrangement* inputs, vst::int32 numIns,
                                    vst::SpeakerArrangement* outputs, vst::int32 numOuts) override;
    vst::tresult canProcessSampleSize(vst::int32 symbolicSampleSize) override;
    vst::uint32 getLatencySamples() override;
    vst::tresult setupProcessing(vst::ProcessSetup& setup) override;
    vst::tresult setProcessing(vst::TBool state) override;
    vst::tresult process(vst::ProcessData& data) override;
    vst::uint32 getTailSamples() override;

    // IEditController
    vst::tresult setComponentState(vst::IBStream* state) override;
    vst::tresult controllerSetState(vst::IBStream* state) override;
    vst::tresult controllerGetState(vst::IBStream* state) override;
    vst::tresult getParamStringByValue(vst::ParamID id, vst::ParamValue valueNormalized,
                                       vst::String128 string) override;
    vst::ParamValue plainParamToNormalized(vst::ParamID id, vst::ParamValue plainValue) override;
    vst::ParamValue getParamNormalized(vst::ParamID id) override;
    vst::tresult setParamNormalized(vst::ParamID id, vst::ParamValue value) override;
    vst::IPlugView* createView(vst::FIDString name) override;

    // IEditController2
    vst::tresult setKnobMode(vst::KnobMode mode) override;
    vst::tresult openHelp(vst::TBool onlyCheck) override;
    vst::tresult openAboutBox(vst::TBool onlyCheck) override;

    // IUnitInfo
    vst::int32 getUnitCount() override;
    vst::tresult getUnitInfo(vst::int32 unitIndex, vst::UnitInfo& info) override;
    vst::int32 getProgramListCount() override;
    vst::tresult getProgramListInfo(vst::int32 listIndex, vst::ProgramListInfo& info) override;
    vst::tresult getProgramName(vst::ProgramListID listId, vst::int32 programIndex,
                                vst::String128 name) override;
    vst::tresult getProgramInfo(vst::ProgramListID listId, vst::int32 programIndex, vst::CString attributeId,
                                vst::String128 attributeValue) override;
    vst::tresult hasProgramPitchNames(vst::ProgramListID listId, vst::int32 programIndex) override;
    vst::tresult getProgramPitchName(vst::ProgramListID listId, vst::int32 programIndex, vst::int16 midiPitch,
                                     vst::String128 name) override;
    vst::UnitID getSelectedUnit() override;
    vst::tresult selectUnit(vst::UnitID unitId) override;
    vst::tresult getUnitByBus(vst::MediaType type, vst::BusDirection dir, vst::int32 busIndex,
                              vst::int32 channel, vst::UnitID& unitId) override;
    vst::tresult setUnitProgramData(vst::int32 listOrUnitId, vst::int32 programIndex,
                                    vst::IBStream* data) override;

    // Services to the base
    void BeginParamGesture(int paramIdx) override;
    void InformHostOfParamChange(int paramIdx, double normalized) override;
    void EndParamGesture(int paramIdx) override;
    bool IsRenderingOffline() override;
    int32_t GetSamplePos() override;
    double GetTempo() override;
    void GetTimeSignature(int32_t* numerator, int32_t* denominator) override;
    void GetTransport(TransportInfo* info) override;
    void ResizeEditor(int width, int height) override;
    void PopupHostContextMenu(int paramIdx, int x, int y) override;
    void SetLatency(int samples) override;
    bool SendMidi(const IMidiEvent& event) override;

    const char* ClassName() const override { return "IEffectVST3"; }
    bool IsTypeOf(const char* name, bool askBaseClasses) const override;

    // The editor's window side, when the editor has one.
    IEditorWindow* EditorWindow();
    const std::vector<IEffectVST3View*>& Views() const { return views; }
    const vst::ProcessContext& TransportCache() const { return transportCache; }
    const vst::ProcessSetup& CurrentProcessSetup() const { return processSetup; }
    int SideChainChannels() const { return sideChainChannels; }

    // The title hosts list for a parameter whose record is never defined (it only carries an editor
    // control); the record itself stays as it is. Takes effect when `initialize` builds the host
    // parameters. Such parameters without a title of their own are listed as "Parameter N".
    void NameEditorOnlyParam(int paramIdx, const char* title);
    std::string EditorOnlyParamTitle(int paramIdx) const;

    // Every control to be repainted with its parameter's value, asked on any thread (a preset
    // restored in process, a host state): left in the host-value mailbox.
    void RedrawParamControls() override;
    // Editor thread, from the product's draw cycle: what the mailbox holds reaches the controls.
    // Whole redraws take the values as they stand (read under the lock) and cover any single value
    // still waiting.
    void DeliverHostValuesToControls();
    // Parameters whose host values the mailbox carries (those beyond go to no control).
    static constexpr int kMailboxSlots = 32;

    // True between setActive(true) and setActive(false).
    bool IsProcessingActive() const { return processingActive.load(std::memory_order_acquire); }

  protected:
    // A host value from a parameter queue, on the audio thread: left in the host-value mailbox for
    // the editor thread (no lock, no allocation, no control touched). A plug-in may first take the
    // value to what its control shows, and then pass it on here.
    virtual void ApplyHostValueFromProcess(int paramIdx, double normalized);
    // A controller edit (setParamNormalized) of a plug-in parameter, after the record took the
    // value, under the lock: by default nothing more. Requested work is completed after it.
    virtual void OnControllerParamEdit(int /*paramIdx*/, double /*normalized*/) {}

  private:
    friend class IEffectVST3View;

    void BuildBusesAndParameters();
    void ProcessUnderLock(vst::ProcessData& data, bool offline);
    void ApplyParameterChanges(vst::IParameterChanges* changes);
    void ApplyMidiEvents(vst::IEventList* events);
    void BindInputs(const vst::ProcessData& data, bool is64, int frames);
    void BindOutputs(const vst::ProcessData& data, bool is64);
    // Reads up to the current state record from a stream and applies it; false when the stream
    // held less than a whole record or no record exists.
    bool ReadStateRecord(vst::IBStream* state);
    bool WriteStateRecord(vst::IBStream* state);
    // The plug-in's optional trailer after the record (and after the controller's flag).
    bool WriteStateTrailer(vst::IBStream* state);
    void ReadStateTrailer(vst::IBStream* state);
    // The record and the bypass flag behind it; each takes the lock only to apply what it read.
    vst::tresult ReadControllerState(vst::IBStream* state);
    bool IsPluginParam(vst::ParamID id) const { return id < static_cast<vst::ParamID>(NParams()); }
    bool HasBypassParam() const { return !splitOutputs; }

    // The host-value mailbox: the audio thread and host threads leave values and whole redraws
    // here, without a lock or an allocation, for the editor thread.
    std::array<std::atomic<double>, kMailboxSlots> pendingHostValues{};
    std::atomic<std::uint32_t> pendingHostMask{0};
    std::atomic<bool> redrawAllPending{false};

    int32_t sideChainChannels = 0;
    bool lastInputWasSideChain = false;
    std::vector<IEffectVST3View*> views;
    vst::ProcessContext transportCache{};
    bool busesAndParametersBuilt = false;
    std::vector<std::string> editorOnlyTitles;
    // The bypass value as the controller side knows it: what the host last set on the controller,
    // sent in a parameter queue or restored with the controller state. The processor's own switch
    // is `bypassed`; the two part only while a controller edit waits for its parameter queue.
    std::atomic<double> bypassNormalized{0.0};
    std::atomic<bool> processingActive{false};
};

// The standard arrangement for a channel count (0 for counts without one).
vst::SpeakerArrangement ArrangementForChannels(int channels);
