// One processing call: parameter changes at the start of the block, buffer binding, the block,
// and conversion back for 32-bit hosts. Everything runs under the plug-in lock.
#include "vst3/effect_vst3.h"

#include <algorithm>
#include <cmath>
#include <new>

using namespace vst;

void IEffectVST3::ApplyParameterChanges(IParameterChanges* changes) {
    if (!changes) return;
    const int32 queues = changes->getParameterCount();
    for (int32 q = 0; q < queues; ++q) {
        IParamValueQueue* queue = changes->getParameterData(q);
        if (!queue) continue;
        const int32 points = queue->getPointCount();
        if (points <= 0) continue;
        int32 offset = 0;
        ParamValue value = 0.0;
        if (queue->getPoint(points - 1, offset, value) != kResultOk) continue;
        // A value that is not a number is ignored.
        if (std::isnan(value)) continue;
        const ParamID id = queue->getParameterId();
        if (id == kBypassParamId) {
            bypassed = value > 0.5;
            bypassNormalized = std::clamp(value, 0.0, 1.0);
        } else if (id == kPresetParamId) {
            // The integer part names the preset; indices outside the list restore nothing, and a
            // value too large to convert is ignored.
            const double index = std::trunc(value * NPresets());
            if (NPresets() > 0 && std::fabs(index) < 1e9) RestorePreset(static_cast<int>(index));
        } else if (IsPluginParam(id)) {
            value = std::clamp(value, 0.0, 1.0);
            const int idx = static_cast<int>(id);
            GetParam(idx)->SetNormalized(value);
            ApplyHostValueFromProcess(idx, value);
            OnParamChange(idx);
        }
    }
}

void IEffectVST3::ApplyMidiEvents(IEventList* events) {
    if (!acceptsMidi || !events) return;
    const int32 count = events->getEventCount();
    for (int32 i = 0; i < count; ++i) {
        Event e{};
        if (events->getEvent(i, e) != kResultOk) continue;
        IMidiEvent m;
        m.offset = e.sampleOffset;
        if (e.type == Event::kNoteOnEvent) {
            m.status = static_cast<uint8_t>(0x90 | (e.noteOn.channel & 0x0F));
            m.data1 = static_cast<uint8_t>(e.noteOn.pitch & 0x7F);
            const float v = std::clamp(e.noteOn.velocity, 0.0f, 1.0f);
            m.data2 = static_cast<uint8_t>(std::isnan(v) ? 0 : static_cast<int>(v * 127.0f));
        } else if (e.type == Event::kNoteOffEvent) {
            m.status = static_cast<uint8_t>(0x80 | (e.noteOff.channel & 0x0F));
            m.data1 = static_cast<uint8_t>(e.noteOff.pitch & 0x7F);
            m.data2 = 0;
        } else {
            continue;
        }
        ProcessMidi(m);
    }
}

void IEffectVST3::BindInputs(const ProcessData& data, bool is64, int frames) {
    const int nIn = NInChannels();
    const AudioBusBuffers* bus = (data.numInputs > 0 && data.inputs) ? &data.inputs[0] : nullptr;
    void* const* hostBuffers = nullptr;
    int hostChannels = 0;
    if (bus && sideChainChannels == 0) {
        hostBuffers = is64 ? reinterpret_cast<void* const*>(bus->channelBuffers64)
                           : reinterpret_cast<void* const*>(bus->channelBuffers32);
        hostChannels = hostBuffers ? std::max(0, bus->numChannels) : 0;
    }
    const int connected = std::min(hostChannels, nIn);
    for (int i = 0; i < nIn; ++i) {
        IInChannel& ch = InChannel(i);
        ch.connected = i < connected;
        if (!ch.connected || (is64 && !hostBuffers[i])) {
            // No host buffer: the block reads silence from the scratch, never an old host pointer.
            std::fill_n(ch.scratch.begin(), frames, 0.0);
            *ch.slot = ch.scratch.data();
        } else if (is64) {
            *ch.slot = static_cast<double*>(hostBuffers[i]);
        }
    }
    if (!is64 && connected > 0)
        AttachInputBuffers(0, nIn, reinterpret_cast<float* const*>(hostBuffers), frames);
}

void IEffectVST3::BindOutputs(const ProcessData& data, bool is64) {
    const int nOut = NOutChannels();
    const std::vector<Bus>& ourBuses = buses.List(kAudio, kOutput);
    int next = 0;
    // Host entries match our buses one to one; entries past our last bus are never read.
    const int hostBuses =
        data.outputs ? std::min(std::max(0, data.numOutputs), static_cast<int>(ourBuses.size())) : 0;
    for (int b = 0; b < hostBuses && next < nOut; ++b) {
        const AudioBusBuffers& bus = data.outputs[b];
        const bool active = ourBuses[static_cast<std::size_t>(b)].active;
        void* const* hostBuffers = is64 ? reinterpret_cast<void* const*>(bus.channelBuffers64)
                                        : reinterpret_cast<void* const*>(bus.channelBuffers32);
        const int channels = std::max(0, bus.numChannels);
        for (int k = 0; k < channels && next < nOut; ++k, ++next) {
            IOutChannel& ch = OutChannel(next);
            void* host = (active && hostBuffers) ? hostBuffers[k] : nullptr;
            ch.connected = host != nullptr;
            ch.hostFloatBuffer = (!is64 && host) ? static_cast<float*>(host) : nullptr;
            *ch.slot = (is64 && host) ? static_cast<double*>(host) : ch.scratch.data();
        }
    }
    for (; next < nOut; ++next) {
        IOutChannel& ch = OutChannel(next);
        ch.connected = false;
        ch.hostFloatBuffer = nullptr;
        *ch.slot = ch.scratch.data();
    }
}

tresult IEffectVST3::process(ProcessData& data) {
    const bool offline = data.processMode == kOffline;
    {
        PluginLockGuard guard(Lock());
        ProcessUnderLock(data, offline);
    }
    // A redesign the changes asked for (a preset, a selection) never runs on this thread in real
    // time: the block played the correction in force, and the worker is woken once the lock is
    // free for it to copy its inputs.
    if (!offline) HandOverRequestedWork(false);
    return kResultOk;
}

void IEffectVST3::ProcessUnderLock(ProcessData& data, bool offline) {
    if (data.processContext) transportCache = *data.processContext;
    ApplyParameterChanges(data.inputParameterChanges);
    // Offline, the block waits for its own correction: a render must not depend on timing.
    if (offline) HandOverRequestedWork(true);
    ApplyMidiEvents(data.inputEvents);

    // Buffers of a sample size we do not know are never touched.
    const bool is64 = data.symbolicSampleSize == kSample64;
    const bool known = is64 || data.symbolicSampleSize == kSample32;
    const int frames = known ? std::max(0, data.numSamples) : 0;
    try {
        // A host exceeding the announced maximum still never makes anyone write past a buffer.
        EnsureScratchFrames(frames);
    } catch (const std::bad_alloc&) {
        return;
    }
    ProcessData bound = data;
    if (!known) {
        bound.numInputs = 0;
        bound.numOutputs = 0;
    }
    BindInputs(bound, is64, frames);
    BindOutputs(bound, is64);

    ProcessOrPassThrough(frames);
    if (!is64) ConvertOutputs(frames);
}
