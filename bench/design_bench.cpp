// One pass of the design's fit at high resolution (120 bands) against the formula written as a
// plain loop with one division per term, from the same starting state, in the same binary.
#include "engine/band_grid.h"
#include "engine/cascade_model.h"
#include "engine/interaction_terms.h"
#include "ratio_reporter.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

constexpr int n = kHighBands;

// A fit a few passes in, for a realistic measured ratio at 48 kHz.
struct FitState {
    std::vector<double> T = std::vector<double>(n * n);
    std::vector<double> X = std::vector<double>(n), E = std::vector<double>(n), g = std::vector<double>(n);
    FitState() {
        ComputeInteractionTerms(StandardRateIndex(48000), 1.0, T.data());
        std::vector<double> P(n), Ksq(n), A(n), Y(n);
        for (int k = 0; k < n; ++k) {
            const double f = TheBandGrid().bandFrequencies[kHighOffset + k];
            X[k] = std::pow(10.0, (6.0 * std::sin(std::log(f)) + 3.0 * std::cos(3 * std::log(f))) / 20.0);
            Y[k] = X[k];
        }
        for (int pass = 0; pass < 5; ++pass) {
            for (int k = 0; k < n; ++k)
                E[k] = 1.0 / Y[k] - 1.0;
            FitPass(n, T.data(), X.data(), E.data(), g.data(), P.data(), Ksq.data(), A.data(), Y.data());
        }
        for (int k = 0; k < n; ++k)
            E[k] = 1.0 / Y[k] - 1.0;
    }
};

const FitState& TheState() {
    static const FitState s;
    return s;
}

struct PassArrays {
    std::vector<double> g, P = std::vector<double>(n), Ksq = std::vector<double>(n),
                           A = std::vector<double>(n), Y = std::vector<double>(n), K = std::vector<double>(n);
};

// The formula as written: pow per gain, one division per term.
void PlainPass(const FitState& s, PassArrays& a) {
    std::vector<double>& K = a.K;
    for (int k = 0; k < n; ++k) {
        a.g[k] = std::max(-0.9999, std::pow(1.0 + s.E[k], 0.2) * (1.0 + a.g[k]) - 1.0);
        a.P[k] = a.g[k] * (a.g[k] + 2.0);
        K[k] = 0.1 * n * std::sqrt(1.0 + a.g[k]);
    }
    for (int r = 0; r < n; ++r) {
        double prod = 1.0;
        for (int q = 0; q < n; ++q)
            prod *= 1.0 + a.P[q] / (1.0 + K[q] * K[q] * s.T[r * n + q]);
        a.Y[r] = std::sqrt(prod) * s.X[r];
    }
}

void EnginePass(const FitState& s, PassArrays& a) {
    FitPass(n, s.T.data(), s.X.data(), s.E.data(), a.g.data(), a.P.data(), a.Ksq.data(), a.A.data(),
            a.Y.data());
}

template <void (*Pass)(const FitState&, PassArrays&)> void DesignPass(benchmark::State& state) {
    const FitState& s = TheState();
    PassArrays a;
    a.g = s.g;
    for (auto _ : state) {
        std::copy(s.g.begin(), s.g.end(), a.g.begin()); // every pass starts from the same gains
        Pass(s, a);
        benchmark::DoNotOptimize(a.Y.data());
    }
}
BENCHMARK(DesignPass<EnginePass>)->Name("EngineDesignPass")->MinTime(1.0);

// The model of the cascade alone (n^2 terms), the part of a pass that the ratio is bound by.
void EngineModelOnly(benchmark::State& state) {
    const FitState& s = TheState();
    std::vector<double> P(n), Ksq(n), A(n);
    for (int k = 0; k < n; ++k) {
        P[k] = s.g[k] * (s.g[k] + 2.0);
        Ksq[k] = 0.01 * n * n * (1.0 + s.g[k]);
    }
    for (auto _ : state) {
        ModelCascadeMagnitudes(n, s.T.data(), Ksq.data(), P.data(), A.data());
        benchmark::DoNotOptimize(A.data());
    }
}
BENCHMARK(EngineModelOnly)->MinTime(1.0);
BENCHMARK(DesignPass<PlainPass>)->Name("PlainDesignPass")->MinTime(1.0);

double LargestRelativeDifference(const std::vector<double>& a, const std::vector<double>& b) {
    double worst = 0;
    for (size_t i = 0; i < a.size(); ++i)
        worst = std::max(worst, std::fabs(a[i] - b[i]) / std::max(std::fabs(b[i]), 1e-300));
    return worst;
}

} // namespace

int main(int argc, char** argv) {
    RatioReporter reporter;
    if (!RunWithReporter(argc, argv, reporter)) return 1;
    const FitState& s = TheState();
    PassArrays engine, plain;
    engine.g = plain.g = s.g;
    EnginePass(s, engine);
    PlainPass(s, plain);
    const double dg = LargestRelativeDifference(engine.g, plain.g);
    const double dy = LargestRelativeDifference(engine.Y, plain.Y);
    reporter.PrintRatio("speed-up of one high-resolution pass", "PlainDesignPass", "EngineDesignPass",
                        "(target >= 10)");
    const double model = reporter.CpuSeconds("EngineModelOnly");
    if (model > 0)
        std::printf("model alone: %.0f%% of the engine's pass, %.3f ns per term\n",
                    100.0 * model / reporter.CpuSeconds("EngineDesignPass"), model / (n * n) * 1e9);
    std::printf("largest relative difference: gains %.3g, modelled response %.3g (limit 1e-9) %s\n", dg, dy,
                dg <= 1e-9 && dy <= 1e-9 ? "ok" : "TOO LARGE");
    return dg <= 1e-9 && dy <= 1e-9 ? 0 : 1;
}
