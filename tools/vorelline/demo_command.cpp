#include "engine/band_grid.h"
#include "plugin/measurement_status.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/commands.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/design_report.h"
#include "tools/vorelline/json_writer.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/output_file.h"
#include "tools/vorelline/output_guard.h"
#include "tools/vorelline/plugin_session.h"

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

// What the demo measures: the session, whose engine holds the exact correction at the end, the
// protected correction the measurement designed first with the bands it limited, and the target
// measured again through each of the two.
struct DemoRun {
    std::unique_ptr<PluginSession> session;
    std::array<double, kNormalBands> protectedCorrection{};
    std::array<BandProtection, kNormalBands> protection;
    std::vector<double> protectedAchieved, exactAchieved;
};

// The figures below the table.
struct DemoSummary {
    double worstMeasured = 0.0, worstCorrection = 0.0, worstAchieved = 0.0, rmsAchieved = 0.0;
    double largestExactBoost = -999.0, largestProtectedBoost = -999.0;
    int limitedBands = 0;
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
    const EngineSnapshot c = check->Plugin().Engine().Snapshot();
    db.clear();
    for (int k = 0; k < kNormalBands; ++k)
        db.push_back(ToDb(c.targetBands[k] / c.referenceBands[k]));
    return true;
}

bool RunDemoMeasurements(const DemoMicrophones& mics, double rate, const std::string& picture, DemoRun& run,
                         std::string& error) {
    // 1. The measurement, as the plug-in makes it after Start.
    run.session = std::make_unique<PluginSession>();
    MeasurementInput input;
    input.sampleRate = rate;
    input.reference = &mics.reference;
    input.target = &mics.target;
    if (!RunMeasurement(*run.session, input, error)) return false;
    CorrectionEngine& e = run.session->Plugin().Engine();
    // The editor as the measurement leaves it: the protected wanted response, the shading of the
    // bands that cannot be trusted, the markers of what leaves the plot, the status line.
    std::vector<std::uint8_t> png;
    if (!run.session->EditorPicturePng(png)) {
        error = "cannot draw the editor's picture for " + picture;
        return false;
    }
    if (!WriteOutputFile(picture, std::move(png), error)) return false;

    // 2. The protected correction, as the measurement designed it, and then the exact one (Reset),
    //    each played and measured again against the reference.
    {
        const EngineSnapshot m = e.Snapshot();
        std::array<double, kNormalBands> curve;
        ProtectedCurve(m.protection, m.targetBands.data(), m.referenceBands.data(),
                       m.quality.coherence.data(), curve.data(), run.protection.data());
        for (int k = 0; k < kNormalBands; ++k)
            run.protectedCorrection[k] = ToDb(m.curveResult[k] / m.curveMeasured[k]);
    }
    if (!MeasureAgain(*run.session, input, run.protectedAchieved, error)) return false;
    e.ResetUserCurve();
    return MeasureAgain(*run.session, input, run.exactAchieved, error);
}

std::vector<DemoBand> CollectBands(const EngineSnapshot& e, double rate, const DemoRun& run) {
    const auto& freq = TheBandGrid().bandFrequencies;
    const std::vector<double> known = DemoTargetBandResponse(rate);
    std::vector<DemoBand> bands;
    for (int k = 0; k < kNormalBands; ++k) {
        DemoBand b;
        b.frequency = freq[k];
        b.known = ToDb(known[k]);
        b.measured = ToDb(e.targetBands[k] / e.referenceBands[k]);
        b.correction = ToDb(e.curveResult[k] / e.curveMeasured[k]);
        b.result = ToDb(e.curveResult[k]);
        b.achieved = run.exactAchieved[k];
        b.coherence = e.quality.coherence[k];
        b.protectedCorrection = run.protectedCorrection[k];
        b.protectedAchieved = run.protectedAchieved[k];
        b.limited = run.protection[k].limited;
        bands.push_back(b);
    }
    return bands;
}

