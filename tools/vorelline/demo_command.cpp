#include "engine/band_grid.h"
#include "plugin/measurement_status.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/commands.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/design_report.h"
#include "tools/vorelline/json_writer.h"
#include "tools/vorelline/measurement.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

struct DemoBand {
    double frequency, known, measured, correction, result, achieved;
    double coherence, protectedCorrection, protectedAchieved;
    bool limited;
};

// Plays the target through the session's correction and measures the result against the reference
// again: per band, corrected target / reference in dB.
bool MeasureAgain(PluginSession& session, const MeasurementInput& input, std::vector<double>& db,
                  std::string& error) {
    const std::vector<double> corrected = ProcessThrough(session, *input.target);
    auto check = std::make_unique<PluginSession>();
    MeasurementInput verify = input;
    verify.target = &corrected;
    if (!RunMeasurement(*check, verify, error)) return false;
    const CorrectionEngine& c = check->Plugin().Engine();
    db.clear();
    for (int k = 0; k < kNormalBands; ++k)
        db.push_back(ToDb(c.targetBands[k] / c.referenceBands[k]));
    return true;
}

} // namespace

int RunDemo(const std::vector<std::string>& args) {
    ParsedArguments a;
    std::string error;
    if (!ParseArguments(args, 2, {{"--json", false}, {"--png", true}}, 0, a, error))
        return UsageError("demo", error);
    const bool json = a.Has("--json");
    const std::string picture = a.Value("--png", "vorelline-demo.png");

    const double rate = 48000.0;
    // A little more than one recording, as a host would play it.
    const DemoMicrophones mics = MakeDemoRecordings(rate, SamplesNeededForRecording(rate) + 4800);

    // 1. The measurement, as the plug-in makes it after Start.
    auto session = std::make_unique<PluginSession>();
    MeasurementInput input;
    input.sampleRate = rate;
    input.reference = &mics.reference;
    input.target = &mics.target;
    if (!RunMeasurement(*session, input, error)) {
        std::fprintf(stderr, "vorelline: %s\n", error.c_str());
        return 1;
    }
    CorrectionEngine& e = session->Plugin().Engine();
    // The editor as the measurement leaves it: the protected wanted response, the shading of the
    // bands that cannot be trusted, the markers of what leaves the plot, the status line.
    if (!session->WriteEditorPicture(picture)) {
        std::fprintf(stderr, "vorelline: cannot write %s\n", picture.c_str());
        return 1;
    }

    // 2. The protected correction, as the measurement designed it, and then the exact one (Reset),
    //    each played and measured again against the reference.
    std::array<double, kNormalBands> protectedCorrection{};
    std::array<BandProtection, kNormalBands> protection;
    {
        std::array<double, kNormalBands> curve;
        ProtectedCurve(e.protection, e.targetBands.data(), e.referenceBands.data(),
                       e.quality.coherence.data(), curve.data(), protection.data());
        for (int k = 0; k < kNormalBands; ++k)
            protectedCorrection[k] = ToDb(e.curveResult[k] / e.curveMeasured[k]);
    }
    std::vector<double> protectedAchieved, exactAchieved;
    if (!MeasureAgain(*session, input, protectedAchieved, error)) {
        std::fprintf(stderr, "vorelline: %s\n", error.c_str());
        return 1;
    }
    session->Plugin().Engine().ResetUserCurve();
    if (!MeasureAgain(*session, input, exactAchieved, error)) {
        std::fprintf(stderr, "vorelline: %s\n", error.c_str());
        return 1;
    }

    const auto& freq = TheBandGrid().bandFrequencies;
    const double levelDb = ToDb(e.levelMatchGain);
    const std::vector<double> known = DemoTargetBandResponse(rate);
    std::vector<DemoBand> bands;
    double worstMeasured = 0.0, worstCorrection = 0.0, worstAchieved = 0.0, sumAchieved = 0.0;
    for (int k = 0; k < kNormalBands; ++k) {
        DemoBand b;
        b.frequency = freq[k];
        b.known = ToDb(known[k]);
        b.measured = ToDb(e.targetBands[k] / e.referenceBands[k]);
        b.correction = ToDb(e.curveResult[k] / e.curveMeasured[k]);
        b.result = ToDb(e.curveResult[k]);
        b.achieved = exactAchieved[k];
        b.coherence = e.quality.coherence[k];
        b.protectedCorrection = protectedCorrection[k];
        b.protectedAchieved = protectedAchieved[k];
        b.limited = protection[k].limited;
        worstMeasured = std::max(worstMeasured, std::fabs(b.measured - b.known));
        // The ideal correction is the inverse of the level-matched known response.
        worstCorrection = std::max(worstCorrection, std::fabs(b.correction + b.known + levelDb));
        worstAchieved = std::max(worstAchieved, std::fabs(b.achieved));
        sumAchieved += b.achieved * b.achieved;
        bands.push_back(b);
    }
    const double rmsAchieved = std::sqrt(sumAchieved / kNormalBands);
    double largestExactBoost = -999.0, largestProtectedBoost = -999.0;
    int limitedBands = 0;
    for (const DemoBand& b : bands) {
        largestExactBoost = std::max(largestExactBoost, b.correction);
        largestProtectedBoost = std::max(largestProtectedBoost, b.protectedCorrection);
        limitedBands += b.limited ? 1 : 0;
    }

    if (json) {
        auto column = [&](double DemoBand::*field) {
            std::vector<double> v;
            for (const DemoBand& b : bands)
                v.push_back(b.*field);
            return v;
        };
        JsonWriter w;
        w.Number("sampleRate", rate)
            .Number("levelMatchGain", e.levelMatchGain)
            .Integer("iterations", e.designPasses)
            .Numbers("frequency", column(&DemoBand::frequency))
            .Numbers("knownDb", column(&DemoBand::known))
            .Numbers("measuredDb", column(&DemoBand::measured))
            .Numbers("correctionDb", column(&DemoBand::correction))
            .Numbers("resultDb", column(&DemoBand::result))
            .Numbers("achievedDb", column(&DemoBand::achieved))
            .Number("maxMeasurementErrorDb", worstMeasured)
            .Number("maxCorrectionErrorDb", worstCorrection)
            .Number("maxAchievedErrorDb", worstAchieved)
            .Number("rmsAchievedErrorDb", rmsAchieved)
            .Numbers("coherence", column(&DemoBand::coherence))
            .Numbers("protectedCorrectionDb", column(&DemoBand::protectedCorrection))
            .Numbers("protectedAchievedDb", column(&DemoBand::protectedAchieved))
            .Integer("limitedBands", limitedBands)
            .Number("largestExactBoostDb", largestExactBoost)
            .Number("largestProtectedBoostDb", largestProtectedBoost)
            .Text("status", MeasurementStatusLine(e.quality, e.protection));
        std::cout << w.Finish();
        return 0;
    }

    std::printf("Tessivane Vorelline demo: two microphones record the same noise for %.1f s at %.0f Hz.\n"
                "reference microphone: ideally flat\n%s\n"
                "(known dB: that response averaged over each band as the analysis sees it)\n\n",
                static_cast<double>(kFftLength) / rate, rate, DemoTargetDescription());
    std::printf("level-match gain %+.2f dB, design converged after %d passes%s\n\n", levelDb, e.designPasses,
                e.designConverged ? "" : " (did not converge)");
    std::printf("measurement: %s\n\n", MeasurementStatusLine(e.quality, e.protection).c_str());
    std::printf("  centre Hz    known dB  measured dB  coherence  protected dB  -> vs ref dB  exact dB  -> "
                "vs ref dB\n");
    for (const DemoBand& b : bands)
        std::printf("  %9.1f  %10.2f  %11.2f  %9.3f  %12.2f%s  %12.2f  %8.2f  %12.2f\n", b.frequency, b.known,
                    b.measured, b.coherence, b.protectedCorrection, b.limited ? "*" : " ",
                    b.protectedAchieved, b.correction, b.achieved);
    std::printf(
        "\n(protected dB: the correction a measurement now starts with; * where the boost limit of %+.0f dB\n"
        "lowered it. exact dB: the correction after Reset, the flat wanted response. -> vs ref dB: the\n"
        "target so corrected, measured again against the reference.)\n"
        "protection: largest boost %+.1f dB instead of %+.1f dB, %d band(s) limited\n\n",
        e.protection.maxBoostDb, largestProtectedBoost, largestExactBoost, limitedBands);
    std::printf(
        "\nmeasured difference vs known response: largest deviation %.2f dB\n"
        "correction vs inverse of the known response (level-matched): largest deviation %.2f dB\n"
        "exactly corrected target vs reference, measured again: largest deviation %.2f dB, rms %.2f dB\n",
        worstMeasured, worstCorrection, worstAchieved, rmsAchieved);
    std::printf("the plug-in's editor after the measurement: %s\n", picture.c_str());
    return 0;
}
