#pragma once

#include "framework/bypass_crossfade.h"
#include "framework/byte_chunk.h"
#include "framework/editor_link.h"
#include "framework/param_record.h"
#include "platform/plugin_lock.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Host applications the plug-in knows by name.
enum HostId : int32_t {
    kHostUnknown = 0,
    kHostReaper = 1,
    kHostProTools = 2,
    kHostCubase = 3,
    kHostNuendo = 4,
    kHostSonar = 5,
    kHostFruity = 7,
    kHostSamplitude = 8,
    kHostLive = 9,
    kHostMelodyne = 12,
    kHostVstManLib = 13,
    kHostAuLab = 14,
    kHostForte = 15,
    kHostChainer = 16,
    kHostAudition = 17,
    kHostOrion = 18,
    kHostSawStudio = 20,
    kHostLogic = 21,
    kHostGarageBand = 22,
    kHostDigital = 23,
    kHostStandalone = 24,
    kHostAudioMulch = 25,
    kHostPresonus = 26,
    kHostVst3TestHost = 27,
    kHostArdour = 28,
    kHostRenoise = 29,
    kHostOpenMpt = 30,
    kHostNotIdentified = -1,
};

// Four-character codes as 32-bit integers, first character in the most significant byte.
constexpr int32_t FourCharCode(const char (&c)[5]) {
    return static_cast<int32_t>((static_cast<uint32_t>(static_cast<unsigned char>(c[0])) << 24) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c[1])) << 16) |
                                (static_cast<uint32_t>(static_cast<unsigned char>(c[2])) << 8) |
                                static_cast<uint32_t>(static_cast<unsigned char>(c[3])));
}

struct ChannelIOPair {
    int32_t inputs = 0;
    int32_t outputs = 0;
};

struct IInChannel {
    bool connected = false;
    double** slot = nullptr; // this channel's entry in inData
    std::vector<double> scratch;
};

struct IOutChannel {
    bool connected = false;
    double** slot = nullptr; // this channel's entry in outData
    float* hostFloatBuffer = nullptr;
    std::vector<double> scratch;
};

// Delays each input by the latency while bypassed, so a bypassed plug-in stays time-aligned.
struct BypassDelay {
    std::vector<double> buffer; // length × inputs, channel-major
    int32_t writePos = 0;
    int32_t inputs = 0;
    int32_t outputs = 0;
    int32_t length = 0;
};

struct IPresetSlot {
    bool initialised = false;
    char name[256] = "empty";
    IByteChunk chunk;
};

struct TransportInfo {
    double tempo = 0.0;
    double samplePos = 0.0;
    double ppqPos = 0.0;
    double lastBar = 0.0;
    double cycleStart = 0.0;
    double cycleEnd = 0.0;
    int32_t timeSigNumerator = 0;
    int32_t timeSigDenominator = 0;
    bool transportRunning = false;
    bool cycleActive = false;
};

struct IMidiEvent {
    int32_t offset = 0;
    uint8_t status = 0;
    uint8_t data1 = 0;
    uint8_t data2 = 0;
};

// Facts a plug-in class passes to the base when it is constructed.
struct EffectFacts {
    int32_t paramCount = 0;
    const char* channelIO = "";
    int32_t presetCount = 0;
    const char* effectName = "";
    const char* productName = "";
    const char* makerName = "";
    int32_t version = 0;
    int32_t uniqueId = 0;
    int32_t makerId = 0;
};