DemoSummary Summarise(const std::vector<DemoBand>& bands, double levelDb) {
    DemoSummary s;
    double sumAchieved = 0.0;
    for (const DemoBand& b : bands) {
        s.worstMeasured = std::max(s.worstMeasured, std::fabs(b.measured - b.known));
        // The ideal correction is the inverse of the level-matched known response.
        s.worstCorrection = std::max(s.worstCorrection, std::fabs(b.correction + b.known + levelDb));
        s.worstAchieved = std::max(s.worstAchieved, std::fabs(b.achieved));
        sumAchieved += b.achieved * b.achieved;
    }
    s.rmsAchieved = std::sqrt(sumAchieved / kNormalBands);
    for (const DemoBand& b : bands) {
        s.largestExactBoost = std::max(s.largestExactBoost, b.correction);
        s.largestProtectedBoost = std::max(s.largestProtectedBoost, b.protectedCorrection);
        s.limitedBands += b.limited ? 1 : 0;
    }
    return s;
}

void PrintJson(const EngineSnapshot& e, double rate, const std::vector<DemoBand>& bands,
               const DemoSummary& s) {
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
        .Number("maxMeasurementErrorDb", s.worstMeasured)
        .Number("maxCorrectionErrorDb", s.worstCorrection)
        .Number("maxAchievedErrorDb", s.worstAchieved)
        .Number("rmsAchievedErrorDb", s.rmsAchieved)
        .Numbers("coherence", column(&DemoBand::coherence))
        .Numbers("protectedCorrectionDb", column(&DemoBand::protectedCorrection))
        .Numbers("protectedAchievedDb", column(&DemoBand::protectedAchieved))
        .Integer("limitedBands", s.limitedBands)
        .Number("largestExactBoostDb", s.largestExactBoost)
        .Number("largestProtectedBoostDb", s.largestProtectedBoost)
        .Text("status", MeasurementStatusLine(e.quality, e.protection));
    std::cout << w.Finish();
}

void PrintReport(const EngineSnapshot& e, double rate, const std::vector<DemoBand>& bands,
                 const DemoSummary& s, const std::string& picture) {
    std::printf("Tessivane Vorelline demo: two microphones record the same noise for %.1f s at %.0f Hz.\n"
                "reference microphone: ideally flat\n%s\n"
                "(known dB: that response averaged over each band as the analysis sees it)\n\n",
                static_cast<double>(kFftLength) / rate, rate, DemoTargetDescription());
    std::printf("level-match gain %+.2f dB, design converged after %d passes%s\n\n", ToDb(e.levelMatchGain),
                e.designPasses, e.designConverged ? "" : " (did not converge)");
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
        e.protection.maxBoostDb, s.largestProtectedBoost, s.largestExactBoost, s.limitedBands);
    std::printf(
        "\nmeasured difference vs known response: largest deviation %.2f dB\n"
        "correction vs inverse of the known response (level-matched): largest deviation %.2f dB\n"
        "exactly corrected target vs reference, measured again: largest deviation %.2f dB, rms %.2f dB\n",
        s.worstMeasured, s.worstCorrection, s.worstAchieved, s.rmsAchieved);
    std::printf("the plug-in's editor after the measurement: %s\n", picture.c_str());
}

} // namespace

int RunDemo(const std::vector<std::string>& args) {
    ParsedArguments a;
    std::string error;
    if (!ParseArguments(args, 2, {{"--json", false}, {"--png", true}}, 0, a, error))
        return UsageError("demo", error);
    const bool json = a.Has("--json");
    const std::string picture = a.Value("--png", "vorelline-demo.png");
    if (!OutputsAreSafe({}, {{{"--png", picture}, OutputKind::Picture}})) return 2;

    const double rate = 48000.0;
    // A little more than one recording, as a host would play it.
    const DemoMicrophones mics = MakeDemoRecordings(rate, SamplesNeededForRecording(rate) + 4800);
    DemoRun run;
    if (!RunDemoMeasurements(mics, rate, picture, run, error)) {
        std::fprintf(stderr, "vorelline: %s\n", error.c_str());
        return 1;
    }

    const EngineSnapshot e = run.session->Plugin().Engine().Snapshot();
    const std::vector<DemoBand> bands = CollectBands(e, rate, run);
    const DemoSummary summary = Summarise(bands, ToDb(e.levelMatchGain));
    if (json)
        PrintJson(e, rate, bands, summary);
    else
        PrintReport(e, rate, bands, summary, picture);
    return 0;
}
