#pragma once

// Listening to the plug-in's switches as a host plays it: 48 kHz stereo blocks of 64-bit samples
// through `process`, two different microphone signals on the two inputs, output channel 0 kept,
// parameter changes from the host's queue at a chosen frame of a block. And the figures of one
// switch: its peak and its largest second difference against the steady stretches around it.

#include "support/host_block.h"
#include "support/host_objects.h"
#include "vst3/abi/processing.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <numbers>
#include <vector>

namespace switch_listening {

constexpr double kRate = 48000.0;

enum class Signal { Tone, Vowel };

inline const char* SignalName(Signal s) {
    return s == Signal::Tone ? "tone" : "vowel";
}

// One period (384 samples) of a voiced vowel on each microphone: harmonics of 125 Hz up to 5 kHz
// under three formants (700, 1220, 2600 Hz), each microphone with its own tilt and phases.
inline const std::array<std::array<double, 384>, 2>& VowelPeriods() {
    static const auto periods = [] {
        std::array<std::array<double, 384>, 2> p{};
        const double formants[3][2] = {{700, 130}, {1220, 170}, {2600, 250}};
        for (int c = 0; c < 2; ++c) {
            double peak = 0.0;
            for (int i = 0; i < 384; ++i) {
                double v = 0.0;
                for (int h = 1; h <= 40; ++h) {
                    const double f = 125.0 * h;
                    double a = 0.0;
                    for (const auto& fb : formants)
                        a += 1.0 / (1.0 + std::pow((f - fb[0]) / fb[1], 2));
                    a *= std::pow(f / 1000.0, c == 0 ? -0.3 : 0.2) / h;
                    v += a * std::sin(2 * std::numbers::pi * h * i / 384.0 + 0.37 * h * h + 0.5 * c * h);
                }
                p[c][i] = v;
                peak = std::max(peak, std::fabs(v));
            }
            for (double& v : p[c])
                v *= (c == 0 ? 0.30 : 0.25) / peak;
        }
        return p;
    }();
    return periods;
}

// Sample `i` of input channel `channel` (0: the reference microphone as wired, 1: the target).
inline double InputSample(Signal s, int channel, long i) {
    if (s == Signal::Vowel) return VowelPeriods()[channel][static_cast<std::size_t>(i % 384)];
    const double t = i / kRate;
    const double w = 2 * std::numbers::pi * 440.0;
    return channel == 0 ? 0.30 * std::sin(w * t)
                        : 0.22 * std::sin(w * t + 1.1) + 0.05 * std::sin(3 * w * t + 0.3);
}

// An engine state record (2712 bytes and 15 parameters): a measured correction of several
// decibels either way (the ripple's phase set by `shift`), a drawn curve, and the selections given.
inline std::vector<unsigned char> CorrectionRecord(double outputs, double resolution, double shift = 0.0) {
    std::vector<unsigned char> r(2712 + 15 * 8);
    auto put = [&](std::size_t at, double v) { std::memcpy(&r[at], &v, 8); };
    for (int i = 0; i < 153; ++i) {
        const std::size_t target = i < 33 ? 8 * i : 528 + 8 * (i - 33);
        const std::size_t reference = i < 33 ? 264 + 8 * i : 1488 + 8 * (i - 33);
        put(target, std::pow(10.0, 6.0 * std::sin(0.7 * i + shift) / 20.0));
        put(reference, 1.0);
    }
    for (int i = 0; i < 33; ++i)
        put(2448 + 8 * i, std::pow(10.0, 2.0 * std::cos(0.4 * i) / 20.0));
    const double params[15] = {0.0, outputs, resolution, 0.5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 15; ++i)
        put(2712 + 8 * static_cast<std::size_t>(i), params[i]);
    return r;
}

struct Change {
    vst::ParamID id;
    double value;
};

// Plays whole blocks through a processor and keeps output channel 0.
class Session {
  public:
    Session(vst::IAudioProcessor* processor, int block, Signal signal, int mode)
        : processor(processor), block(block), signal(signal), mode(mode) {}

    // At least `frames` frames in whole blocks; `changes` arrive in the first block's queue at
    // frame `offset`. False when the processor refused a block.
    bool Play(long frames, const std::vector<Change>& changes = {}, int offset = 0) {
        bool ok = true;
        for (long done = 0; done < frames; done += block) {
            HostBlock<double> b(block, 2, 2, 9.0);
            const long at = static_cast<long>(output.size());
            for (int c = 0; c < 2; ++c)
                for (int f = 0; f < block; ++f)
                    b.in[static_cast<std::size_t>(c)][static_cast<std::size_t>(f)] =
                        InputSample(signal, c, at + f);
            ParameterChanges queue;
            if (done == 0)
                for (const Change& c : changes)
                    queue.Add(c.id, {{offset, c.value}});
            b.data.processMode = mode;
            b.data.inputParameterChanges = done == 0 && !changes.empty() ? &queue : nullptr;
            ok = ok && processor->process(b.data) == vst::kResultOk;
            output.insert(output.end(), b.out[0].begin(), b.out[0].end());
        }
        return ok;
    }
    long Position() const { return static_cast<long>(output.size()); }

    std::vector<double> output;

  private:
    vst::IAudioProcessor* processor;
    int block;
    Signal signal;
    int mode;
};

struct SwitchFigures {
    double peakRatio = 0.0; // the switch's peak over the larger steady peak
    double stepRatio = 0.0; // the switch's largest second difference over the steady stretches'
};

// The switch stretch [at, at + window) against the steady stretches of `steady` frames before it
// and after it.
inline SwitchFigures Judge(const std::vector<double>& out, long at, long window, long steady) {
    auto figures = [&](long from, long to, double& peak, double& step) {
        peak = step = 0.0;
        for (long i = std::max(from, 1L); i < to && i + 1 < static_cast<long>(out.size()); ++i) {
            const auto u = static_cast<std::size_t>(i);
            peak = std::max(peak, std::fabs(out[u]));
            step = std::max(step, std::fabs(out[u + 1] - 2 * out[u] + out[u - 1]));
        }
    };
    double peakBefore, stepBefore, peakSwitch, stepSwitch, peakAfter, stepAfter;
    figures(at - steady, at, peakBefore, stepBefore);
    figures(at, at + window, peakSwitch, stepSwitch);
    figures(at + window, at + window + steady, peakAfter, stepAfter);
    SwitchFigures f;
    const double peak = std::max(peakBefore, peakAfter), step = std::max(stepBefore, stepAfter);
    f.peakRatio = peak > 0 ? peakSwitch / peak : (peakSwitch > 0 ? 1e9 : 0.0);
    f.stepRatio = step > 0 ? stepSwitch / step : (stepSwitch > 0 ? 1e9 : 0.0);
    return f;
}

} // namespace switch_listening
