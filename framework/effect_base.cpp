#include "framework/effect_base.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace {
// Reads the channel I/O text: pairs "%d-%d" separated by single blanks.
std::vector<ChannelIOPair> ParseChannelIO(const char* text) {
    std::vector<ChannelIOPair> pairs;
    const char* p = text ? text : "";
    for (;;) {
        ChannelIOPair pair;
        int in = 0, out = 0;
        int read = std::sscanf(p, "%d-%d", &in, &out);
        if (read >= 1) pair.inputs = in;
        if (read >= 2) pair.outputs = out;
        pairs.push_back(pair);
        const char* blank = std::strchr(p, ' ');
        if (!blank) break;
        p = blank + 1;
    }
    return pairs;
}
} // namespace

IEffectBase::IEffectBase(const EffectFacts& facts) {
    uniqueId = facts.uniqueId;
    makerId = facts.makerId;
    version = facts.version;

    for (int i = 0; i < facts.paramCount; ++i)
        params.push_back(std::make_unique<IParamRecord>());
    for (int i = 0; i < facts.presetCount; ++i)
        presets.push_back(std::make_unique<IPresetSlot>());

    CopyFixedText(effectName, sizeof effectName, facts.effectName);
    CopyFixedText(productName, sizeof productName, facts.productName);
    CopyFixedText(makerName, sizeof makerName, facts.makerName);

    channelIO = ParseChannelIO(facts.channelIO);
    int maxIn = 0, maxOut = 0;
    for (const ChannelIOPair& pair : channelIO) {
        maxIn = std::max(maxIn, pair.inputs);
        maxOut = std::max(maxOut, pair.outputs);
    }
    inData.assign(static_cast<std::size_t>(maxIn), nullptr);
    outData.assign(static_cast<std::size_t>(maxOut), nullptr);
    inChannels.resize(inData.size());
    outChannels.resize(outData.size());
    for (std::size_t i = 0; i < inChannels.size(); ++i)
        inChannels[i].slot = &inData[i];
    for (std::size_t i = 0; i < outChannels.size(); ++i)
        outChannels[i].slot = &outData[i];
}

IEffectBase::~IEffectBase() {
    graphics.reset(); // the editor goes first: its controls point into the plug-in
}

// ---- Hooks with default behaviour ----

void IEffectBase::Reset() {
    PluginLockGuard guard(lock);
}

void IEffectBase::OnParamChange(int) {
    PluginLockGuard guard(lock);
}

void IEffectBase::OnActivate(bool) {
    PluginLockGuard guard(lock);
}

void IEffectBase::ProcessMidi(const IMidiEvent& event) {
    SendMidi(event);
}

void IEffectBase::ProcessBlock(double** inputs, double** outputs, int frames) {
    if (!outputs || frames <= 0) return;
    const int nIn = NInChannels();
    for (int i = 0; i < NOutChannels(); ++i) {
        double* out = outputs[i];
        if (!out) continue;
        const double* in = (inputs && i < nIn) ? inputs[i] : nullptr;
        if (in)
            std::memmove(out, in, sizeof(double) * static_cast<std::size_t>(frames));
        else
            std::fill(out, out + frames, 0.0);
    }
}

bool IEffectBase::SerializeState(IByteChunk& chunk) {
    return SerializeParams(chunk);
}

int IEffectBase::UnserializeState(const IByteChunk& chunk, int position) {
    return UnserializeParams(chunk, position);
}

bool IEffectBase::CompareState(const uint8_t* data, int dataSize, int position) const {
    if (!data || position < 0) return false;
    for (int i = 0; i < NParams(); ++i) {
        int64_t offset = 8 * (static_cast<int64_t>(position) + i);
        if (offset + 8 > dataSize) return false;
        double stored;
        std::memcpy(&stored, data + offset, sizeof stored);
        float a = static_cast<float>(params[static_cast<std::size_t>(i)]->value);
        float b = static_cast<float>(stored);
        if (!(std::fabs(a - b) < 1e-5f)) return false;
    }
    return true;
}

void IEffectBase::SetParameterFromUI(int paramIdx, double normalized) {
    PluginLockGuard guard(lock);
    IParamRecord* param = GetParam(paramIdx);
    if (!param) return;
    param->SetNormalized(normalized);
    InformHostOfParamChange(paramIdx, normalized);
    OnParamChange(paramIdx);
}

void IEffectBase::GetTimeSignature(int32_t* numerator, int32_t* denominator) {
    if (numerator) *numerator = 0;
    if (denominator) *denominator = 0;
}

void IEffectBase::GetTransport(TransportInfo* info) {
    if (info) *info = TransportInfo{};
}

