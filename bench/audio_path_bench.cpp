// The audio path at high resolution (120 sections): time per 512-frame block at 48 kHz against the
// cascade run sample after sample (the plain form) in the same binary, with the baseline (SSE2)
// path timed too and every heap allocation during the timed audio-path blocks counted.
#include "engine/cascade_filter.h"
#include "platform/vector_paths.h"
#include "ratio_reporter.h"
#include "support/engine_effect.h"
#include "support/engine_probe.h"
#include "support/known_designs.h"

#include <atomic>
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

// The same cascade, coefficients and input through the plain form: the yardstick.
void PlainCascadeHighResolution(benchmark::State& state) {
    EngineEffect fx(kRate);
    CorrectionEngine& e = fx.engine;
    PlayWigglyCorrection(e, kRate, true);
    const std::vector<double> in = Input(0.07, 0.5);
    std::vector<double> out0(kBlock), out1(kBlock);
    for (auto _ : state) {
        fx.EnterLock();
        RunCascadePlain(CorrectionEngineProbe::correctionCascade(e).data(), kHighBands, in.data(), kBlock,
                        CorrectionEngineProbe::levelMatchGain(e), out0.data(), out1.data());
        fx.LeaveLock();
        benchmark::DoNotOptimize(out0.data());
    }
}
BENCHMARK(PlainCascadeHighResolution)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// Whether every path gives the plain form's bits over a few blocks, states included.
bool SameBitsAsPlain(bool baseline) {
    ForceBaselineVectorPaths(baseline);
    EngineEffect a(kRate), b(kRate);
    PlayWigglyCorrection(a.engine, kRate, true);
    PlayWigglyCorrection(b.engine, kRate, true);
    bool same = true;
    for (int block = 0; block < 8; ++block) {
        const std::vector<double> in = Input(0.07 + 0.01 * block, 0.5);
        std::vector<double> fast(kBlock), plain(kBlock);
        RunCascade(CorrectionEngineProbe::correctionCascade(a.engine).data(), kHighBands, in.data(), kBlock,
                   1.0, fast.data(), nullptr);
        RunCascadePlain(CorrectionEngineProbe::correctionCascade(b.engine).data(), kHighBands, in.data(),
                        kBlock, 1.0, plain.data(), nullptr);
        same = same && std::memcmp(fast.data(), plain.data(), sizeof(double) * kBlock) == 0;
    }
    same = same && std::memcmp(CorrectionEngineProbe::correctionCascade(a.engine).data(),
                               CorrectionEngineProbe::correctionCascade(b.engine).data(),
                               sizeof(PeakingSection) * kHighBands) == 0;
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
    const bool wide = SameBitsAsPlain(false), baseline = SameBitsAsPlain(true);
    std::printf("same bits as the plain form: wide path %s, baseline path %s\n", wide ? "yes" : "NO",
                baseline ? "yes" : "NO");
    std::printf("heap allocations during %ld timed blocks: %ld\n", blocksRun, blockAllocations);
    return blockAllocations == 0 && wide && baseline ? 0 : 1;
}
