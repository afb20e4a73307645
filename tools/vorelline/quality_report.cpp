#include "tools/vorelline/quality_report.h"

#include "plugin/measurement_status.h"

#include <array>
#include <cstdio>

namespace {

std::array<BandProtection, kNormalBands> Detail(const EngineSnapshot& e) {
    std::array<BandProtection, kNormalBands> d;
    std::array<double, kNormalBands> curve;
    ProtectedCurve(e.protection, e.targetBands.data(), e.referenceBands.data(), e.quality.coherence.data(),
                   curve.data(), d.data());
    return d;
}

} // namespace

void AddQualityJson(JsonWriter& json, const EngineSnapshot& e) {
    const MeasurementQuality& q = e.quality;
    const CaptureChecks& c = q.checks;
    json.Boolean("qualityKnown", q.known);
    if (q.known) {
        json.Numbers("coherence", q.coherence.data(), kBandCount)
            .Integer("referenceClippedSamples", c.reference.clippedSamples)
            .Integer("targetClippedSamples", c.target.clippedSamples)
            .Number("referenceLevelDbfs", c.reference.rmsDbfs)
            .Number("targetLevelDbfs", c.target.rmsDbfs)
            .Boolean("referenceSilent", c.reference.silent)
            .Boolean("targetSilent", c.target.silent)
            .Boolean("correlated", c.correlated)
            .Boolean("polarityInverted", c.polarityInverted)
            .Number("delaySamples", c.delaySamples)
            .Number("delayMs", c.delayMs)
            .Number("delayCm", c.delayCm)
            .Text("status", MeasurementStatusLine(q, e.protection));
    }
    json.Boolean("protected", e.protection.enabled && q.known)
        .Number("fullCoherence", e.protection.fullCoherence)
        .Number("noCoherence", e.protection.noCoherence)
        .Number("maxBoostDb", e.protection.maxBoostDb);
    if (!q.known || !e.protection.enabled) return;
    const auto d = Detail(e);
    std::vector<double> share, correction, limited;
    for (const BandProtection& b : d) {
        share.push_back(b.share);
        correction.push_back(b.correctionDb);
        limited.push_back(b.limited ? 1.0 : 0.0);
    }
    json.Numbers("protectionShare", share)
        .Numbers("protectionCorrectionDb", correction)
        .Numbers("protectionLimited", limited);
}

std::string QualityTable(const EngineSnapshot& e) {
    const MeasurementQuality& q = e.quality;
    if (!q.known) return "measurement quality: not known\n";
    std::string out = "measurement: " + MeasurementStatusLine(q, e.protection) + "\n";
    char line[200];
    if (!e.protection.enabled) {
        out += "protection: off (exact correction)\n";
    } else {
        char limit[32] = "none";
        if (e.protection.maxBoostDb > 0)
            std::snprintf(limit, sizeof limit, "+%.1f dB", e.protection.maxBoostDb);
        std::snprintf(line, sizeof line,
                      "protection: whole correction at coherence >= %.2f, none at <= %.2f, boost limit %s\n",
                      e.protection.fullCoherence, e.protection.noCoherence, limit);
        out += line;
    }
    out += "  band    centre Hz   coherence   kept %   correction dB\n";
    const auto d = Detail(e);
    const auto& f = TheBandGrid().bandFrequencies;
    for (int k = 0; k < kNormalBands; ++k) {
        std::snprintf(line, sizeof line, "  %4d  %11.2f  %10.3f  %7.0f  %14.2f%s\n", k, f[k], q.coherence[k],
                      100.0 * d[k].share, d[k].correctionDb, d[k].limited ? "  (limited)" : "");
        out += line;
    }
    return out;
}