void IEffectBase::AttachGraphics(std::unique_ptr<IEditorLink> editor) {
    if (!editor) return;
    PluginLockGuard guard(lock);
    for (int i = 0; i < NParams(); ++i) {
        const IParamRecord& param = *params[static_cast<std::size_t>(i)];
        editor->ApplyHostValueToControls(i, param.ToNormalized(param.value));
    }
    editor->PrepareSurfaces();
    graphics = std::move(editor);
}

void IEffectBase::SetLatency(int samples) {
    latency = std::max(0, samples);
    if (!bypassDelay) return;
    bypassDelay->length = latency;
    bypassDelay->buffer.assign(
        static_cast<std::size_t>(latency) * static_cast<std::size_t>(bypassDelay->inputs), 0.0);
    bypassDelay->writePos = 0;
}

void IEffectBase::RedrawParamControls() {
    if (!graphics) return;
    for (int i = 0; i < NParams(); ++i)
        graphics->PushParamToControls(i, params[static_cast<std::size_t>(i)]->value);
}

void IEffectBase::SetBlockSize(int frames) {
    frames = std::max(0, frames);
    if (frames == blockSize) return;
    for (IInChannel& ch : inChannels)
        ch.scratch.assign(static_cast<std::size_t>(frames), 0.0);
    for (IOutChannel& ch : outChannels)
        ch.scratch.assign(static_cast<std::size_t>(frames), 0.0);
    bypassFade.Reserve(NOutChannels(), frames);
    blockSize = frames;
}

// ---- Parameters and presets ----

IParamRecord* IEffectBase::GetParam(int idx) {
    return (idx >= 0 && idx < NParams()) ? params[static_cast<std::size_t>(idx)].get() : nullptr;
}

const IParamRecord* IEffectBase::GetParam(int idx) const {
    return (idx >= 0 && idx < NParams()) ? params[static_cast<std::size_t>(idx)].get() : nullptr;
}

IPresetSlot* IEffectBase::GetPreset(int idx) {
    return (idx >= 0 && idx < NPresets()) ? presets[static_cast<std::size_t>(idx)].get() : nullptr;
}

bool IEffectBase::RestorePreset(int idx) {
    IPresetSlot* slot = GetPreset(idx);
    if (!slot) return false;
    bool restored;
    if (slot->initialised) {
        restored = UnserializeState(slot->chunk, 0) > 0;
    } else {
        // An empty slot captures the current state under the next free "user preset" number.
        slot->initialised = true;
        int userPresets = 0;
        for (const auto& p : presets)
            if (std::strstr(p->name, "user preset")) ++userPresets;
        std::snprintf(slot->name, sizeof slot->name, "%s %d", "user preset", userPresets + 1);
        slot->chunk.Clear();
        restored = SerializeState(slot->chunk);
    }
    if (restored) {
        currentPreset = idx;
        OnPresetRestored();
        RedrawParamControls();
    }
    return restored;
}

void IEffectBase::CaptureDefaultPreset(const char* name) {
    for (auto& slot : presets) {
        if (slot->initialised) continue;
        slot->initialised = true;
        CopyFixedText(slot->name, sizeof slot->name, name);
        slot->chunk.Clear();
        SerializeState(slot->chunk);
        return;
    }
}

// ---- Channels and hosts ----

bool IEffectBase::LegalIO(int inputs, int outputs) const {
    for (const ChannelIOPair& pair : channelIO)
        if ((inputs < 0 || inputs == pair.inputs) && (outputs < 0 || outputs == pair.outputs)) return true;
    return false;
}

int32_t IEffectBase::IdentifyHost(const char* name) {
    struct Entry {
        const char* text;
        int32_t id;
    };
    // The order decides when a name contains several entries.
    static const Entry table[] = {
        {"cubase", kHostCubase},
        {"reaper", kHostReaper},
        {"nuendo", kHostNuendo},
        {"cakewalk", kHostSonar},
        {"samplitude", kHostSamplitude},
        {"fruity", kHostFruity},
        {"live", kHostLive},
        {"melodyne", kHostMelodyne},
        {"vstmanlib", kHostVstManLib},
        {"aulab", kHostAuLab},
        {"garageband", kHostGarageBand},
        {"forte", kHostForte},
        {"chainer", kHostChainer},
        {"audition", kHostAudition},
        {"orion", kHostOrion},
        {"sawstudio", kHostSawStudio},
        {"logic", kHostLogic},
        {"digital", kHostDigital},
        {"audiomulch", kHostAudioMulch},
        {"presonus", kHostPresonus},
        {"vst3plugintesthost", kHostVst3TestHost},
        {"protools", kHostProTools},
        {"ardour", kHostArdour},
        {"openmpt", kHostOpenMpt},
        {"renoise", kHostRenoise},
        {"standalone", kHostStandalone},
    };
    char lower[256] = {};
    if (name)
        for (int i = 0; i < 255 && name[i]; ++i)
            lower[i] = static_cast<char>(std::tolower(static_cast<unsigned char>(name[i])));
    for (const Entry& entry : table)
        if (std::strstr(lower, entry.text)) return entry.id;
    return kHostUnknown;
}

