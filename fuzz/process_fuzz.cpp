// The audio path as a host drives it, after setupProcessing: parameter queues (bypass, preset,
// every plug-in parameter and unknown ids, values of any bit pattern), block sizes beyond the
// announced maximum, missing or extra buses and channels, null buffers, both sample sizes and
// samples of any value; now and then a recording is started, the editor draws, or the host sets
// up processing again.
#include "fuzz_input.h"
#include "fuzz_plugin.h"
#include "graphics/headless/headless_graphics.h"
#include "plugin/parameter_table.h"
#include "support/host_objects.h"
#include "vst3/effect_vst3.h"

#include <cmath>
#include <vector>

namespace {

double ChooseRate(FuzzInput& in) {
    static const double rates[] = {44100.0, 48000.0, 96000.0, 192000.0, 384000.0, 32000.0, 79999.0, 1.0};
    const int pick = in.Range(0, 8);
    return pick < 8 ? rates[pick] : in.RawDouble();
}

vst::ParamID ChooseParam(FuzzInput& in) {
    const int pick = in.Range(0, 19);
    if (pick < 16) return static_cast<vst::ParamID>(pick); // 15 is one past the last parameter
    if (pick == 16) return IEffectVST3::kBypassParamId;
    if (pick == 17) return IEffectVST3::kPresetParamId;
    if (pick == 18) return static_cast<vst::ParamID>(-1);
    return in.U32();
}

double ChooseValue(FuzzInput& in) {
    const int pick = in.Range(0, 3);
    if (pick == 0) return in.RawDouble();
    return in.Byte() / 255.0;
}

// Sample values: a small palette from the input, cycled in a pattern, so that few bytes make long
// blocks of loud, silent, tiny or non-finite samples.
struct SamplePalette {
    double values[4];
    explicit SamplePalette(FuzzInput& in) {
        for (double& v : values) {
            const int kind = in.Range(0, 5);
            v = kind == 0 ? in.RawDouble() : kind == 1 ? 0.0 : kind == 2 ? 1e-310 : (in.Byte() - 128) / 64.0;
        }
    }
    double At(int i, int channel) const { return values[(i / 7 + channel) & 3] * ((i & 1) ? -1.0 : 1.0); }
    bool AllFinite() const {
        for (double v : values)
            if (!std::isfinite(v)) return false;
        return true;
    }
};

struct BlockBuffers {
    std::vector<std::vector<double>> wide;
    std::vector<std::vector<float>> narrow;
    std::vector<double*> widePtrs;
    std::vector<float*> narrowPtrs;
};

void RunBlock(FuzzInput& in, IMicCorrector* fx, int maxBlock) {
    const bool is64 = in.Range(0, 3) != 0;
    const int frames = in.Range(-1, maxBlock + 64);
    const int numInputs = in.Range(0, 2), numOutputs = in.Range(0, 3);
    SamplePalette palette(in);
    const int count = frames > 0 ? frames : 0;

    std::vector<BlockBuffers> buffers(static_cast<std::size_t>(numInputs + numOutputs));
    std::vector<vst::AudioBusBuffers> buses(buffers.size());
    for (std::size_t b = 0; b < buffers.size(); ++b) {
        const bool isInput = b < static_cast<std::size_t>(numInputs);
        const int channels = in.Range(-1, 3);
        const bool nullList = in.Range(0, 15) == 0;
        BlockBuffers& bb = buffers[b];
        for (int c = 0; c < (channels > 0 ? channels : 0); ++c) {
            const bool nullChannel = in.Range(0, 15) == 0;
            bb.wide.emplace_back(static_cast<std::size_t>(count));
            bb.narrow.emplace_back(static_cast<std::size_t>(count));
            for (int i = 0; i < count && isInput; ++i) {
                bb.wide.back()[i] = palette.At(i, c);
                bb.narrow.back()[i] = static_cast<float>(palette.At(i, c));
            }
            bb.widePtrs.push_back(nullChannel ? nullptr : bb.wide.back().data());
            bb.narrowPtrs.push_back(nullChannel ? nullptr : bb.narrow.back().data());
        }
        buses[b].numChannels = channels;
        if (nullList)
            buses[b].channelBuffers64 = nullptr;
        else if (is64)
            buses[b].channelBuffers64 = bb.widePtrs.data();
        else
            buses[b].channelBuffers32 = bb.narrowPtrs.data();
    }

    ParameterChanges changes;
    const int queues = in.Range(0, 4);
    for (int q = 0; q < queues; ++q) {
        const vst::ParamID id = ChooseParam(in);
        std::vector<std::pair<int, double>> points(static_cast<std::size_t>(in.Range(0, 3)));
        for (auto& p : points)
            p = {in.Range(-1, 600), ChooseValue(in)};
        changes.Add(id, std::move(points));
    }

    vst::ProcessData data{};
    data.processMode = vst::kRealtime;
    data.symbolicSampleSize = in.Range(0, 31) == 0 ? 7 : (is64 ? vst::kSample64 : vst::kSample32);
    data.numSamples = frames;
    data.numInputs = numInputs;
    data.numOutputs = numOutputs;
    data.inputs = numInputs ? buses.data() : nullptr;
    data.outputs = numOutputs ? buses.data() + numInputs : nullptr;
    data.inputParameterChanges = in.Range(0, 7) ? &changes : nullptr;
    FuzzCheck(fx->process(data) == vst::kResultOk, "process result");

    // 64-bit outputs of finite inputs are finite on every path, bypass included.
    if (!is64 || !palette.AllFinite() || data.symbolicSampleSize != vst::kSample64) return;
    for (int b = numInputs; b < numInputs + numOutputs; ++b)
        for (const auto& channel : buffers[static_cast<std::size_t>(b)].wide)
            for (double v : channel)
                FuzzCheck(std::isfinite(v), "output is finite");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzInput in(data, size);
    FuzzPlugin plugin;
    IMicCorrector* fx = plugin.fx;
    auto* editor = static_cast<IGraphicsHeadless*>(fx->Editor());
    int parent = 0;
    editor->AttachToParent(&parent);

    int maxBlock = in.Range(0, 1024);
    plugin.Prepare(ChooseRate(in), in.Range(0, 1) ? vst::kSample64 : vst::kSample32, maxBlock);
    fx->setActive(1);
    for (int steps = 0; steps < 48 && !in.Empty(); ++steps) {
        const int op = in.Range(0, 15);
        if (op < 12) {
            RunBlock(in, fx, maxBlock);
        } else if (op == 12) {
            fx->Engine().StartRecording();
        } else if (op == 13) {
            editor->Tick();
        } else if (op == 14) {
            maxBlock = in.Range(0, 1024);
            plugin.Prepare(ChooseRate(in), vst::kSample64, maxBlock);
        } else {
            // An editor action between blocks, as a click would run it.
            static const int actions[] = {kParamInputs, kParamOutputs, kParamResolution, kParamReset};
            const int idx = actions[in.Range(0, 3)];
            fx->GetParam(idx)->SetNormalized(in.Byte() / 255.0);
            fx->DoParameterAction(idx);
        }
    }
    fx->setActive(0);
    editor->DetachWindow();
    return 0;
}
