// The audio path at high resolution (120 sections): time per 512-frame block at 48 kHz against the
// cascade run sample after sample (the plain form) in the same binary, with the baseline (SSE2)
// path timed too and every heap allocation during the timed audio-path blocks counted. Then what
// keeping both filtered paths running costs against the one cascade the path ran before (the
// reference's calibration cascade flat, as without a calibration file, and not), what a block
// costs while a new pair of paths warms up beside the playing one, and how long each kind of switch
// takes until the new output is all that is heard.
#include "engine/cascade_filter.h"
#include "engine/output_player.h"
#include "platform/vector_paths.h"
#include "ratio_reporter.h"
#include "support/engine_effect.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"
#include "support/known_designs.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <vector>

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

constexpr int kBlock = 512;
constexpr double kRate = 48000.0;

long blockAllocations = 0;
long blocksRun = 0;

std::vector<double> Input(double w, double amplitude) {
    std::vector<double> in(kBlock);
    for (int i = 0; i < kBlock; ++i)
        in[i] = amplitude * std::sin(w * i);
    return in;
}

// What each argument's timed blocks actually ran, as the cascade recorded it.
VectorPath pathRan[2] = {VectorPath::None, VectorPath::None};

void AudioPathHighResolution(benchmark::State& state) {
    ForceBaselineVectorPaths(state.range(0) == 0);
    EngineEffect fx(kRate);
    CorrectionEngine& e = fx.engine;
    PlayWigglyCorrection(e, kRate, true);
    std::vector<double> in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        in0[i] = std::sin(0.01 * i);
        in1[i] = 0.5 * std::sin(0.07 * i);
    }
    double* in[2] = {in0.data(), in1.data()};
    double* out[2] = {out0.data(), out1.data()};
    const long before = allocations.load();
    long blocks = 0;
    for (auto _ : state) {
        fx.EnterLock(); // as the host adapter calls it
        e.ProcessBlock(in, out, kBlock);
        fx.LeaveLock();
        benchmark::DoNotOptimize(out0.data());
        ++blocks;
    }
    blockAllocations += allocations.load() - before;
    blocksRun += blocks;
    pathRan[state.range(0)] = LastCascadePath();
    state.SetLabel(VectorPathName(pathRan[state.range(0)]));
    ForceBaselineVectorPaths(false);
}
BENCHMARK(AudioPathHighResolution)->Arg(1)->Arg(0)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// One cascade over the block with the designed coefficients, written to both outputs, through
// `run` (the plain form or today's dispatch).
template <typename RunFn> void OneCascade(benchmark::State& state, RunFn run) {
    EngineEffect fx(kRate);
    CorrectionEngine& e = fx.engine;
    PlayWigglyCorrection(e, kRate, true);
    EngineSnapshot designed = e.Snapshot();
    const std::vector<double> in = Input(0.07, 0.5);
    std::vector<double> out0(kBlock), out1(kBlock);
    for (auto _ : state) {
        fx.EnterLock();
        run(designed.correctionCascade.data(), kHighBands, in.data(), kBlock, designed.levelMatchGain,
            out0.data(), out1.data());
        fx.LeaveLock();
        benchmark::DoNotOptimize(out0.data());
    }
}

// The same cascade, coefficients and input through the plain form: the yardstick.
void PlainCascadeHighResolution(benchmark::State& state) {
    OneCascade(state, RunCascadePlain);
}
BENCHMARK(PlainCascadeHighResolution)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// What the path ran before every change became a crossfade: the selected output's one cascade over
// the block, written to both outputs. The yardstick of the figures below.
void TodaysOneCascade(benchmark::State& state) {
    OneCascade(state, RunCascade);
}
BENCHMARK(TodaysOneCascade)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// A reference microphone with a calibration: its cascade is not flat, so both paths run.
void Calibrate(CorrectionEngine& e) {
    std::array<double, kBandCount> gain;
    for (int i = 0; i < kBandCount; ++i)
        gain[i] = std::pow(10.0, 3.0 * std::cos(std::log(TheBandGrid().bandFrequencies[i])) / 20.0);
    e.SetCalibration(gain);
    e.DesignIfRequested();
}

