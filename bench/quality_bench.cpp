// How good a measurement and its correction are, not how fast: synthetic microphone pairs at 48 kHz
// whose target responses are known (tests/support/synthetic_microphones.h), measured the way the
// plug-in measures (2^19 samples of both microphones at once).
//
// Per material and case:
//   trusted 33 / 120  bands the measurement trusts (coherence at or above the full-correction
//                     threshold) and the worst of them: |measured - true| in dB, overall level
//                     removed; the promise is that none exceeds 1 dB
//   delay, pol        the delay found (ms) and "inv" when the polarity reads inverted
// and for the correction designed from it, with C its magnitude (cascade, level-match gain
// removed) and H the known response, on 400 log-spaced frequencies from 30 Hz to 18 kHz:
//   err max / rms     deviation of |H*C| in dB from its mean (the signal path after correction),
//                     for the exact correction (flat wanted response) and the protected one
//   boost, b120       the largest gain of the protected C anywhere from 20 Hz to 20 kHz (2000
//                     log-spaced points), at 33 and at 120 bands
//   noise             how much a white noise floor rises through the protected C against the
//                     signal: mean power gain of C over linear frequency minus its mean dB gain
#include "bench/quality_profiles.h"
#include "engine/band_grid.h"
#include "engine/correction_design.h"
#include "engine/correction_engine.h"
#include "engine/measurement_quality.h"
#include "engine/protected_curve.h"
#include "support/flat_design.h"
#include "support/synthetic_microphones.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace synthetic;
const int N = kFftLength;

