#include "engine/band_grid.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/commands.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/design_report.h"
#include "tools/vorelline/json_writer.h"
#include "tools/vorelline/measurement.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <memory>

namespace {

struct DemoBand {
    double frequency, known, measured, correction, result, achieved;
};

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
    const CorrectionEngine& e = session->Plugin().Engine();

    // 2. The corrected target: the target recording through the designed cascade.
    const std::vector<double> corrected = ProcessThrough(*session, mics.target);
    if (!session->WriteEditorPicture(picture)) {
        std::fprintf(stderr, "vorelline: cannot write %s\n", picture.c_str());
        return 1;
    }

    // 3. A second measurement of the corrected target against the reference shows what was achieved.
    auto check = std::make_unique<PluginSession>();
    MeasurementInput verify = input;
    verify.target = &corrected;
    if (!RunMeasurement(*check, verify, error)) {
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
        b.achieved =
            ToDb(check->Plugin().Engine().targetBands[k] / check->Plugin().Engine().referenceBands[k]);
        worstMeasured = std::max(worstMeasured, std::fabs(b.measured - b.known));
        // The ideal correction is the inverse of the level-matched known response.
        worstCorrection = std::max(worstCorrection, std::fabs(b.correction + b.known + levelDb));
        worstAchieved = std::max(worstAchieved, std::fabs(b.achieved));
        sumAchieved += b.achieved * b.achieved;
        bands.push_back(b);
    }
    const double rmsAchieved = std::sqrt(sumAchieved / kNormalBands);

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
            .Number("rmsAchievedErrorDb", rmsAchieved);
        std::cout << w.Finish();
        return 0;
    }

    std::printf("Tessivane Vorelline demo: two microphones record the same noise for %.1f s at %.0f Hz.\n"
                "reference microphone: ideally flat\n%s\n"
                "(known dB: that response averaged over each band as the analysis sees it)\n\n",
                static_cast<double>(kFftLength) / rate, rate, DemoTargetDescription());
    std::printf("level-match gain %+.2f dB, design converged after %d passes%s\n\n", levelDb, e.designPasses,
                e.designConverged ? "" : " (did not converge)");
    std::printf("  centre Hz    known dB  measured dB  correction dB  designed result dB  corrected vs "
                "reference dB\n");
    for (const DemoBand& b : bands)
        std::printf("  %9.1f  %10.2f  %11.2f  %13.2f  %18.2f  %25.2f\n", b.frequency, b.known, b.measured,
                    b.correction, b.result, b.achieved);
    std::printf("\nmeasured difference vs known response: largest deviation %.2f dB\n"
                "correction vs inverse of the known response (level-matched): largest deviation %.2f dB\n"
                "corrected target vs reference, measured again: largest deviation %.2f dB, rms %.2f dB\n",
                worstMeasured, worstCorrection, worstAchieved, rmsAchieved);
    std::printf("the plug-in's editor after the measurement: %s\n", picture.c_str());
    return 0;
}
