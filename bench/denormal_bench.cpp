// The audio path on silence after a loud block against the same path on noise, at high resolution
// (120 sections) with a real correction. Were the sections to drift into subnormal numbers as they
// decay, silence would cost many times more than noise; the target is a ratio of at most 1.2.
#include "engine/cascade_filter.h"
#include "ratio_reporter.h"
#include "support/engine_effect.h"
#include "support/known_designs.h"

#include <cmath>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kBlock = 512;

void Run(benchmark::State& state, bool silence) {
    EngineEffect fx(48000.0);
    PlayWigglyCorrection(fx.engine, fx.GetSampleRate(), true);
    std::mt19937 random(9);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    std::vector<double> loud0(kBlock), loud1(kBlock), in0(kBlock), in1(kBlock), out0(kBlock), out1(kBlock);
    for (int i = 0; i < kBlock; ++i) {
        loud0[i] = noise(random);
        loud1[i] = noise(random);
        in0[i] = silence ? 0.0 : 0.3 * noise(random);
        in1[i] = silence ? 0.0 : 0.3 * noise(random);
    }
    double* loud[2] = {loud0.data(), loud1.data()};
    double* in[2] = {in0.data(), in1.data()};
    double* out[2] = {out0.data(), out1.data()};
    long blocks = 0;
    for (auto _ : state) {
        // Every 200 blocks (about two seconds) a loud block starts the decay again.
        if (blocks++ % 200 == 0) {
            state.PauseTiming();
            fx.engine.ProcessBlock(loud, out, kBlock);
            state.ResumeTiming();
        }
        fx.engine.ProcessBlock(in, out, kBlock);
        benchmark::DoNotOptimize(out0.data());
    }
    state.SetLabel(std::string("cascade ran ") + VectorPathName(LastCascadePath()));
}
void NoiseBlocks(benchmark::State& state) {
    Run(state, false);
}
void SilenceAfterLoudBlock(benchmark::State& state) {
    Run(state, true);
}
BENCHMARK(NoiseBlocks)->Unit(benchmark::kMicrosecond)->MinTime(2.0);
BENCHMARK(SilenceAfterLoudBlock)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    if (!RunWithReporter(argc, argv, reporter)) return 1;
    reporter.PrintRatio("silence after a loud block / noise", "SilenceAfterLoudBlock", "NoiseBlocks",
                        "(target <= 1.2)");
    return 0;
}
