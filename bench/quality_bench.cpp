// How good a correction is, not how fast: synthetic microphone pairs at 48 kHz whose target
// responses are known, measured the way the plug-in measures (2^19 samples of both microphones at
// once), corrected once as before (unwindowed analysis, flat wanted response) and once as now
// (windowed analysis, protected wanted response), side by side.
//
// Per case and method, with C the correction's magnitude (cascade, level-match gain removed) and H
// the known target response, on 400 log-spaced frequencies from 30 Hz to 18 kHz:
//   err max / rms  deviation of |H*C| in dB from its mean (the signal path after correction)
//   @30Hz          that deviation at 30 Hz
//   boost          the largest gain of C, 20 Hz .. 20 kHz
//   noise          how much a white noise floor rises through C against the signal: mean power gain of
//                  C over linear frequency 20 Hz .. 20 kHz in dB minus the mean dB gain of C (the level)
//   b120           the largest boost at 120 bands with the same wanted response
// Materials: pink noise and voice-like material (syllabic envelope, a voice's long-term spectrum),
// each with reference microphone noise at -45 dB and target noise at -60 dB, and the voice again
// with target noise at -30 and -15 dB (all relative to the material's level).
#include "bench/quality_profiles.h"
#include "engine/band_grid.h"
#include "engine/correction_design.h"
#include "engine/correction_engine.h"
#include "engine/fft.h"
#include "engine/measurement_quality.h"
#include "engine/protected_curve.h"
#include "engine/recording_analysis.h"
#include "support/flat_design.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <random>
#include <string>
#include <vector>

