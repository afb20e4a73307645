#include "tools/vorelline/design_report.h"

#include "engine/band_grid.h"
#include "tools/vorelline/json_writer.h"

#include <cmath>
#include <cstdio>
#include <vector>

double ToDb(double ratio) {
    return ratio > 1e-50 && std::isfinite(ratio) ? 20.0 * std::log10(ratio) : -999.0;
}

namespace {
const char* OutputName(double o) {
    return o == 0.0 ? "reference" : o == 0.5 ? "target" : "corrected target";
}
} // namespace

std::string DesignJson(const EngineSnapshot& e, double hostSampleRate,
                       void (*more)(JsonWriter&, const EngineSnapshot&)) {
    const int n = SectionCount(e.resolution);
    std::vector<std::vector<double>> sections;
    for (int k = 0; k < n; ++k)
        sections.push_back({e.correctionCascade[k].b, e.correctionCascade[k].a1, e.correctionCascade[k].a2});
    JsonWriter json;
    json.Number("sampleRate", hostSampleRate)
        .Number("workingSampleRate", e.workingSampleRate)
        .Number("resolution", e.resolution)
        .Number("outputSelection", e.outputSelection)
        .Number("inputSelection", e.inputSelection)
        .Number("gainPosition", e.gainPosition)
        .Numbers("targetBands", e.targetBands.data(), kBandCount)
        .Numbers("referenceBands", e.referenceBands.data(), kBandCount)
        .Numbers("userCurve", e.userCurve.data(), kBandCount)
        .Numbers("calibrationGain", e.calibrationGain.data(), kBandCount)
        .Number("levelMatchGain", e.levelMatchGain)
        .Integer("iterations", e.designPasses)
        .Numbers("sectionGain", e.sectionGain.data(), static_cast<std::size_t>(n))
        .Rows("sections", sections)
        .Numbers("curveMeasured", e.curveMeasured.data(), static_cast<std::size_t>(n))
        .Numbers("curveResult", e.curveResult.data(), static_cast<std::size_t>(n))
        .Numbers("curveDesired", e.curveDesired.data(), static_cast<std::size_t>(n));
    if (more) more(json, e);
    return json.Finish();
}

std::string DesignTable(const EngineSnapshot& e, double hostSampleRate) {
    const int n = SectionCount(e.resolution);
    const int offset = BandOffset(e.resolution);
    const auto& freq = TheBandGrid().bandFrequencies;
    std::string out;
    char line[400];
    std::snprintf(line, sizeof line,
                  "host rate %.0f Hz, working rate %.0f Hz, %s resolution (%d sections)\n"
                  "output: %s, inputs %s, gain position %.4f\n"
                  "level-match gain %.4f (%+.2f dB), design passes %d%s\n\n",
                  hostSampleRate, e.workingSampleRate, e.resolution == 0.0 ? "normal" : "high", n,
                  OutputName(e.outputSelection), e.inputSelection == 0.0 ? "as wired" : "swapped",
                  e.gainPosition, e.levelMatchGain, ToDb(e.levelMatchGain), e.designPasses,
                  e.designConverged ? "" : " (did not converge)");
    out += line;
    out += "  band    centre Hz   measured dB  correction dB   result dB   wanted dB   section peak dB\n";
    for (int k = 0; k < n; ++k) {
        const double measured = e.curveMeasured[k];
        const double result = e.curveResult[k];
        const double correction = measured > 0.0 ? result / measured : 0.0;
        std::snprintf(line, sizeof line, "  %4d  %11.2f  %12.2f  %13.2f  %10.2f  %10.2f  %16.2f\n", k,
                      freq[offset + k], ToDb(measured), ToDb(correction), ToDb(result),
                      ToDb(e.curveDesired[k]), ToDb(1.0 + e.sectionGain[k]));
        out += line;
    }
    return out;
}
