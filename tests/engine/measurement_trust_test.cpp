#include "engine/measurement_quality.h"
#include "engine/protected_curve.h"
#include "support/synthetic_microphones.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace synthetic;

namespace {

struct Measured {
    MeasurementQuality quality;
    std::array<double, kBandCount> levelDb; // 20*log10(target/reference)
};

Measured Measure(const Take& take, const BandBins& bins) {
    Measured m;
    std::array<double, kBandCount> rb, tb;
    EXPECT_TRUE(AssessRecordings(take.reference.data(), take.target.data(), kFftOrder, bins, kRate, m.quality,
                                 rb.data(), tb.data()));
    for (int i = 0; i < kBandCount; ++i)
        m.levelDb[i] = 20.0 * std::log10(tb[i] / rb[i]);
    return m;
}

bool Named(const MicCase& c, const char* name) {
    return std::strcmp(c.name, name) == 0;
}

} // namespace

// Every sound a user measures with - pink noise, a voice (with a quiet or a noisy measurement
// microphone, with a quiet or noisy target), an exponential sweep across the whole take (with and
// without target noise) - through every kind of target microphone: each band the measurement
// trusts lies within 1 dB of the truth, at both resolutions; the delay and polarity are the
// target's own, whatever its colour; and a voice is trusted from 100 Hz to 5 kHz, low-cut or not.
TEST(MeasurementTrust, TrustedBandsHoldTheirPromiseForEverySound) {
    const BandBins bins = ComputeBandBins(kRate, kFftLength);
    const ProtectionRule rule;
    const auto& freq = TheBandGrid().bandFrequencies;
    unsigned seed = 1;
    for (const Material& material : Materials()) {
        const Spectrum sound = MakeSound(material.sound, seed++);
        for (const MicCase& mic : MicCases()) {
            SCOPED_TRACE(std::string(mic.name) + ", " + material.name);
            const Take take = Record(sound, mic, material, 1000 + seed++);
            const Measured m = Measure(take, bins);
            const auto truth = TrueBandResponseDb(sound, mic, bins);
            for (const bool high : {false, true}) {
                const TrustFigures f = CompareTrusted(m.levelDb.data(), truth.data(), m.quality.coherence.data(),
                                                      rule.fullCoherence, high);
                EXPECT_LE(f.worstDb, 1.0) << (high ? "120 bands, " : "33 bands, ") << f.worstDb << " dB at "
                                          << freq[f.worstBand] << " Hz";
                EXPECT_GT(f.trusted, high ? 40 : 10) << (high ? "120 bands" : "33 bands");
            }
            const CaptureChecks& c = m.quality.checks;
            EXPECT_TRUE(c.correlated);
            EXPECT_EQ(c.polarityInverted, mic.inverted);
            EXPECT_NEAR(c.delayMs, mic.delayMs, 0.25);
            const bool coloured = Named(mic, "high-pass 120Hz") || Named(mic, "high-pass 180Hz") ||
                                  Named(mic, "dynamic") || Named(mic, "low-pass 7k 24dB");
            if (std::strcmp(material.name, "voice") == 0 && coloured)
                for (int k = 0; k < kNormalBands; ++k)
                    if (freq[k] >= 100.0 && freq[k] <= 5000.0) {
                        EXPECT_GE(m.quality.coherence[k], rule.fullCoherence) << freq[k] << " Hz";
                    }
        }
    }
}
