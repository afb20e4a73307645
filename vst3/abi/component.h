#pragma once

// The processor side: the component with its buses and the audio processor.

#include "vst3/abi/processing.h"
#include "vst3/abi/unknown.h"

namespace vst {

enum MediaTypes : int32 { kAudio = 0, kEvent = 1, kNumMediaTypes = 2 };
enum BusDirections : int32 { kInput = 0, kOutput = 1 };
enum BusTypes : int32 { kMain = 0, kAux = 1 };
enum IoModes : int32 { kSimple = 0, kAdvanced = 1, kOfflineProcessing = 2 };

struct BusInfo {
    enum BusFlags : uint32 { kDefaultActive = 1, kIsControlVoltage = 2 };
    MediaType mediaType;
    BusDirection direction;
    int32 channelCount;
    String128 name;
    BusType busType;
    uint32 flags;
};

struct RoutingInfo {
    MediaType mediaType;
    int32 busIndex;
    int32 channel;
};

class IComponent : public IPluginBase {
  public:
    static constexpr Uid iid{0xE831FF31, 0xF2D54301, 0x928EBBEE, 0x25697802};
    virtual tresult getControllerClassId(TUID classId) = 0;
    virtual tresult setIoMode(IoMode mode) = 0;
    virtual int32 getBusCount(MediaType type, BusDirection dir) = 0;
    virtual tresult getBusInfo(MediaType type, BusDirection dir, int32 index, BusInfo& bus) = 0;
    virtual tresult getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) = 0;
    virtual tresult activateBus(MediaType type, BusDirection dir, int32 index, TBool state) = 0;
    virtual tresult setActive(TBool state) = 0;
    virtual tresult setState(IBStream* state) = 0;
    virtual tresult getState(IBStream* state) = 0;
};

class IAudioProcessor : public FUnknown {
  public:
    static constexpr Uid iid{0x42043F99, 0xB7DA453C, 0xA569E79D, 0x9AAEC33D};
    virtual tresult setBusArrangements(SpeakerArrangement* inputs, int32 numIns, SpeakerArrangement* outputs,
                                       int32 numOuts) = 0;
    virtual tresult getBusArrangement(BusDirection dir, int32 index, SpeakerArrangement& arr) = 0;
    virtual tresult canProcessSampleSize(int32 symbolicSampleSize) = 0;
    virtual uint32 getLatencySamples() = 0;
    virtual tresult setupProcessing(ProcessSetup& setup) = 0;
    virtual tresult setProcessing(TBool state) = 0;
    virtual tresult process(ProcessData& data) = 0;
    virtual uint32 getTailSamples() = 0;
};

class IProcessContextRequirements : public FUnknown {
  public:
    static constexpr Uid iid{0x2A654303, 0xEF764E3D, 0x95B5FE83, 0x730EF6D0};
    virtual uint32 getProcessContextRequirements() = 0;
};

namespace SpeakerArr {
inline constexpr SpeakerArrangement kEmpty = 0;
inline constexpr SpeakerArrangement kMono = 0x80000;
inline constexpr SpeakerArrangement kStereo = 0x3;
inline constexpr SpeakerArrangement k30Music = 0x103;
inline constexpr SpeakerArrangement k40Music = 0x33;
inline constexpr SpeakerArrangement k50 = 0x37;
inline constexpr SpeakerArrangement k51 = 0x3F;
} // namespace SpeakerArr

// Channels of an arrangement: one per set bit.
inline int32 ChannelCount(SpeakerArrangement arr) {
    int32 n = 0;
    for (; arr; arr &= arr - 1)
        ++n;
    return n;
}

static_assert(sizeof(BusInfo) == 276 && alignof(BusInfo) == 4 && offsetof(BusInfo, busType) == 268);
static_assert(sizeof(RoutingInfo) == 12);

} // namespace vst
