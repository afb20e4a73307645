// The analysis of a measurement (both microphones to 306 band levels, the coherence of every band,
// the delay, the polarity and the capture checks, all from averaged segments) against the analysis
// it replaced as its yardstick: band levels alone from one windowed transform of the whole
// recording. That one is also timed against FFTW doing just the transforms: one complex transform
// of 2^19 points (it takes both recordings through one, as real and imaginary parts), and the two
// that a straightforward analysis would need.
#include "engine/double_array.h"
#include "engine/fft.h"
#include "platform/large_pages.h"
#include "engine/measurement_quality.h"
#include "engine/recording_analysis.h"
#include "ratio_reporter.h"

#include <fftw3.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

struct Signals {
    std::vector<double> reference, target;
    Signals() : reference(2 * kFftLength, 0.0), target(2 * kFftLength, 0.0) {
        std::mt19937 rng(9);
        std::normal_distribution<double> noise;
        for (int i = 0; i < kFftLength; ++i) {
            reference[i] = noise(rng);
            target[i] = 0.7 * reference[i] + 0.1 * noise(rng);
        }
    }
};

const Signals& TheSignals() {
    static const Signals s;
    return s;
}

// 0: band levels of the whole recording without a window, 1: the same windowed (the yardstick),
// 2: the whole measurement from the averaged segments.
void Analysis(benchmark::State& state, int what) {
    const Signals& s = TheSignals();
    // Allocated as the engine allocates its recording buffers.
    DoubleArray refBuffer(s.reference.size()), tgtBuffer(s.target.size());
    double* ref = refBuffer.get();
    double* tgt = tgtBuffer.get();
    std::array<double, kBandCount> refBands{}, tgtBands{};
    const BandBins bins = ComputeBandBins(48000, kFftLength);
    for (auto _ : state) {
        state.PauseTiming(); // the recording buffers arrive filled; refilling them is not analysis
        std::memcpy(ref, s.reference.data(), s.reference.size() * sizeof(double));
        std::memcpy(tgt, s.target.data(), s.target.size() * sizeof(double));
        state.ResumeTiming();
        if (what == 2) {
            MeasurementQuality q;
            if (!AssessRecordings(ref, tgt, kFftOrder, bins, 48000.0, q, refBands.data(), tgtBands.data()))
                state.SkipWithError("memory");
            benchmark::DoNotOptimize(q.coherence.data());
        } else if (!AnalyseRecordings(ref, tgt, kFftOrder, bins, refBands.data(), tgtBands.data(), what != 0)) {
            state.SkipWithError("tables");
        }
        benchmark::DoNotOptimize(refBands.data());
        benchmark::DoNotOptimize(tgtBands.data());
    }
}
void EngineAnalysis(benchmark::State& state) {
    Analysis(state, 1);
}
BENCHMARK(EngineAnalysis)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Analysis, unwindowed, 0)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(Analysis, measurement, 2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The engine's transform of both recordings without the power spectra and band sums.
void EngineTransformOnly(benchmark::State& state) {
    const Signals& s = TheSignals();
    DoubleArray refBuffer(s.reference.size()), tgtBuffer(s.target.size());
    double* ref = refBuffer.get();
    double* tgt = tgtBuffer.get();
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(ref, s.reference.data(), s.reference.size() * sizeof(double));
        std::memcpy(tgt, s.target.data(), s.target.size() * sizeof(double));
        state.ResumeTiming();
        if (!FftTransposed(ref, tgt, ref + kFftLength, tgt + kFftLength, kFftOrder))
            state.SkipWithError("tables");
        benchmark::DoNotOptimize(ref);
    }
}
BENCHMARK(EngineTransformOnly)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// largePages: give FFTW's arrays the same large-page hint the engine gives its recording buffers.
// transforms: 1 or 2 of them per iteration.
void FftwComplexTransforms(benchmark::State& state, bool largePages, int transforms) {
    const Signals& s = TheSignals();
    fftw_complex* in[2];
    fftw_complex* out[2];
    for (int c = 0; c < 2; ++c) {
        in[c] = fftw_alloc_complex(kFftLength);
        out[c] = fftw_alloc_complex(kFftLength);
        if (largePages) {
            AdviseLargePages(in[c], kFftLength * sizeof(fftw_complex));
            AdviseLargePages(out[c], kFftLength * sizeof(fftw_complex));
        }
    }
    // Planned outside the timing; planning with measurements may overwrite the arrays.
    fftw_plan plan = fftw_plan_dft_1d(kFftLength, in[0], out[0], FFTW_FORWARD, FFTW_MEASURE);
    for (int c = 0; c < 2; ++c) {
        const std::vector<double>& x = c == 0 ? s.reference : s.target;
        for (int i = 0; i < kFftLength; ++i) {
            in[c][i][0] = x[i];
            in[c][i][1] = 0.0;
        }
    }
    for (auto _ : state) {
        fftw_execute_dft(plan, in[0], out[0]);
        if (transforms == 2) fftw_execute_dft(plan, in[1], out[1]);
        benchmark::DoNotOptimize(out[0]);
        benchmark::DoNotOptimize(out[1]);
    }
    fftw_destroy_plan(plan);
    for (int c = 0; c < 2; ++c) {
        fftw_free(in[c]);
        fftw_free(out[c]);
    }
}
BENCHMARK_CAPTURE(FftwComplexTransforms, one, false, 1)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_CAPTURE(FftwComplexTransforms, one_large_pages, true, 1)
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0);
BENCHMARK_CAPTURE(FftwComplexTransforms, two, false, 2)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    if (!RunWithReporter(argc, argv, reporter)) return 1;
    reporter.PrintRatio("ratio whole-record analysis / FFTW one transform", "EngineAnalysis", "FftwComplexTransforms/one/",
                        "(target <= 1.0)");
    reporter.PrintRatio("ratio whole-record analysis / FFTW one transform, FFTW arrays with the large-page hint too",
                        "EngineAnalysis", "FftwComplexTransforms/one_large_pages", "(target <= 1.0)");
    reporter.PrintRatio("ratio analysis with coherence and capture checks / windowed whole-record analysis alone",
                        "Analysis/measurement", "EngineAnalysis", "(target <= 1.5)");
    reporter.PrintRatio("ratio windowed whole-record analysis / the same without a window", "EngineAnalysis",
                        "Analysis/unwindowed", "");
    reporter.PrintRatio("ratio engine transform alone / FFTW one transform", "EngineTransformOnly",
                        "FftwComplexTransforms/one/", "");
    reporter.PrintRatio("ratio whole-record analysis / FFTW two transforms", "EngineAnalysis", "FftwComplexTransforms/two",
                        "");
    return 0;
}