// ---- Parameter serialisation ----

bool IEffectBase::SerializeParams(IByteChunk& chunk) {
    PluginLockGuard guard(lock);
    for (const auto& param : params)
        if (chunk.PutValue(param->value) <= 0) return false;
    return true;
}

int IEffectBase::UnserializeParams(const IByteChunk& chunk, int position) {
    PluginLockGuard guard(lock);
    for (auto& param : params) {
        if (position < 0) break;
        double v = 0.0;
        const int next = chunk.GetValue(&v, position);
        // Where the data runs out the parameter keeps its value: a value that is not there is not
        // a zero (which would turn the gain down to its bottom).
        position = next;
        if (next >= 0) param->SetClamped(v);
    }
    for (int i = 0; i < NParams(); ++i)
        OnParamChange(i);
    return position;
}

// ---- Processing helpers ----

void IEffectBase::PassThrough(int frames) {
    if (frames <= 0) return;
    const int nIn = NInChannels(), nOut = NOutChannels();
    if (latency == 0 || !bypassDelay || bypassDelay->length <= 0) {
        IEffectBase::ProcessBlock(inData.data(), outData.data(), frames);
        return;
    }
    BypassDelay& d = *bypassDelay;
    const int channels = std::min({nIn, nOut, d.inputs});
    int pos = d.writePos;
    for (int c = 0; c < channels; ++c) {
        const double* in = inData[static_cast<std::size_t>(c)];
        double* out = outData[static_cast<std::size_t>(c)];
        if (!in || !out) continue;
        double* line = d.buffer.data() + static_cast<std::size_t>(c) * static_cast<std::size_t>(d.length);
        pos = d.writePos;
        for (int f = 0; f < frames; ++f) {
            double incoming = in[f]; // read first: input and output may be the same buffer
            out[f] = line[pos];
            line[pos] = incoming;
            if (++pos == d.length) pos = 0;
        }
    }
    d.writePos = static_cast<int32_t>((d.writePos + frames % d.length) % d.length);
}

void IEffectBase::ProcessOrPassThrough(int frames) {
    if (latency > 0) {
        bypassFade.Snap(bypassed);
        if (bypassed)
            PassThrough(frames);
        else
            ProcessBlock(inData.data(), outData.data(), frames);
        return;
    }
    if (bypassFade.FullyProcessed(bypassed)) {
        ProcessBlock(inData.data(), outData.data(), frames);
        return;
    }
    bypassFade.KeepDry(inData.data(), NInChannels(), NOutChannels(), frames);
    ProcessBlock(inData.data(), outData.data(), frames);
    bypassFade.Blend(outData.data(), NOutChannels(), frames, bypassed, sampleRate);
}

void IEffectBase::SnapBypass() {
    PluginLockGuard guard(lock);
    bypassFade.Snap(bypassed);
}

void IEffectBase::EnsureScratchFrames(int frames) {
    if (frames <= 0) return;
    const auto n = static_cast<std::size_t>(frames);
    for (IInChannel& ch : inChannels)
        if (ch.scratch.size() < n) ch.scratch.resize(n, 0.0);
    for (IOutChannel& ch : outChannels)
        if (ch.scratch.size() < n) ch.scratch.resize(n, 0.0);
    bypassFade.Reserve(NOutChannels(), frames);
}

void IEffectBase::AttachInputBuffers(int first, int count, float* const* hostBuffers, int frames) {
    frames = std::max(0, frames);
    EnsureScratchFrames(frames);
    const int end = std::min(first + count, NInChannels());
    int next = 0;
    for (int i = std::max(0, first); i < end; ++i) {
        IInChannel& ch = inChannels[static_cast<std::size_t>(i)];
        if (!ch.connected) continue;
        const float* src = hostBuffers ? hostBuffers[next] : nullptr;
        ++next;
        for (int f = 0; f < frames; ++f)
            ch.scratch[static_cast<std::size_t>(f)] = src ? src[f] : 0.0;
        *ch.slot = ch.scratch.data();
    }
}

void IEffectBase::ConvertOutputs(int frames) {
    if (frames <= 0) return;
    for (IOutChannel& ch : outChannels) {
        if (!ch.connected || !ch.hostFloatBuffer || !*ch.slot) continue;
        int n = frames;
        // A scratch buffer is never read past its end.
        if (*ch.slot == ch.scratch.data()) n = std::min(n, static_cast<int>(ch.scratch.size()));
        const double* src = *ch.slot;
        for (int f = 0; f < n; ++f)
            ch.hostFloatBuffer[f] = static_cast<float>(src[f]);
    }
}