// Threads. Three kinds of thread call in, and the plug-in lock (re-entrant) is what they share:
// - the audio thread: ProcessBlock inside the binding's `process`, which holds the lock for the
//   whole block; parameter changes from the host's queue reach OnParamChange there too; then
//   HandOverRequestedWork, after the lock is released. Nothing on this path may block, allocate,
//   make a system call or design.
// - the host's threads (usually its GUI thread): state (SerializeState/UnserializeState, under the
//   lock), activation, block size and the controller's parameter edits; CompleteRequestedWork runs
//   there only after the lock has been released.
// - the editor's thread: SetParameterFromUI, the gesture and InformHostOfParamChange calls,
//   AttachGraphics and the editor open/close hooks. Whatever touches parameters takes the lock.
// OnParamChange always runs under the lock, whichever thread raised it.
// The format-neutral plug-in object: parameters, presets, channel bookkeeping, the plug-in lock,
// the processing entry (always in double precision) and parameter serialisation. A binding derives
// from it to talk to a host; the plug-in's own class derives from the binding.
class IEffectBase {
  public:
    explicit IEffectBase(const EffectFacts& facts);
    virtual ~IEffectBase();
    IEffectBase(const IEffectBase&) = delete;
    IEffectBase& operator=(const IEffectBase&) = delete;

    // ---- Virtual operations, in slot order ----
    virtual void Reset();
    virtual void OnParamChange(int paramIdx);
    virtual void ProcessBlock(double** inputs, double** outputs, int frames);
    virtual void OnEditorOpen() {}
    virtual void OnEditorClose() {}
    virtual void OnActivate(bool active);
    virtual void ProcessMidi(const IMidiEvent& event);
    virtual bool SerializeState(IByteChunk& chunk);
    virtual int UnserializeState(const IByteChunk& chunk, int position);
    // Compares the parameters with doubles stored at data + 8 × (position + index); data holds
    // dataSize bytes and is never read past.
    virtual bool CompareState(const uint8_t* data, int dataSize, int position) const;
    virtual void OnWindowResize() {}
    virtual void OnHostIdentified() {}
    virtual void PopupHostContextMenu(int /*paramIdx*/, int /*x*/, int /*y*/) {}
    virtual void SetParameterFromUI(int paramIdx, double normalized);
    virtual void BeginParamGesture(int /*paramIdx*/) {}
    virtual void InformHostOfParamChange(int /*paramIdx*/, double /*normalized*/) {}
    virtual void EndParamGesture(int /*paramIdx*/) {}
    virtual bool IsRenderingOffline() { return false; }
    virtual int32_t GetSamplePos() { return 0; }
    virtual double GetTempo() { return 0.0; }
    virtual void GetTimeSignature(int32_t* numerator, int32_t* denominator);
    virtual void GetTransport(TransportInfo* info);
    virtual int32_t GetHost() { return hostId; }
    virtual int32_t GetBindingKind() { return bindingKind; }
    virtual void ResizeEditor(int /*width*/, int /*height*/) {}
    virtual void AttachGraphics(std::unique_ptr<IEditorLink> editor);
    virtual void SetLatency(int samples);
    virtual bool SendMidi(const IMidiEvent& /*event*/) { return false; }
    virtual void RedrawParamControls();
    virtual void OnPresetRestored() {}
    virtual void SetBlockSize(int frames);
    // Work that a host call asked for and that may not run under the lock (a redesign after a
    // state restore): the binding calls it on the host's thread once it has released the lock.
    virtual void CompleteRequestedWork() {}
    // The same asked for while processing: called by `process` once the block is done and the lock
    // released, and must neither block, allocate nor make a system call - except offline (rendering
    // without a deadline), where it runs under the lock before the block, which waits for it.
    virtual void HandOverRequestedWork(bool /*offline*/) {}
    // An optional trailer the host keeps after the state (after the controller's bypass flag):
    // readers that do not know it stop before it. None by default; a state without one hands
    // the reader an empty chunk.
    virtual bool SerializeStateTrailer(IByteChunk& /*chunk*/) { return true; }
    virtual void UnserializeStateTrailer(const IByteChunk& /*chunk*/) {}

    // ---- Lock ----
    void EnterLock() { lock.Enter(); }
    void LeaveLock() { lock.Leave(); }
    PluginLock& Lock() { return lock; }

