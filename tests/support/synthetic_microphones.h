#pragma once

// Microphone pairs of known response, for the tests and benchmarks of the measurement: a sound,
// recorded at once by a reference microphone (the sound itself plus its own noise) and a target
// microphone (the sound through a known response plus its own noise), 2^19 samples at 48 kHz as
// the plug-in records them. The sounds are made 2^20 samples long and the recording takes the
// middle half, so that, as in a real take, nothing repeats at its ends.

#include "engine/band_grid.h"
#include "engine/fft.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace synthetic {

using Complex = std::complex<double>;
constexpr double kRate = 48000.0;
constexpr double kPi = std::numbers::pi;
constexpr int kLongOrder = kFftOrder + 1;
constexpr int kLong = 1 << kLongOrder;

// Analog prototypes at frequency f (s = j*2*pi*f).
inline Complex HighPass2(double f, double fc, double q) {
    const Complex s(0.0, 2.0 * kPi * f);
    const double w = 2.0 * kPi * fc;
    return s * s / (s * s + s * (w / q) + w * w);
}
inline Complex LowPass2(double f, double fc, double q) {
    const Complex s(0.0, 2.0 * kPi * f);
    const double w = 2.0 * kPi * fc;
    return w * w / (s * s + s * (w / q) + w * w);
}
inline Complex Peak(double f, double fc, double q, double db) {
    const Complex s(0.0, 2.0 * kPi * f);
    const double w = 2.0 * kPi * fc, A = std::pow(10.0, db / 40.0);
    return (s * s + s * (A * w / q) + w * w) / (s * s + s * (w / (A * q)) + w * w);
}

// A target microphone: its response against the reference, and the delay and polarity a
// measurement must report for it.
struct MicCase {
    const char* name;
    std::function<Complex(double)> response;
    double delayMs = 0.0;
    bool inverted = false;
};

inline const std::vector<MicCase>& MicCases() {
    static const std::vector<MicCase> cases = {
        {"condenser +4dB@6k", [](double f) { return Peak(f, 6000, 1.0, 4.0); }},
        {"dynamic",
         [](double f) {
             return HighPass2(f, 100, 0.707) * Peak(f, 4000, 1.0, 6.0) * LowPass2(f, 10000, 0.707);
         }},
        {"high-pass 120Hz", [](double f) { return HighPass2(f, 120, 0.7071); }},
        {"high-pass 180Hz", [](double f) { return HighPass2(f, 180, 0.7071); }},
        {"low-pass 7k 24dB", [](double f) { return LowPass2(f, 7000, 0.5412) * LowPass2(f, 7000, 1.3066); }},
        {"notch -10dB@2k", [](double f) { return Peak(f, 2000, 8.0, -10.0); }},
        {"level -12dB", [](double) { return Complex(std::pow(10.0, -12.0 / 20.0)); }},
        {"delay 3ms", [](double f) { return std::exp(Complex(0.0, -2 * kPi * f * 0.003)); }, 3.0},
        {"inverted", [](double) { return Complex(-1.0); }, 0.0, true},
        {"reflection 0.5@3ms",
         [](double f) { return 1.0 + 0.5 * std::exp(Complex(0.0, -2 * kPi * f * 0.003)); }},
    };
    return cases;
}

enum class Sound {
    Pink,  // pink noise
    Voice, // a voice's long-term spectrum with a syllabic envelope and pauses
    Sweep, // an exponential sine sweep from 20 Hz to 20 kHz across the whole recording
};

// A sound and the microphones' own noise, in dB relative to the sound's level (-20 dBFS).
struct Material {
    const char* name;
    Sound sound;
    double referenceNoiseDb, targetNoiseDb;
};

inline const std::vector<Material>& Materials() {
    static const std::vector<Material> materials = {
        {"pink", Sound::Pink, -45, -60},         {"voice", Sound::Voice, -45, -60},
        {"voice rn-30", Sound::Voice, -30, -60}, {"voice tn-30", Sound::Voice, -45, -30},
        {"voice tn-15", Sound::Voice, -45, -15}, {"sweep", Sound::Sweep, -45, -60},
        {"sweep tn-30", Sound::Sweep, -45, -30}, {"sweep tn-15", Sound::Sweep, -45, -15},
    };
    return materials;
}

// The spectrum of a sound, kLong bins.
struct Spectrum {
    std::vector<double> re, im;
};