namespace {

using cd = std::complex<double>;
constexpr double kRate = 48000.0;
constexpr double kPi = std::numbers::pi;
const int N = kFftLength;

// Analog prototypes at frequency f (s = j*2*pi*f).
cd S(double f) {
    return cd(0.0, 2.0 * kPi * f);
}
cd HighPass2(double f, double fc, double q) {
    const cd s = S(f);
    const double w = 2 * kPi * fc;
    return s * s / (s * s + s * (w / q) + w * w);
}
cd LowPass2(double f, double fc, double q) {
    const cd s = S(f);
    const double w = 2 * kPi * fc;
    return w * w / (s * s + s * (w / q) + w * w);
}
cd Peak(double f, double fc, double q, double db) {
    const cd s = S(f);
    const double w = 2 * kPi * fc, A = std::pow(10.0, db / 40.0);
    return (s * s + s * (A * w / q) + w * w) / (s * s + s * (w / (A * q)) + w * w);
}

struct Case {
    const char* name;
    std::function<cd(double)> H;
};

const std::vector<Case>& Cases() {
    static const std::vector<Case> cases = {
        {"condenser +4dB@6k", [](double f) { return Peak(f, 6000, 1.0, 4.0); }},
        {"dynamic",
         [](double f) {
             return HighPass2(f, 100, 0.707) * Peak(f, 4000, 1.0, 6.0) * LowPass2(f, 10000, 0.707);
         }},
        {"high-pass 120Hz", [](double f) { return HighPass2(f, 120, 0.7071); }},
        {"low-pass 7k 24dB", [](double f) { return LowPass2(f, 7000, 0.5412) * LowPass2(f, 7000, 1.3066); }},
        {"notch -10dB@2k", [](double f) { return Peak(f, 2000, 8.0, -10.0); }},
        {"level -12dB", [](double) { return cd(std::pow(10.0, -12.0 / 20.0)); }},
        {"delay 3ms", [](double f) { return std::exp(cd(0.0, -2 * kPi * f * 0.003)); }},
        {"reflection 0.5@3ms", [](double f) { return 1.0 + 0.5 * std::exp(cd(0.0, -2 * kPi * f * 0.003)); }},
    };
    return cases;
}

struct Material {
    const char* name;
    bool voice;
    double targetNoiseDb;
};
const Material kMaterials[] = {
    {"pink", false, -60}, {"voice", true, -60}, {"voice tn-30", true, -30}, {"voice tn-15", true, -15}};

double Rms(const std::vector<double>& x) {
    double s = 0;
    for (double v : x)
        s += v * v;
    return std::sqrt(s / x.size());
}

// Inverse transform of a spectrum (re, im), real part returned.
std::vector<double> Inverse(std::vector<double> re, std::vector<double> im) {
    const int order = static_cast<int>(std::log2(re.size()));
    for (double& v : im)
        v = -v;
    Fft(re.data(), im.data(), order);
    for (double& v : re)
        v /= static_cast<double>(re.size());
    return re;
}

// The material, 2^20 samples of white noise shaped in frequency (pink: 1/sqrt(f); voice: a high-pass at
// 100 Hz, flat to 800 Hz, then -12 dB per octave and a low-pass at 5 kHz, so that a voice's top
// octaves lie 50 to 60 dB below its body), the voice then given a syllabic envelope with pauses.
// Returns its spectrum; the target is filtered from it, and the measurement takes the middle 2^19
// samples of both, so that, as in a real recording, the signal does not repeat at the ends.
constexpr int kLongOrder = kFftOrder + 1;
const int M = 1 << kLongOrder;

void MakeMaterial(bool voice, unsigned seed, std::vector<double>& re, std::vector<double>& im) {
    std::mt19937 rng(seed);
    std::normal_distribution<double> g;
    re.resize(M);
    for (double& v : re)
        v = g(rng);
    im.assign(M, 0.0);
    Fft(re.data(), im.data(), kLongOrder);
    for (int k = 0; k <= M / 2; ++k) {
        const double f = std::max(k * kRate / M, 1.0);
        double a = voice ? std::abs(HighPass2(f, 100, 0.707) * LowPass2(f, 5000, 0.707)) *
                               (f > 800 ? std::pow(800 / f, 2.0) : 1.0)
                         : 1.0 / std::sqrt(f / 1000.0);
        if (k == 0) a = 0;
        re[k] *= a;
        im[k] *= a;
        if (k > 0 && k < M / 2) {
            re[M - k] = re[k];
            im[M - k] = -im[k];
        }
    }
    if (voice) {
        std::vector<double> y = Inverse(re, im);
        for (int t = 0; t < M; ++t) {
            const double s = t / kRate;
            const double syllable =
                std::pow(std::max(0.0, std::sin(2 * kPi * 3.7 * s + 2 * std::sin(2 * kPi * 0.9 * s))), 2);
            const double pause = std::fmod(s, 2.6) < 0.5 ? 0.0 : 1.0;
            y[t] *= syllable * pause;
        }
        re = y;
        im.assign(M, 0.0);
        Fft(re.data(), im.data(), kLongOrder);
    }
}

// Magnitude of the cascade (without its level-match gain) at f.
double CascadeGain(const DesignResult& r, double f) {
    const cd z1 = std::exp(cd(0.0, -2 * kPi * f / kRate)), z2 = z1 * z1;
    cd h = 1.0;
    for (int k = 0; k < r.sections; ++k) {
        const PeakingSection& s = r.sections_[k];
        h *= 1.0 + s.b * (1.0 - z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
    }
    return std::abs(h);
}

struct Figures {
    double errMax, errRms, err30, boost, noise, boost120;
};

Figures Evaluate(const Case& c, const DesignResult& r, const DesignResult& r120) {
    Figures fig{};
    constexpr int P = 400;
    std::vector<double> path(P), corr(P);
    double meanPath = 0, meanCorr = 0;
    for (int i = 0; i < P; ++i) {
        const double f = 30.0 * std::pow(18000.0 / 30.0, i / (P - 1.0));
        corr[i] = 20 * std::log10(CascadeGain(r, f));
        path[i] = 20 * std::log10(std::abs(c.H(f))) + corr[i];
        meanPath += path[i] / P;
        meanCorr += corr[i] / P;
    }
    double sq = 0;
    for (int i = 0; i < P; ++i) {
        const double e = path[i] - meanPath;
        fig.errMax = std::max(fig.errMax, std::fabs(e));
        sq += e * e;
    }
    fig.errRms = std::sqrt(sq / P);
    fig.err30 = path[0] - meanPath;
    double power = 0;
    int count = 0;
    fig.boost = fig.boost120 = -1e9;
    for (double f = 20; f <= 20000; f += 5, ++count) {
        const double g = CascadeGain(r, f);
        power += g * g;
        fig.boost = std::max(fig.boost, 20 * std::log10(g));
        fig.boost120 = std::max(fig.boost120, 20 * std::log10(CascadeGain(r120, f)));
    }
    fig.noise = 10 * std::log10(power / count) - meanCorr;
    return fig;
}

DesignResult Design(const std::array<double, kBandCount>& t, const std::array<double, kBandCount>& r,
                    const std::array<double, kBandCount>& curve, double resolution) {
    return DesignWithFlatCalibration(t.data(), r.data(), curve.data(), kRate, resolution);
}

void Print(const char* method, const Figures& f) {
    std::printf(" | %-5s %5.1f %4.1f %5.1f %5.1f %+5.1f %5.1f", method, f.errMax, f.errRms, f.err30, f.boost,
                f.noise, f.boost120);
}

} // namespace

// Optional arguments: the coherence of full and of no correction (default 0.9 and 0.5), to try others.
int main(int argc, char** argv) {
    ProtectionRule rule;
    if (argc >= 3) {
        rule.fullCoherence = std::atof(argv[1]);
        rule.noCoherence = std::atof(argv[2]);
    }
    std::printf("protection: full correction at coherence %.2f, none at %.2f, boost limit %.0f dB\n",
                rule.fullCoherence, rule.noCoherence, rule.maxBoostDb);
    const BandBins bins = ComputeBandBins(kRate, N);
    std::printf("%-20s %-12s | %-5s %5s %4s %5s %5s %5s %5s | (same for the protected method)\n", "case",
                "material", "", "max", "rms", "@30Hz", "boost", "noise", "b120");
    unsigned seed = 1;
    for (const Material& m : kMaterials)
        for (const Case& c : Cases()) {
            std::vector<double> re, im;
            MakeMaterial(m.voice, seed++, re, im);
            // Target spectrum: the material through H.
            std::vector<double> tre(M), tim(M);
            for (int k = 0; k <= M / 2; ++k) {
                const cd h = c.H(k * kRate / M) * cd(re[k], im[k]);
                tre[k] = h.real();
                tim[k] = h.imag();
                if (k > 0 && k < M / 2) {
                    tre[M - k] = h.real();
                    tim[M - k] = -h.imag();
                }
            }
            std::vector<double> ref = Inverse(re, im), tgt = Inverse(tre, tim);
            ref.erase(ref.begin(), ref.begin() + N / 2);
            tgt.erase(tgt.begin(), tgt.begin() + N / 2);
            ref.resize(N);
            tgt.resize(N);
            // Scale to -20 dBFS, then the microphones' own noise, relative to the material's level.
            const double level = 0.1 / Rms(ref);
            std::mt19937 rng(1000 + seed);
            std::normal_distribution<double> g;
            const double refNoise = 0.1 * std::pow(10.0, -45.0 / 20),
                         tgtNoise = 0.1 * std::pow(10.0, m.targetNoiseDb / 20);
            std::vector<double> refBuf(2 * N, 0.0), tgtBuf(2 * N, 0.0);
            for (int t = 0; t < N; ++t) {
                refBuf[t] = ref[t] * level + refNoise * g(rng);
                tgtBuf[t] = tgt[t] * level + tgtNoise * g(rng);
            }
            std::vector<double> refBuf2 = refBuf, tgtBuf2 = tgtBuf;

            // Before: unwindowed levels, flat wanted response.
            std::array<double, kBandCount> rb, tb, flat;
            flat.fill(1.0);
            AnalyseRecordings(refBuf.data(), tgtBuf.data(), kFftOrder, bins, rb.data(), tb.data(), false);
            const Figures before = Evaluate(c, Design(tb, rb, flat, 0.0), Design(tb, rb, flat, 1.0));

            // Now: coherence from the raw recordings, windowed levels, protected wanted response.
            MeasurementQuality q;
            AssessRecordings(refBuf2.data(), tgtBuf2.data(), kFftOrder, bins, kRate, q);
            AnalyseRecordings(refBuf2.data(), tgtBuf2.data(), kFftOrder, bins, rb.data(), tb.data());
            std::array<double, kBandCount> curve;
            curve.fill(1.0);
            ProtectedCurve(rule, tb.data(), rb.data(), q.coherence.data(), curve.data(), nullptr);
            ExpandCurveTo120(curve.data(), curve.data() + kHighOffset);
            const Figures after = Evaluate(c, Design(tb, rb, curve, 0.0), Design(tb, rb, curve, 1.0));
            // The window alone, for the mend's own figures.
            const Figures windowed = Evaluate(c, Design(tb, rb, flat, 0.0), Design(tb, rb, flat, 1.0));

            std::printf("%-20s %-12s", c.name, m.name);
            Print("today", before);
            Print("win", windowed);
            Print("prot", after);
            std::printf("\n");
            std::fflush(stdout);
        }
    ReportProfileCombinations();
    return 0;
}
