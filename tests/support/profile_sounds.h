#pragma once

// Sounds for the microphone-profile trials: analogue prototypes applied in the
// frequency domain to long materials (pink noise, or voice-like: a voice's long-term spectrum with a
// syllabic envelope and pauses), so that every recording of one sound differs only by the microphone's
// response and its own noise. The engine's transform does the work; callers link tv_engine.

#include "engine/fft.h"
#include "support/synthetic_microphones.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <functional>
#include <numbers>
#include <random>
#include <vector>

namespace profile_sounds {

using cd = std::complex<double>;
using Response = std::function<cd(double)>;
using synthetic::kPi;

// The analogue prototypes of the measurement's synthetic microphones.
using synthetic::HighPass2;
using synthetic::LowPass2;
using synthetic::Peak;

// A sound as a spectrum of 2^order points (the bins up to n/2 and their mirror images).
struct Sound {
    int order = 0;
    double rate = 48000.0;
    std::vector<double> re, im;
};

using synthetic::Inverse;

// White noise of 2^order samples shaped in frequency. Pink: 1/sqrt(f). Voice: a high-pass at 100 Hz,
// flat to 800 Hz, then -12 dB per octave and a low-pass at 5 kHz, so that a voice's top octaves lie
// 50 to 60 dB below its body; then a syllabic envelope with pauses.
inline Sound MakeMaterial(bool voice, unsigned seed, int order, double rate) {
    Sound m;
    m.order = order;
    m.rate = rate;
    const int n = 1 << order;
    std::mt19937 rng(seed);
    std::normal_distribution<double> g;
    m.re.resize(n);
    for (double& v : m.re)
        v = g(rng);
    m.im.assign(n, 0.0);
    Fft(m.re.data(), m.im.data(), order);
    synthetic::ShapeNoiseSpectrum(voice, m.re, m.im, rate);
    if (voice) {
        std::vector<double> y = Inverse(m.re, m.im);
        synthetic::SpeakInSyllables(y, rate);
        m.re = y;
        m.im.assign(n, 0.0);
        Fft(m.re.data(), m.im.data(), order);
    }
    return m;
}

// What a microphone of response H records of the sound: `length` samples from the middle of it (so
// that, as in a real recording, the sound does not repeat at the ends), scaled by `gain`, plus the
// microphone's own white noise of deviation `noise`.
inline std::vector<double> Record(const Sound& m, const Response& H, std::size_t length, double gain,
                                  double noise, unsigned noiseSeed) {
    const int n = 1 << m.order;
    std::vector<double> re(n), im(n);
    for (int k = 0; k <= n / 2; ++k) {
        const cd h = H(k * m.rate / n) * cd(m.re[k], m.im[k]);
        re[k] = h.real();
        im[k] = h.imag();
        if (k > 0 && k < n / 2) {
            re[n - k] = h.real();
            im[n - k] = -h.imag();
        }
    }
    std::vector<double> y = Inverse(re, im);
    const std::size_t start = (static_cast<std::size_t>(n) - std::min<std::size_t>(length, n)) / 2;
    std::vector<double> out(y.begin() + start, y.begin() + start + std::min<std::size_t>(length, n));
    std::mt19937 rng(noiseSeed);
    std::normal_distribution<double> g(0.0, noise);
    for (double& v : out)
        v = v * gain + g(rng);
    return out;
}

// The rms of the sound itself (before any microphone), from its spectrum.
inline double SoundRms(const Sound& m) {
    double power = 0;
    for (std::size_t k = 0; k < m.re.size(); ++k)
        power += m.re[k] * m.re[k] + m.im[k] * m.im[k];
    return std::sqrt(power) / static_cast<double>(m.re.size());
}

inline double Rms(const std::vector<double>& x) {
    double s = 0;
    for (double v : x)
        s += v * v;
    return x.empty() ? 0.0 : std::sqrt(s / static_cast<double>(x.size()));
}

} // namespace profile_sounds