// Magnitude of the cascade (without its level-match gain) at f.
double CascadeGain(const DesignResult& r, double f) {
    const Complex z1 = std::exp(Complex(0.0, -2 * kPi * f / kRate)), z2 = z1 * z1;
    Complex h = 1.0;
    for (int k = 0; k < r.sections; ++k) {
        const PeakingSection& s = r.sections_[k];
        h *= 1.0 + s.b * (1.0 - z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
    }
    return std::abs(h);
}

struct Figures {
    double errMax = 0, errRms = 0, boost = -1e9, noise = 0, boost120 = -1e9;
    double boostHz = 0, boost120Hz = 0; // where the largest boosts are
};

double Db(double v) {
    return 20 * std::log10(v);
}

Figures Evaluate(const MicCase& c, const DesignResult& r, const DesignResult& r120) {
    Figures fig{};
    constexpr int P = 400;
    std::vector<double> path(P), corr(P);
    double meanPath = 0, meanCorr = 0;
    for (int i = 0; i < P; ++i) {
        const double f = 30.0 * std::pow(18000.0 / 30.0, i / (P - 1.0));
        corr[i] = Db(CascadeGain(r, f));
        path[i] = Db(std::abs(c.response(f))) + corr[i];
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
    double power = 0;
    int count = 0;
    for (double f = 20; f <= 20000; f += 5, ++count) {
        const double g = CascadeGain(r, f);
        power += g * g;
    }
    fig.noise = 10 * std::log10(power / count) - meanCorr;
    constexpr int B = 2000;
    for (int i = 0; i < B; ++i) {
        const double f = 20.0 * std::pow(1000.0, i / (B - 1.0));
        const double b = Db(CascadeGain(r, f)), b120 = Db(CascadeGain(r120, f));
        if (b > fig.boost) {
            fig.boost = b;
            fig.boostHz = f;
        }
        if (b120 > fig.boost120) {
            fig.boost120 = b120;
            fig.boost120Hz = f;
        }
    }
    return fig;
}

DesignResult Design(const std::array<double, kBandCount>& t, const std::array<double, kBandCount>& r,
                    const std::array<double, kBandCount>& curve, double resolution) {
    return DesignWithFlatCalibration(t.data(), r.data(), curve.data(), kRate, resolution);
}

std::string Trusted(const TrustFigures& f) {
    char text[48];
    if (f.trusted == 0) return "  0      -        ";
    std::snprintf(text, sizeof text, "%3d %5.2f @%-7.0f", f.trusted, f.worstDb,
                  TheBandGrid().bandFrequencies[f.worstBand]);
    return text;
}

} // namespace

// Optional arguments: the coherence of full and of no correction, to try others.
int main(int argc, char** argv) {
    ProtectionRule rule;
    if (argc >= 3) {
        rule.fullCoherence = std::atof(argv[1]);
        rule.noCoherence = std::atof(argv[2]);
    }
    std::printf("protection: full correction at coherence %.2f, none at %.2f, boost limit %.0f dB\n",
                rule.fullCoherence, rule.noCoherence, rule.maxBoostDb);
    const BandBins bins = ComputeBandBins(kRate, N);
    std::printf("%-19s %-12s | %-18s %-18s | %6s %-3s | exact %5s %4s | prot %5s %4s %5s %5s %5s\n", "case",
                "material", "trusted 33 worst", "trusted 120 worst", "delay", "pol", "max", "rms", "max", "rms",
                "boost", "b120", "noise");
    double worst = 0, worstBoost = -1e9;
    std::string worstAt, worstBoostAt;
    unsigned seed = 1;
    for (const Material& m : Materials()) {
        const Spectrum sound = MakeSound(m.sound, seed++);
        for (const MicCase& c : MicCases()) {
            Take take = Record(sound, c, m, 1000 + seed++);
            MeasurementQuality q;
            std::array<double, kBandCount> rb, tb, measured;
            AssessRecordings(take.reference.data(), take.target.data(), kFftOrder, bins, kRate, q, rb.data(),
                             tb.data());
            for (int i = 0; i < kBandCount; ++i)
                measured[i] = Db(tb[i] / rb[i]);
            const auto truth = TrueBandResponseDb(sound, c, bins);
            const TrustFigures t33 =
                CompareTrusted(measured.data(), truth.data(), q.coherence.data(), rule.fullCoherence, false);
            const TrustFigures t120 =
                CompareTrusted(measured.data(), truth.data(), q.coherence.data(), rule.fullCoherence, true);

            std::array<double, kBandCount> flat, curve;
            flat.fill(1.0);
            curve.fill(1.0);
            ProtectedCurve(rule, tb.data(), rb.data(), q.coherence.data(), curve.data(), nullptr);
            ExpandCurveTo120(curve.data(), curve.data() + kHighOffset);
            const Figures exact = Evaluate(c, Design(tb, rb, flat, 0.0), Design(tb, rb, flat, 1.0));
            const Figures prot = Evaluate(c, Design(tb, rb, curve, 0.0), Design(tb, rb, curve, 1.0));

            std::printf("%-19s %-12s | %s %s | %6.2f %-3s | %5.1f %4.1f | %5.1f %4.1f %5.1f %5.1f %+5.1f\n", c.name,
                        m.name, Trusted(t33).c_str(), Trusted(t120).c_str(), q.checks.delayMs,
                        q.checks.polarityInverted ? "inv" : "", exact.errMax, exact.errRms, prot.errMax, prot.errRms,
                        prot.boost, prot.boost120, prot.noise);
            std::fflush(stdout);
            for (const TrustFigures* f : {&t33, &t120})
                if (f->worstDb > worst) {
                    worst = f->worstDb;
                    worstAt = std::string(c.name) + ", " + m.name;
                }
            for (const bool high : {false, true}) {
                const double boost = high ? prot.boost120 : prot.boost;
                if (boost <= worstBoost) continue;
                char at[96];
                std::snprintf(at, sizeof at, "%s, %s, %d bands, at %.0f Hz", c.name, m.name,
                              high ? kHighBands : kNormalBands, high ? prot.boost120Hz : prot.boostHz);
                worstBoost = boost;
                worstBoostAt = at;
            }
        }
    }
    std::printf("worst trusted band anywhere: %.2f dB (%s); largest protected boost: %.2f dB (%s), limit %.0f dB\n",
                worst, worstAt.c_str(), worstBoost, worstBoostAt.c_str(), rule.maxBoostDb);
    ReportProfileCombinations();
    return 0;
}
