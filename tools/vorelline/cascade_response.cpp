#include "tools/vorelline/cascade_response.h"

#include "engine/band_grid.h"
#include "engine/engine_snapshot.h"

#include <algorithm>
#include <cmath>
#include <numbers>

CascadeSnapshot SnapshotCascade(const EngineSnapshot& engine, double hostRate) {
    CascadeSnapshot c;
    const int count = engine.cascadeSections == kHighBands ? kHighBands : kNormalBands;
    c.sections.assign(engine.correctionCascade.begin(), engine.correctionCascade.begin() + count);
    for (PeakingSection& s : c.sections)
        s.z1 = s.z2 = 0.0;
    c.gain = engine.levelMatchGain;
    c.rate = hostRate;
    return c;
}

std::complex<double> CascadeResponse(const CascadeSnapshot& c, double hz) {
    const double w = 2.0 * std::numbers::pi * hz / c.rate;
    const std::complex<double> z1 = std::polar(1.0, -w), z2 = std::polar(1.0, -2.0 * w);
    std::complex<double> h = c.gain;
    for (const PeakingSection& s : c.sections)
        h *= 1.0 + s.b * (1.0 - z2) / (1.0 + s.a1 * z1 + s.a2 * z2);
    return h;
}

long long SlowestDecaySamples(const CascadeSnapshot& c, double decayDb) {
    double slowest = 1.0;
    for (const PeakingSection& s : c.sections) {
        if (s.b == 0.0) continue; // a flat section adds nothing to the response
        // Largest pole radius of z^2 + a1 z + a2.
        const double disc = s.a1 * s.a1 - 4.0 * s.a2;
        double r;
        if (disc < 0.0) {
            r = std::sqrt(s.a2);
        } else {
            const double root = std::sqrt(disc);
            r = std::max(std::fabs(-s.a1 + root), std::fabs(-s.a1 - root)) / 2.0;
        }
        if (!(r > 0.0)) continue;
        if (r >= 1.0) return -1; // never decays (the design never makes such a section)
        slowest = std::max(slowest, std::ceil(decayDb / 20.0 * std::log(10.0) / std::log(r)));
    }
    return static_cast<long long>(slowest);
}

std::complex<double> TruncatedResponse(const std::vector<double>& h, std::size_t length, double rate,
                                       double hz) {
    const double w = 2.0 * std::numbers::pi * hz / rate;
    // A rotating phasor, renormalised now and then so that long sums do not drift.
    const std::complex<double> step = std::polar(1.0, -w);
    std::complex<double> phasor = 1.0, sum = 0.0;
    length = std::min(length, h.size());
    for (std::size_t n = 0; n < length; ++n) {
        sum += h[n] * phasor;
        phasor *= step;
        if ((n & 1023) == 1023) phasor = std::polar(1.0, -w * static_cast<double>(n + 1));
    }
    return sum;
}
