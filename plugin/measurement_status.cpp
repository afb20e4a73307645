#include "plugin/measurement_status.h"

#include "engine/band_grid.h"

#include <cmath>
#include <cstdio>

std::string FrequencyLabel(double hz) {
    char text[32];
    if (hz < 1000.0)
        std::snprintf(text, sizeof text, "%.0f Hz", hz);
    else if (hz < 10000.0)
        std::snprintf(text, sizeof text, "%.1f kHz", hz / 1000.0);
    else
        std::snprintf(text, sizeof text, "%.0f kHz", hz / 1000.0);
    return text;
}

std::string MeasurementStatusLine(const MeasurementQuality& q, const ProtectionRule& rule) {
    if (!q.known) return {};
    const auto& f = TheBandGrid().bandFrequencies;
    int lo = -1, hi = -1;
    for (int k = 0; k < kNormalBands; ++k)
        if (q.coherence[k] >= rule.fullCoherence) {
            if (lo < 0) lo = k;
            hi = k;
        }
    std::string line =
        lo < 0 ? "no band trusted" : "trusted " + FrequencyLabel(f[lo]) + " - " + FrequencyLabel(f[hi]);
    char part[96];
    const CaptureChecks& c = q.checks;
    if (c.reference.silent) line += "; reference silent";
    if (c.target.silent) line += "; target silent";
    if (c.reference.clippedSamples > 0) {
        std::snprintf(part, sizeof part, "; reference clips (%ld)", c.reference.clippedSamples);
        line += part;
    }
    if (c.target.clippedSamples > 0) {
        std::snprintf(part, sizeof part, "; target clips (%ld)", c.target.clippedSamples);
        line += part;
    }
    if (c.polarityInverted) line += "; polarity inverted";
    if (c.correlated && std::fabs(c.delayMs) >= 0.05) {
        std::snprintf(part, sizeof part, "; delay %.1f ms (%.0f cm)", c.delayMs, c.delayCm);
        line += part;
    }
    return line;
}