// Inverse transform of a spectrum, real part.
inline std::vector<double> Inverse(std::vector<double> re, std::vector<double> im) {
    const int order = static_cast<int>(std::log2(re.size()));
    for (double& v : im)
        v = -v;
    Fft(re.data(), im.data(), order);
    for (double& v : re)
        v /= static_cast<double>(re.size());
    return re;
}

inline Spectrum Transform(std::vector<double> samples) {
    Spectrum s{std::move(samples), std::vector<double>(kLong, 0.0)};
    Fft(s.re.data(), s.im.data(), kLongOrder);
    return s;
}

// The spectrum of white noise (re, im: n bins at `rate`) shaped as pink noise (1/sqrt(f)) or as a
// voice's long-term spectrum (a high-pass at 100 Hz, flat to 800 Hz, then -12 dB per octave and a
// low-pass at 5 kHz); the upper half mirrors the lower, so the sound stays real.
inline void ShapeNoiseSpectrum(bool voice, std::vector<double>& re, std::vector<double>& im, double rate) {
    const int n = static_cast<int>(re.size());
    for (int k = 0; k <= n / 2; ++k) {
        const double f = std::max(k * rate / n, 1.0);
        double a = voice ? std::abs(HighPass2(f, 100, 0.707) * LowPass2(f, 5000, 0.707)) *
                               (f > 800 ? std::pow(800 / f, 2.0) : 1.0)
                         : 1.0 / std::sqrt(f / 1000.0);
        if (k == 0) a = 0;
        re[k] *= a;
        im[k] *= a;
        if (k > 0 && k < n / 2) {
            re[n - k] = re[k];
            im[n - k] = -im[k];
        }
    }
}

// Voice-shaped noise into speech's rhythm: syllables about 3.7 a second, and a pause of half a
// second every 2.6 s.
inline void SpeakInSyllables(std::vector<double>& y, double rate) {
    for (std::size_t t = 0; t < y.size(); ++t) {
        const double sec = static_cast<double>(t) / rate;
        const double syllable =
            std::pow(std::max(0.0, std::sin(2 * kPi * 3.7 * sec + 2 * std::sin(2 * kPi * 0.9 * sec))), 2);
        const double pause = std::fmod(sec, 2.6) < 0.5 ? 0.0 : 1.0;
        y[t] *= syllable * pause;
    }
}

// Pink: white noise shaped by 1/sqrt(f). Voice: white noise through a high-pass at 100 Hz, flat to
// 800 Hz, then -12 dB per octave and a low-pass at 5 kHz (a voice's top octaves lie 50 to 60 dB
// below its body), then a syllabic envelope with pauses. Sweep: silence, the sweep over exactly the
// recorded middle (5 ms fades), silence.
inline Spectrum MakeSound(Sound sound, unsigned seed) {
    if (sound == Sound::Sweep) {
        std::vector<double> x(kLong, 0.0);
        const int n = kFftLength;
        const double T = n / kRate, f1 = 20.0, f2 = 20000.0, tau = T / std::log(f2 / f1);
        const double fade = 0.005 * kRate;
        for (int t = 0; t < n; ++t) {
            const double s = t / kRate;
            const double edge = std::min({1.0, t / fade, (n - 1 - t) / fade});
            const double gain = 0.5 - 0.5 * std::cos(kPi * std::max(0.0, edge));
            x[n / 2 + t] = gain * std::sin(2 * kPi * f1 * tau * (std::exp(s / tau) - 1.0));
        }
        return Transform(std::move(x));
    }
    std::mt19937 rng(seed);
    std::normal_distribution<double> g;
    std::vector<double> noise(kLong);
    for (double& v : noise)
        v = g(rng);
    Spectrum s = Transform(std::move(noise));
    const bool voice = sound == Sound::Voice;
    ShapeNoiseSpectrum(voice, s.re, s.im, kRate);
    if (!voice) return s;
    std::vector<double> y = Inverse(s.re, s.im);
    SpeakInSyllables(y, kRate);
    return Transform(std::move(y));
}

// What both microphones recorded: kFftLength samples each, followed by as many zeros (the room the
// whole-record transform works in).
struct Take {
    std::vector<double> reference, target;
};

inline double Rms(const double* x, int n) {
    double s = 0.0;
    for (int i = 0; i < n; ++i)
        s += x[i] * x[i];
    return std::sqrt(s / n);
}