    // ---- Parameters and presets ----
    int NParams() const { return static_cast<int>(params.size()); }
    IParamRecord* GetParam(int idx);
    const IParamRecord* GetParam(int idx) const;
    int NPresets() const { return static_cast<int>(presets.size()); }
    IPresetSlot* GetPreset(int idx);
    bool RestorePreset(int idx);
    void CaptureDefaultPreset(const char* name);

    // ---- Channels and hosts ----
    bool LegalIO(int inputs, int outputs) const;
    static int32_t IdentifyHost(const char* name);
    int NInChannels() const { return static_cast<int>(inChannels.size()); }
    int NOutChannels() const { return static_cast<int>(outChannels.size()); }
    IInChannel& InChannel(int i) { return inChannels[static_cast<std::size_t>(i)]; }
    IOutChannel& OutChannel(int i) { return outChannels[static_cast<std::size_t>(i)]; }
    double** InData() { return inData.data(); }
    double** OutData() { return outData.data(); }
    const std::vector<ChannelIOPair>& ChannelIO() const { return channelIO; }

    // ---- Parameter serialisation ----
    bool SerializeParams(IByteChunk& chunk);
    int UnserializeParams(const IByteChunk& chunk, int position);

    // ---- Processing helpers for the binding ----
    void PassThrough(int frames);
    // The block through ProcessBlock, or, while bypassed, the input passed through; a change of
    // the bypass crossfades between the two (BypassCrossfade). With a latency the bypass delay
    // line plays and the switch is immediate.
    void ProcessOrPassThrough(int frames);
    // The next block starts fully bypassed or fully processed, as the bypass now stands.
    void SnapBypass();
    // Converts the host's 32-bit buffers of the connected channels into their scratch buffers.
    void AttachInputBuffers(int first, int count, float* const* hostBuffers, int frames);
    // Converts every connected output channel's buffer into its host 32-bit buffer.
    void ConvertOutputs(int frames);
    // Grows every scratch buffer to hold at least frames samples. The binding calls it before a
    // block so that a host exceeding its announced maximum never makes anyone write past a buffer.
    void EnsureScratchFrames(int frames);

    // ---- Accessors ----
    double GetSampleRate() const { return sampleRate; }
    int GetBlockSize() const { return blockSize; }
    bool IsBypassed() const { return bypassed; }
    int GetLatency() const { return latency; }
    int GetTailSize() const { return tailSize; }
    int CurrentPreset() const { return currentPreset; }
    IEditorLink* Graphics() { return graphics.get(); }
    const char* EffectName() const { return effectName; }
    const char* ProductName() const { return productName; }
    const char* MakerName() const { return makerName; }
    int32_t UniqueId() const { return uniqueId; }
    int32_t MakerId() const { return makerId; }
    int32_t Version() const { return version; }

  protected:
    std::vector<ChannelIOPair> channelIO;
    PluginLock lock;
    char effectName[128] = {};
    char productName[128] = {};
    char makerName[128] = {};
    int32_t uniqueId = 0;
    int32_t makerId = 0;
    int32_t version = 0;
    int32_t bindingKind = 1;
    int32_t hostId = kHostNotIdentified;
    int32_t hostVersion = 0;
    bool splitOutputs = false;
    bool acceptsMidi = false;
    bool bypassed = false;
    int32_t currentPreset = 0;
    double sampleRate = 44100.0;
    int32_t blockSize = 0;
    int32_t latency = 0;
    int32_t tailSize = 0;
    std::unique_ptr<BypassDelay> bypassDelay;
    BypassCrossfade bypassFade;
    std::vector<const char*> paramGroups;
    std::unique_ptr<IEditorLink> graphics;
    std::vector<std::unique_ptr<IParamRecord>> params;
    std::vector<std::unique_ptr<IPresetSlot>> presets;
    std::vector<double*> inData;
    std::vector<double*> outData;
    std::vector<IInChannel> inChannels;
    std::vector<IOutChannel> outChannels;
    std::vector<std::string> inputBusNames;
    std::vector<std::string> outputBusNames;
};