// arg 0: steady, both paths running; arg 1: a new pair warming up beside them (four cascades).
void BothPathsCalibrated(benchmark::State& state) {
    EngineEffect fx(kRate);
    CorrectionEngine& e = fx.engine;
    PlayWigglyCorrection(e, kRate, true);
    Calibrate(e);
    std::vector<double> in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        in0[i] = std::sin(0.01 * i);
        in1[i] = 0.5 * std::sin(0.07 * i);
    }
    double* in[2] = {in0.data(), in1.data()};
    double* out[2] = {out0.data(), out1.data()};
    for (int i = 0; i < 40; ++i)
        e.ProcessBlock(in, out, kBlock);
    const long before = allocations.load();
    long blocks = 0;
    for (auto _ : state) {
        if (state.range(0) == 1 && !CorrectionEngineProbe::outputPlayer(e).Changing()) {
            state.PauseTiming();
            e.SetInputSelection(e.Snapshot().inputSelection == 0.0 ? 1.0 : 0.0); // a new pair, from rest
            state.ResumeTiming();
        }
        fx.EnterLock();
        e.ProcessBlock(in, out, kBlock);
        fx.LeaveLock();
        benchmark::DoNotOptimize(out0.data());
        ++blocks;
    }
    blockAllocations += allocations.load() - before;
    blocksRun += blocks;
}
BENCHMARK(BothPathsCalibrated)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Frames from the block that carries a change until nothing changes any more (the new output alone
// is heard), at 48 kHz in blocks of 256 with each design made before the next block, as offline.
struct SwitchTime {
    const char* what;
    long frames;
};
std::vector<SwitchTime> SwitchTimes() {
    struct Case {
        const char* what;
        void (*change)(CorrectionEngine&);
    };
    const Case cases[] = {
        {"Outputs: corrected -> reference", [](CorrectionEngine& e) { e.SetOutputSelection(0.0); }},
        {"Outputs: corrected -> target", [](CorrectionEngine& e) { e.SetOutputSelection(0.5); }},
        {"Gain", [](CorrectionEngine& e) { e.SetGainPosition(0.7); }},
        {"a redrawn curve (states carry on)",
         [](CorrectionEngine& e) {
             CorrectionSettings redrawn = CorrectionInForce(e);
             for (double& point : redrawn.userCurve)
                 point *= 1.1;
             e.ApplyCorrection(redrawn);
         }},
        {"Resolution: high -> normal", [](CorrectionEngine& e) { e.SetResolution(0.0); }},
        {"Inputs swapped", [](CorrectionEngine& e) { e.SetInputSelection(1.0); }},
    };
    std::vector<SwitchTime> times;
    constexpr int kFrames = 256;
    std::vector<double> in0(kFrames), in1(kFrames), out0(kFrames), out1(kFrames);
    double* in[2] = {in0.data(), in1.data()};
    double* out[2] = {out0.data(), out1.data()};
    for (const Case& c : cases) {
        EngineEffect fx(kRate);
        CorrectionEngine& e = fx.engine;
        PlayWigglyCorrection(e, kRate, true);
        e.SetGainPosition(0.5);
        e.SetDesignsDeferred(true); // a change asks; the design is made after its block
        long t = 0;
        auto block = [&] {
            for (int i = 0; i < kFrames; ++i, ++t) {
                in0[i] = std::sin(0.05 * t);
                in1[i] = 0.5 * std::sin(0.013 * t);
            }
            e.ProcessBlock(in, out, kFrames);
            e.DesignIfRequested();
        };
        for (int b = 0; b < 40; ++b)
            block();
        c.change(e);
        const bool designed = e.DesignPending();
        long frames = 0;
        do {
            block();
            frames += kFrames;
            // The design a change asks for is made after its block and met by the next one.
        } while (((designed && frames < 2 * kFrames) || CorrectionEngineProbe::outputPlayer(e).Changing()) &&
                 frames < 10 * 48000);
        times.push_back({c.what, frames});
    }
    return times;
}

// Median wall time of one whole design (the selected output's and both paths') at high
// resolution, with a calibrated reference: what a switch that needs a design adds in real time.
double DesignMilliseconds() {
    EngineEffect fx(kRate);
    CorrectionEngine& e = fx.engine;
    PlayWigglyCorrection(e, kRate, true);
    Calibrate(e);
    std::vector<double> ms;
    for (int i = 0; i < 21; ++i) {
        e.EditUserCurve([i](double* curve) {
            for (int k = 0; k < kNormalBands; ++k)
                curve[k] = 1.0 + 0.01 * ((i + k) % 5);
        });
        const auto start = std::chrono::steady_clock::now();
        e.DesignCorrection();
        ms.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    }
    std::sort(ms.begin(), ms.end());
    return ms[ms.size() / 2];
}

// Whether every path gives the plain form's bits over a few blocks, states included.
bool SameBitsAsPlain(bool baseline) {
    ForceBaselineVectorPaths(baseline);
    EngineEffect a(kRate), b(kRate);
    PlayWigglyCorrection(a.engine, kRate, true);
    PlayWigglyCorrection(b.engine, kRate, true);
    auto fastCascade = a.engine.Snapshot().correctionCascade,
         plainCascade = b.engine.Snapshot().correctionCascade;
    bool same = true;
    for (int block = 0; block < 8; ++block) {
        const std::vector<double> in = Input(0.07 + 0.01 * block, 0.5);
        std::vector<double> fast(kBlock), plain(kBlock);
        RunCascade(fastCascade.data(), kHighBands, in.data(), kBlock, 1.0, fast.data(), nullptr);
        RunCascadePlain(plainCascade.data(), kHighBands, in.data(), kBlock, 1.0, plain.data(), nullptr);
        same = same && std::memcmp(fast.data(), plain.data(), sizeof(double) * kBlock) == 0;
    }
    same = same &&
           std::memcmp(fastCascade.data(), plainCascade.data(), sizeof(PeakingSection) * kHighBands) == 0;
    ForceBaselineVectorPaths(false);
    return same;
}

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    if (!RunWithReporter(argc, argv, reporter)) return 1;
    const char* paths[2] = {"AudioPathHighResolution/1", "AudioPathHighResolution/0"};
    for (int p = 0; p < 2; ++p) {
        const char* name = VectorPathName(pathRan[1 - p]);
        const double perBlock = reporter.CpuSeconds(paths[p]);
        if (perBlock <= 0) continue;
        std::printf("%s path ran: %.1f ns per frame (plain form %.1f), real-time factor %.4f\n", name,
                    perBlock / kBlock * 1e9, reporter.CpuSeconds("PlainCascadeHighResolution") / kBlock * 1e9,
                    perBlock / (kBlock / kRate));
        const std::string what = std::string("ratio audio path (") + name + ") / plain form";
        reporter.PrintRatio(what.c_str(), paths[p], "PlainCascadeHighResolution", "(target <= 0.25)");
    }
    reporter.PrintRatio(
        "ratio audio path, both paths running, reference flat (AVX2 where available) / today's one cascade",
        "AudioPathHighResolution/1", "TodaysOneCascade", "");
    reporter.PrintRatio("ratio audio path, both paths running and calibrated / today's one cascade",
                        "BothPathsCalibrated/0", "TodaysOneCascade", "");
    reporter.PrintRatio("ratio audio path while a new pair warms up or fades in / today's one cascade",
                        "BothPathsCalibrated/1", "TodaysOneCascade", "");
    for (const SwitchTime& s : SwitchTimes())
        std::printf("time to sound, %s: %ld frames (%.1f ms at 48 kHz, blocks of 256)\n", s.what, s.frames,
                    s.frames / kRate * 1e3);
    std::printf("one design of the selected output and both paths, high resolution: %.2f ms (median of 21)\n",
                DesignMilliseconds());
    const bool wide = SameBitsAsPlain(false), baseline = SameBitsAsPlain(true);
    std::printf("same bits as the plain form: wide path %s, baseline path %s\n", wide ? "yes" : "NO",
                baseline ? "yes" : "NO");
    std::printf("heap allocations during %ld timed blocks: %ld\n", blocksRun, blockAllocations);
    return blockAllocations == 0 && wide && baseline ? 0 : 1;
}
