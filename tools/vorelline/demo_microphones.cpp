#include "tools/vorelline/demo_microphones.h"

#include "engine/band_grid.h"
#include "engine/recording_analysis.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace {

constexpr double kSensitivityDb = -4.0;
constexpr double kRollOffHz = 90.0;
constexpr double kRollOffQ = 0.6;
constexpr double kPresenceHz = 5000.0;
constexpr double kPresenceDb = 5.0;
constexpr double kPresenceQ = 1.2;

struct Biquad {
    double b0, b1, b2, a1, a2; // a0 = 1
    double s1 = 0.0, s2 = 0.0;

    double Run(double x) {
        const double y = b0 * x + s1;
        s1 = b1 * x - a1 * y + s2;
        s2 = b2 * x - a2 * y;
        return y;
    }
    double Magnitude(double f, double rate) const {
        const std::complex<double> z1 = std::polar(1.0, -2.0 * std::numbers::pi * f / rate);
        const std::complex<double> z2 = z1 * z1;
        return std::abs((b0 + b1 * z1 + b2 * z2) / (1.0 + a1 * z1 + a2 * z2));
    }
};

// Second-order high-pass and peaking filters from the bilinear transform of their analogue prototypes.
Biquad HighPass(double f0, double q, double rate) {
    const double w = 2.0 * std::numbers::pi * f0 / rate, alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    const double a0 = 1.0 + alpha;
    return {(1.0 + c) / 2.0 / a0, -(1.0 + c) / a0, (1.0 + c) / 2.0 / a0, -2.0 * c / a0, (1.0 - alpha) / a0};
}

Biquad Peak(double f0, double gainDb, double q, double rate) {
    const double A = std::pow(10.0, gainDb / 40.0);
    const double w = 2.0 * std::numbers::pi * f0 / rate, alpha = std::sin(w) / (2.0 * q), c = std::cos(w);
    const double a0 = 1.0 + alpha / A;
    return {(1.0 + alpha * A) / a0, -2.0 * c / a0, (1.0 - alpha * A) / a0, -2.0 * c / a0,
            (1.0 - alpha / A) / a0};
}

} // namespace

const char* DemoTargetDescription() {
    return "target microphone: -4 dB sensitivity, 12 dB/octave roll-off below 90 Hz, +5 dB presence peak at "
           "5 kHz";
}

double DemoTargetResponse(double frequency, double sampleRate) {
    return std::pow(10.0, kSensitivityDb / 20.0) *
           HighPass(kRollOffHz, kRollOffQ, sampleRate).Magnitude(frequency, sampleRate) *
           Peak(kPresenceHz, kPresenceDb, kPresenceQ, sampleRate).Magnitude(frequency, sampleRate);
}

DemoMicrophones MakeDemoRecordings(double sampleRate, long long samples) {
    DemoMicrophones mics;
    mics.sampleRate = sampleRate;
    const auto n = static_cast<std::size_t>(samples);
    mics.reference.resize(n);
    mics.target.resize(n);
    Biquad rollOff = HighPass(kRollOffHz, kRollOffQ, sampleRate);
    Biquad presence = Peak(kPresenceHz, kPresenceDb, kPresenceQ, sampleRate);
    const double sensitivity = std::pow(10.0, kSensitivityDb / 20.0);
    // White noise from a fixed seed and a plain transform of uniform numbers, so every platform's
    // library produces the same recordings.
    std::mt19937_64 random(20190405);
    auto uniform = [&] { return (static_cast<double>(random() >> 11) + 0.5) / 9007199254740992.0; };
    for (std::size_t i = 0; i < n; ++i) {
        const double u1 = uniform(), u2 = uniform();
        const double x = 0.1 * std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
        mics.reference[i] = x;
        mics.target[i] = sensitivity * presence.Run(rollOff.Run(x));
    }
    return mics;
}

std::vector<double> DemoTargetBandResponse(double sampleRate) {
    const BandBins bins = ComputeBandBins(sampleRate, kFftLength);
    const double recordedRate = RecordedRate(sampleRate);
    const int top = *std::max_element(bins.begin(), bins.end());
    std::vector<double> power(static_cast<std::size_t>(top) + 1), ones(power.size(), 1.0);
    for (std::size_t j = 0; j < power.size(); ++j) {
        const double m = DemoTargetResponse(static_cast<double>(j) * recordedRate / kFftLength, recordedRate);
        power[j] = m * m;
    }
    std::vector<double> summed(kBandCount), counts(kBandCount), response(kBandCount);
    BandLevelsFromPower(power.data(), bins, summed.data());
    BandLevelsFromPower(ones.data(), bins, counts.data());
    for (int k = 0; k < kBandCount; ++k)
        response[k] = counts[k] > 0.0 ? summed[k] / counts[k] : 0.0;
    return response;
}