inline Take Record(const Spectrum& sound, const MicCase& mic, const Material& m, unsigned noiseSeed) {
    std::vector<double> tre(kLong), tim(kLong);
    for (int k = 0; k <= kLong / 2; ++k) {
        const Complex h = mic.response(k * kRate / kLong) * Complex(sound.re[k], sound.im[k]);
        tre[k] = h.real();
        tim[k] = k == 0 || k == kLong / 2 ? 0.0 : h.imag();
        if (k > 0 && k < kLong / 2) {
            tre[kLong - k] = h.real();
            tim[kLong - k] = -h.imag();
        }
    }
    const std::vector<double> ref = Inverse(sound.re, sound.im), tgt = Inverse(tre, tim);
    const int n = kFftLength, from = n / 2;
    const double level = 0.1 / Rms(ref.data() + from, n);
    std::mt19937 rng(noiseSeed);
    std::normal_distribution<double> g;
    const double refNoise = 0.1 * std::pow(10.0, m.referenceNoiseDb / 20),
                 tgtNoise = 0.1 * std::pow(10.0, m.targetNoiseDb / 20);
    Take take{std::vector<double>(2 * n, 0.0), std::vector<double>(2 * n, 0.0)};
    for (int t = 0; t < n; ++t) {
        take.reference[t] = ref[from + t] * level + refNoise * g(rng);
        take.target[t] = tgt[from + t] * level + tgtNoise * g(rng);
    }
    return take;
}

// The target's true response in each band, in dB: the power of |H|^2 times the sound's spectrum
// over the band's frequencies, against the sound's own. bins: the band bins of kFftLength samples.
inline std::array<double, kBandCount> TrueBandResponseDb(const Spectrum& sound, const MicCase& mic,
                                                         const BandBins& bins) {
    std::array<double, kBandCount> out{};
    // Bin j of the recording, j - 1/2 .. j + 1/2, is bins 2j - 1/2 .. 2j + 3/2 of the long sound.
    auto band = [&](int lo, int hi) {
        double num = 0.0, den = 0.0;
        for (int k = std::max(1, 2 * lo - 1); k < std::max(2 * hi - 1, 2 * lo); ++k) {
            const double p = sound.re[k] * sound.re[k] + sound.im[k] * sound.im[k];
            num += std::norm(mic.response(k * kRate / kLong)) * p;
            den += p;
        }
        return den > 0.0 ? 10.0 * std::log10(num / den) : 0.0;
    };
    const int* edges = bins.data() + kNormalEdgeBinsOffset;
    out[0] = band(bins[kCentreBinsOffset], edges[0]);
    for (int i = 1; i < kNormalBands; ++i)
        out[i] = band(edges[i - 1], edges[i]);
    const int* high = bins.data() + kHighEdgeBinsOffset;
    for (int m = 0; m < kHighBands; ++m)
        out[kHighOffset + m] = band(high[m], high[m + 1]);
    return out;
}

// How far the bands a measurement trusts lie from the truth, at one resolution.
struct TrustFigures {
    int trusted = 0;       // bands at or above the coherence of full trust
    double worstDb = 0.0;  // largest |measured - true| among them, overall level removed
    int worstBand = -1;    // its index in the 153-entry arrays
    double lowestHz = 0.0; // the trusted range's ends
    double highestHz = 0.0;
};

// measured: 20*log10(target/reference) per band; the overall level is the median difference over
// the trusted bands.
inline TrustFigures CompareTrusted(const double* measuredDb, const double* trueDb, const double* coherence,
                                   double fullCoherence, bool high) {
    TrustFigures f;
    const int from = high ? kHighOffset : 0, to = high ? kBandCount : kNormalBands;
    std::vector<double> diff;
    for (int i = from; i < to; ++i)
        if (coherence[i] >= fullCoherence && std::isfinite(measuredDb[i]))
            diff.push_back(measuredDb[i] - trueDb[i]);
    f.trusted = static_cast<int>(diff.size());
    if (diff.empty()) return f;
    std::vector<double> sorted = diff;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double offset = sorted[sorted.size() / 2];
    const auto& freq = TheBandGrid().bandFrequencies;
    for (int i = from; i < to; ++i) {
        if (!(coherence[i] >= fullCoherence && std::isfinite(measuredDb[i]))) continue;
        const double e = std::fabs(measuredDb[i] - trueDb[i] - offset);
        if (e > f.worstDb || f.worstBand < 0) {
            f.worstDb = e;
            f.worstBand = i;
        }
        if (f.lowestHz == 0.0) f.lowestHz = freq[i];
        f.highestHz = freq[i];
    }
    return f;
}

} // namespace synthetic
