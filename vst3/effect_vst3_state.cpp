// Host state: the component state is the plug-in's state record; the controller state is the
// same record followed by the bypass flag as a 4-byte integer. Both may end with the plug-in's
// trailer, which readers that stop after the record (or the flag) never see.
#include "vst3/effect_vst3.h"

#include <new>

using namespace vst;

namespace {

// Reads up to `bytes` bytes, in as many reads as the stream needs; returns how many really
// arrived. A failed or empty read ends it, and a stream claiming more than asked is not believed.
int32 ReadSome(IBStream* stream, void* out, int32 bytes) {
    auto* at = static_cast<unsigned char*>(out);
    int32 total = 0;
    while (total < bytes) {
        int32 got = 0;
        if (stream->read(at + total, bytes - total, &got) != kResultOk || got <= 0) break;
        total += got > bytes - total ? bytes - total : got;
    }
    return total;
}

bool WriteAll(IBStream* stream, const void* data, int32 bytes) {
    if (bytes == 0) return true;
    int32 written = 0;
    return stream->write(const_cast<void*>(data), bytes, &written) == kResultOk && written == bytes;
}

// The most a trailer may hold: what follows in a stream beyond it is not read.
constexpr int32 kMaxTrailerBytes = 64 * 1024;

} // namespace

bool IEffectVST3::WriteStateTrailer(IBStream* state) {
    IByteChunk chunk;
    if (!SerializeStateTrailer(chunk)) return false;
    return WriteAll(state, chunk.Data(), chunk.Size());
}

void IEffectVST3::ReadStateTrailer(IBStream* state) {
    // A state without a trailer (an older project) hands over an empty chunk.
    IByteChunk chunk;
    int32 got = 0;
    if (chunk.Resize(kMaxTrailerBytes)) got = ReadSome(state, chunk.Data(), kMaxTrailerBytes);
    chunk.Resize(got);
    UnserializeStateTrailer(chunk);
}

bool IEffectVST3::WriteStateRecord(IBStream* state) {
    IByteChunk chunk;
    if (!SerializeState(chunk)) return false;
    return WriteAll(state, chunk.Data(), chunk.Size());
}

bool IEffectVST3::ReadStateRecord(IBStream* state) {
    IByteChunk probe;
    SerializeState(probe);
    const int32 size = probe.Size();
    if (size <= 0) return false;

    IByteChunk chunk;
    if (!chunk.Resize(size)) return false;
    const int32 got = ReadSome(state, chunk.Data(), size);
    if (got == 0) return false;
    // Only what the stream delivered is read back; a short record keeps its complete parts.
    if (got < size) chunk.Resize(got);
    // The host's stream is read without the lock (it may be a file), and so is the record: the
    // plug-in takes the lock only to apply what it read.
    const int end = UnserializeState(chunk, 0);
    PluginLockGuard guard(Lock());
    RedrawParamControls();
    // A whole record that was refused (damaged) is a failed restore.
    return got == size && end >= 0;
}

tresult IEffectVST3::componentGetState(IBStream* state) {
    if (!state) return kInvalidArgument;
    PluginLockGuard guard(Lock());
    try {
        return WriteStateRecord(state) && WriteStateTrailer(state) ? kResultOk : kResultFalse;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

tresult IEffectVST3::componentSetState(IBStream* state) {
    if (!state) return kInvalidArgument;
    tresult result = kResultFalse;
    try {
        result = ReadStateRecord(state) ? kResultOk : kResultFalse;
        if (result == kResultOk) ReadStateTrailer(state);
    } catch (const std::bad_alloc&) {
        result = kOutOfMemory;
    }
    // The redesign runs here, without the lock, so the call returns with the restored state in force.
    CompleteRequestedWork();
    return result;
}

tresult IEffectVST3::controllerGetState(IBStream* state) {
    if (!state) return kInvalidArgument;
    PluginLockGuard guard(Lock());
    try {
        if (!WriteStateRecord(state)) return kResultFalse;
        // The controller's own bypass value: a host that switched bypass on the controller alone
        // gets it back with the project.
        const int32 flag = bypassNormalized.load() > 0.5 ? 1 : 0;
        return WriteAll(state, &flag, sizeof flag) && WriteStateTrailer(state) ? kResultOk : kResultFalse;
    } catch (const std::bad_alloc&) {
        return kOutOfMemory;
    }
}

tresult IEffectVST3::controllerSetState(IBStream* state) {
    if (!state) return kInvalidArgument;
    tresult result = kResultFalse;
    try {
        result = ReadControllerState(state);
    } catch (const std::bad_alloc&) {
        result = kOutOfMemory;
    }
    CompleteRequestedWork();
    return result;
}

tresult IEffectVST3::ReadControllerState(IBStream* state) {
    if (!ReadStateRecord(state)) return kResultFalse;
    int32 flag = 0;
    if (ReadSome(state, &flag, sizeof flag) != static_cast<int32>(sizeof flag)) return kResultFalse;
    {
        PluginLockGuard guard(Lock());
        bypassed = flag != 0;
        bypassNormalized = bypassed ? 1.0 : 0.0;
        RedrawParamControls();
    }
    ReadStateTrailer(state);
    return kResultOk;
}
