#include "engine/correction_design.h"

#include "engine/cascade_model.h"
#include "engine/interaction_terms.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double kDivergedError = 1e6;
constexpr double kDivergedFactor = 1e6;
// How often an abandoned design and the clock are looked at: well under a millisecond of passes.
constexpr int kStopCheckPasses = 16;
// A fit that has not improved on its best pass for this many passes is not going to settle: it
// keeps the best pass. Fits that settle improve every few passes until they do.
constexpr int kStallPasses = 2000;

bool Usable(double v) {
    return std::isfinite(v) && v > 0.0;
}
double OrOne(double v) {
    return Usable(v) ? v : 1.0;
}

// Largest |W/Y - 1| over the bands; infinity when any is not finite.
double LargestError(int n, const double* w, const double* y, double* e) {
    double largest = 0.0;
    for (int k = 0; k < n; ++k) {
        e[k] = w[k] / y[k] - 1.0;
        const double a = std::fabs(e[k]);
        if (!(a <= largest)) largest = std::isfinite(a) ? a : INFINITY;
    }
    return largest;
}

PeakingSection MakeSection(double f, double rate, double K, double g) {
    const double w0 = 2.0 * std::numbers::pi * f / rate;
    const double alpha = std::sin(w0) / K;
    PeakingSection s;
    s.b = alpha * g / (1.0 + alpha);
    s.a1 = -2.0 * std::cos(w0) / (1.0 + alpha);
    s.a2 = (1.0 - alpha) / (1.0 + alpha);
    // Stability triangle of the denominator; outside it (e.g. a centre above the Nyquist
    // frequency) or with non-finite values the section would blow up, so it stays flat.
    const bool finite = std::isfinite(s.b) && std::isfinite(s.a1) && std::isfinite(s.a2);
    if (!finite || !(std::fabs(s.a2) < 1.0) || !(std::fabs(s.a1) < 1.0 + s.a2))
        s = PeakingSection{0.0, 0.0, 0.0, 0.0, 0.0};
    return s;
}

} // namespace

double LevelMatchGain(const double* t, const double* r) {
    double sr = 0.0, st = 0.0;
    for (int i = 5; i <= 27; ++i) {
        sr += r[i] * r[i];
        st += t[i] * t[i];
    }
    const double g = std::sqrt(sr / st);
    return Usable(g) ? g : 1.0;
}

void ComputeCorrection(const DesignInputs& in, DesignResult& out) {
    std::vector<double> T(static_cast<size_t>(kMaxSections) * kMaxSections);
    ComputeCorrection(in, out, T.data());
}

void ComputeCorrection(const DesignInputs& in, DesignResult& out, double* T) {
    const int n = SectionCount(in.resolution);
    const int off = BandOffset(in.resolution);
    const double* freq = TheBandGrid().bandFrequencies.data() + off;
    out.sections = n;
    out.stopped = false;

    ComputeInteractionTerms(StandardRateIndex(in.workingSampleRate), in.resolution, T);

    // Measured ratio X and wanted response W.
    std::array<double, kMaxSections> X{}, W{};
    const double sel = in.outputSelection;
    if (sel == 0.0) {
        out.levelMatchGain = 1.0;
        for (int k = 0; k < n; ++k) {
            X[k] = OrOne(in.calibrationGain[off + k]);
            W[k] = 1.0;
        }
    } else if (sel == 0.5) {
        out.levelMatchGain = 1.0;
        X.fill(1.0);
        W.fill(1.0);
    } else {
        const double G = LevelMatchGain(in.targetBands, in.referenceBands);
        out.levelMatchGain = G;
        for (int k = 0; k < n; ++k) {
            const double t = in.targetBands[off + k], r = in.referenceBands[off + k];
            X[k] = Usable(t) && Usable(r) ? OrOne(G * t / r) : 1.0;
            W[k] = OrOne(in.userCurve[off + k]);
        }
    }

    std::array<double, kMaxSections> g{}, Y{}, E{}, P{}, Ksq{}, A{};
    std::array<double, kMaxSections> bestG{}, bestY{};
    Y = X;
    double bestError = INFINITY;
    int bestPass = 0;
    int passes = 0;
    const auto started = std::chrono::steady_clock::now();
    bool converged = false;
    bool useBest = false;
    for (;;) {
        const double largest = LargestError(n, W.data(), Y.data(), E.data());
        if (largest < bestError) {
            bestError = largest;
            bestPass = passes;
            bestG = g;
            bestY = Y;
        }
        if (largest <= kDesignTolerance && passes != 0) {
            converged = true;
            break;
        }
        if (passes >= kDesignPassLimit || passes - bestPass >= kStallPasses ||
            (passes != 0 && (!std::isfinite(largest) ||
                             (largest > kDivergedError && largest > kDivergedFactor * bestError)))) {
            useBest = true;
            break;
        }
        if (passes % kStopCheckPasses == 0) {
            if (in.shouldStop && in.shouldStop(in.stopContext)) {
                out.stopped = true;
                return;
            }
            if (passes != 0 && std::chrono::steady_clock::now() - started >= kDesignTimeBudget) {
                useBest = true;
                break;
            }
        }
        FitPass(n, T, X.data(), E.data(), g.data(), P.data(), Ksq.data(), A.data(), Y.data());
        ++passes;
    }
    if (useBest) {
        g = bestG;
        Y = bestY;
    }
    out.passes = passes;
    out.converged = converged;

    for (int k = 0; k < n; ++k) {
        out.sectionGain[k] = g[k];
        out.measuredRatio[k] = X[k];
        out.achievedResponse[k] = Y[k];
        const double K = 0.1 * n * std::sqrt(1.0 + g[k]);
        out.sections_[k] = MakeSection(freq[k], in.workingSampleRate, K, g[k]);
    }
    for (int k = n; k < kMaxSections; ++k)
        out.sectionGain[k] = 0.0;

    for (int k = 0; k < n; ++k) {
        if (sel == 0.0) {
            out.curveMeasured[k] = X[k];
            out.curveResult[k] = Y[k];
            out.curveDesired[k] = 1.0;
        } else if (sel == 0.5) {
            out.curveMeasured[k] = 1.0;
            out.curveResult[k] = 1.0;
            out.curveDesired[k] = 1.0;
        } else {
            out.curveMeasured[k] = X[k];
            out.curveResult[k] = Y[k];
            out.curveDesired[k] = W[k];
        }
    }
}
