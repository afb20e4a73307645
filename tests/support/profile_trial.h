#pragma once

// Microphone profiles put to the test with synthetic microphones of known response, measured the way
// the tool measures (the plug-in with its editor headless, a click on Start, 2^19 samples at 48 kHz):
//   take 1: the measurement microphone and A, one sound  -> profile A (calibration applied)
//   take 2: the measurement microphone and B, another    -> profile B (calibration applied)
//   take 3: B as reference and A as target, a third      -> the direct measurement
// The profiles are combined, and the combination is compared with the direct measurement band by
// band at both resolutions, then played on A's recording of take 3 and compared with B's recording.
// Callers link tv_vorelline_core and keep the plug-in's documents folder somewhere harmless
// (XDG_DOCUMENTS_DIR), since the plug-in makes it on construction.

#include "engine/band_grid.h"
#include "plugin/alg_engine.h"
#include "plugin/mic_corrector.h"
#include "support/profile_sounds.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/plugin_session.h"
#include "tools/vorelline/profile_combination.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

namespace profile_trial {

struct Setup {
    profile_sounds::Response micA, micB;
    // The measurement microphone's own response; its calibration (the response at the band centres)
    // is applied in the profile takes, and the combination must not depend on it.
    profile_sounds::Response measurementMic = [](double f) {
        return profile_sounds::HighPass2(f, 25, 0.7) * profile_sounds::Peak(f, 9000, 0.8, 2.5);
    };
    bool voice = true;
    // Each microphone's own noise relative to the sound's level.
    double measurementNoiseDb = -60.0;
    double micNoiseDb = -60.0;
    // The takes are played at different levels, as they would be.
    double take2GainDb = -7.0;
    unsigned seed = 1;
};

constexpr double kRate = 48000.0;
constexpr double kLowestHz = 100.0;
constexpr double kHighestHz = 8000.0;

struct Figures {
    bool measured = false; // every take was measured
    std::string failure;
    // Index 0 normal, 1 high resolution.
    std::array<int, 2> bandsInRange{};           // band centres within 100 Hz .. 8 kHz
    std::array<int, 2> trustedBands{};           // of them: usable levels and full coherence in every take
    std::array<double, 2> largestDifferenceDb{}; // |combined - direct| measured difference over those
    std::array<double, 2> largestDifferenceHz{}; // the centre of the band where it is
    std::array<double, 2> largestApplyErrorDb{}; // played A against B's recording, 1/6 octave bands
    // The same for the direct measurement's file with the same wanted response (flat, boost limit):
    // what the resolution allows at all.
    std::array<double, 2> directApplyErrorDb{};
    std::vector<int> unknownBands; // the combination's
};

struct Take {
    AlgRecord record;
    std::array<double, kBandCount> coherence{};
};

inline bool Measure(const std::vector<double>& reference, const std::vector<double>& target,
                    const profile_sounds::Response* calibration, Take& take, std::string& error) {
    PluginSession session;
    CorrectionEngine& engine = session.Plugin().Engine();
    const auto& freq = TheBandGrid().bandFrequencies;
    std::array<double, kBandCount> gain;
    for (int k = 0; k < kBandCount; ++k)
        gain[k] = calibration ? std::abs((*calibration)(freq[k])) : 1.0;
    engine.SetCalibration(gain);
    MeasurementInput input;
    input.sampleRate = kRate;
    input.reference = &reference;
    input.target = &target;
    if (!RunMeasurement(session, input, error)) return false;
    const EngineSnapshot measured = engine.Snapshot();
    if (!measured.quality.known) {
        error = "the measurement was refused";
        return false;
    }
    take.record = AlgRecordFromEngine(measured);
    take.coherence = measured.quality.coherence;
    return true;
}

// Band powers of 1/6 octave around 100*2^(i/6) Hz up to 8 kHz, from one Hann-windowed transform.
inline std::vector<double> SixthOctavePowers(const std::vector<double>& x) {
    const int order = static_cast<int>(std::floor(std::log2(static_cast<double>(x.size()))));
    const std::size_t n = std::size_t{1} << order, start = (x.size() - n) / 2;
    std::vector<double> re(n), im(n, 0.0);
    for (std::size_t t = 0; t < n; ++t)
        re[t] = x[start + t] * (0.5 - 0.5 * std::cos(2 * profile_sounds::kPi * static_cast<double>(t) / n));
    Fft(re.data(), im.data(), order);
    std::vector<double> powers;
    for (double centre = kLowestHz; centre <= kHighestHz * 1.0001; centre *= std::pow(2.0, 1.0 / 6.0)) {
        const auto lo = static_cast<std::size_t>(centre * std::pow(2.0, -1.0 / 12.0) * n / kRate);
        const auto hi = static_cast<std::size_t>(centre * std::pow(2.0, 1.0 / 12.0) * n / kRate);
        double p = 0.0;
        for (std::size_t k = lo; k < hi; ++k)
            p += re[k] * re[k] + im[k] * im[k];
        powers.push_back(p);
    }
    return powers;
}

// What `apply` does with a file (loaded, its corrected target played) to A's recording, against B's
// recording of the same sound: the largest level difference in 1/6-octave bands.
inline double LargestApplyError(AlgRecord file, bool high, const std::vector<double>& recordingA,
                                const std::vector<double>& recordingB) {
    file.flags = (file.flags & ~kAlgFlagHighResolution) | (high ? kAlgFlagHighResolution : 0);
    PluginSession session;
    session.PrepareProcessing(kRate);
    session.Plugin().ApplyCorrectionRecord(file);
    const std::vector<double> played = ProcessThrough(session, recordingA);
    const std::vector<double> got = SixthOctavePowers(played), want = SixthOctavePowers(recordingB);
    double largest = 0.0;
    for (std::size_t i = 0; i < got.size(); ++i)
        largest = std::max(largest, std::fabs(10.0 * std::log10(got[i] / want[i])));
    return largest;
}

inline Figures Run(const Setup& s) {
    using namespace profile_sounds;
    Figures fig;
    const std::size_t length = static_cast<std::size_t>(SamplesNeededForRecording(kRate)) + 4096;
    const int order = kFftOrder + 1; // the sound is twice as long as a recording
    const double measurementNoise = 0.1 * std::pow(10.0, s.measurementNoiseDb / 20.0);
    const double micNoise = 0.1 * std::pow(10.0, s.micNoiseDb / 20.0);

    auto takeOf = [&](unsigned seed, double gainDb) {
        const Sound sound = MakeMaterial(s.voice, seed, order, kRate);
        const double gain = 0.1 / SoundRms(sound) * std::pow(10.0, gainDb / 20.0);
        return std::pair<Sound, double>(sound, gain);
    };
    Take a, b, direct;
    std::vector<double> directA, directB;
    {
        const auto [sound, gain] = takeOf(s.seed * 10 + 1, 0.0);
        const auto m = Record(sound, s.measurementMic, length, gain, measurementNoise, s.seed * 10 + 2);
        const auto mic = Record(sound, s.micA, length, gain, micNoise, s.seed * 10 + 3);
        if (!Measure(m, mic, &s.measurementMic, a, fig.failure)) return fig;
    }
    {
        const auto [sound, gain] = takeOf(s.seed * 10 + 4, s.take2GainDb);
        const auto m = Record(sound, s.measurementMic, length, gain, measurementNoise, s.seed * 10 + 5);
        const auto mic = Record(sound, s.micB, length, gain, micNoise, s.seed * 10 + 6);
        if (!Measure(m, mic, &s.measurementMic, b, fig.failure)) return fig;
    }
    {
        const auto [sound, gain] = takeOf(s.seed * 10 + 7, 0.0);
        directB = Record(sound, s.micB, length, gain, micNoise, s.seed * 10 + 8);
        directA = Record(sound, s.micA, length, gain, micNoise, s.seed * 10 + 9);
        if (!Measure(directB, directA, nullptr, direct, fig.failure)) return fig;
    }
    fig.measured = true;

    const ProfileCombination combined = CombineProfiles(a.record, b.record, ProtectionRule{});
    fig.unknownBands = combined.unknownBands;
    const MeasuredDifference fromProfiles = MeasuredDifferenceOf(combined.record);
    const MeasuredDifference measured = MeasuredDifferenceOf(direct.record);
    const double trust = ProtectionRule{}.fullCoherence;
    const auto& freq = TheBandGrid().bandFrequencies;
    for (int res = 0; res < 2; ++res) {
        const int first = res == 0 ? 0 : kHighOffset, count = res == 0 ? kNormalBands : kHighBands;
        for (int k = first; k < first + count; ++k) {
            if (freq[k] < kLowestHz || freq[k] > kHighestHz) continue;
            ++fig.bandsInRange[res];
            const bool trusted = fromProfiles.known[k] && measured.known[k] && a.coherence[k] >= trust &&
                                 b.coherence[k] >= trust && direct.coherence[k] >= trust;
            if (!trusted) continue;
            ++fig.trustedBands[res];
            const double d = std::fabs(20.0 * std::log10(fromProfiles.ratio[k] / measured.ratio[k]));
            if (d > fig.largestDifferenceDb[res]) {
                fig.largestDifferenceDb[res] = d;
                fig.largestDifferenceHz[res] = freq[k];
            }
        }

        AlgRecord yardstick = direct.record;
        std::array<double, kBandCount> trusted;
        trusted.fill(1.0);
        ProtectedCurve(ProtectionRule{}, yardstick.targetBands.data(), yardstick.referenceBands.data(),
                       trusted.data(), yardstick.userCurve.data(), nullptr);
        fig.largestApplyErrorDb[res] = LargestApplyError(combined.record, res == 1, directA, directB);
        fig.directApplyErrorDb[res] = LargestApplyError(yardstick, res == 1, directA, directB);
    }
    return fig;
}

} // namespace profile_trial
