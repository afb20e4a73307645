#include "tools/vorelline/commands.h"

#include "engine/band_grid.h"
#include "plugin/alg_engine.h"
#include "plugin/alg_file.h"
#include "plugin/calibration_file.h"
#include "plugin/editor_controls.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/apply_batch.h"
#include "tools/vorelline/audio_file.h"
#include "tools/vorelline/clipping_report.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/design_report.h"
#include "tools/vorelline/help_text.h"
#include "tools/vorelline/input_check.h"
#include "tools/vorelline/json_writer.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/output_file.h"
#include "tools/vorelline/output_guard.h"
#include "tools/vorelline/plugin_session.h"
#include "tools/vorelline/profile_combination.h"
#include "tools/vorelline/progress_reporter.h"
#include "tools/vorelline/quality_report.h"
#include "tools/vorelline/tool_messages.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>

namespace {

int Fail(const std::string& reason) {
    ClearProgressLine();
    std::fprintf(stderr, "vorelline: %s\n", reason.c_str());
    return 1;
}

// The editor as it looks now, when the user asked for a picture, added to the command's files.
bool AddPictureIfAsked(PluginSession& session, const ParsedArguments& a, OutputFiles& files) {
    if (!a.Has("--png")) return true;
    std::vector<std::uint8_t> png;
    if (!session.EditorPicturePng(png)) {
        std::fprintf(stderr, "vorelline: cannot draw the editor's picture for %s\n",
                     a.Value("--png").c_str());
        return false;
    }
    files.Add(a.Value("--png"), std::move(png));
    return true;
}

// The files an option names when it is given.
void AddIfGiven(const ParsedArguments& a, const char* option, std::vector<NamedFile>& inputs) {
    if (a.Has(option)) inputs.push_back({option, a.Value(option)});
}
void AddIfGiven(const ParsedArguments& a, const char* option, OutputKind kind,
                std::vector<PlannedOutput>& outputs) {
    if (a.Has(option)) outputs.push_back({{option, a.Value(option)}, kind});
}

bool Parse(const std::vector<std::string>& args, const char* command,
           const std::vector<OptionSpec>& allowedOptions, std::size_t positionals, ParsedArguments& parsed,
           int& status) {
    std::string error;
    if (!ParseArguments(args, 2, allowedOptions, positionals, parsed, error)) {
        status = UsageError(command, error);
        return false;
    }
    return true;
}

} // namespace

int UsageError(const std::string& command, const std::string& reason) {
    if (!reason.empty()) std::fprintf(stderr, "vorelline: %s\n", reason.c_str());
    for (const CommandHelp& h : CommandHelps())
        if (command.empty() || command == h.name) std::fprintf(stderr, "usage: %s\n", h.usage);
    std::fprintf(stderr, "try 'vorelline %s--help'\n", command.empty() ? "" : (command + " ").c_str());
    return 2;
}

int RunAnalyze(const std::vector<std::string>& args) {
    ParsedArguments a;
    int status = 0;
    if (!Parse(args, "analyze",
               {{"--reference", true},
                {"--target", true},
                {"--swap", false},
                {"--high", false},
                {"--calibration", true},
                {"--save-alg", true},
                {"--png", true},
                {"--json", false},
                {"--exact", false},
                {"--max-boost", true}},
               0, a, status))
        return status;
    if (!a.Has("--reference") || !a.Has("--target"))
        return UsageError("analyze", "--reference and --target are needed");
    ProtectionRule rule;
    if (!ProtectionFromArguments(a, rule)) return UsageError("analyze", kMaxBoostUsage);
    // The plug-in reads its own calibration file when constructed; without --calibration that file
    // is an input too.
    PluginSession session;
    std::vector<NamedFile> inputs;
    for (const char* option : {"--reference", "--target", "--calibration"})
        AddIfGiven(a, option, inputs);
    if (!a.Has("--calibration") && !session.Plugin().CalibrationPath().empty())
        inputs.push_back({"calibration", session.Plugin().CalibrationPath()});
    std::vector<PlannedOutput> outputs;
    AddIfGiven(a, "--save-alg", OutputKind::Correction, outputs);
    AddIfGiven(a, "--png", OutputKind::Picture, outputs);
    if (!OutputsAreSafe(inputs, outputs)) return 2;

    // Only the part of each recording that the measurement plays is read (and a block to spare).
    ProgressReporter progress;
    const ReadOptions reading{&progress,
                              [](double rate) { return SamplesNeededForRecording(rate) + kToolBlockFrames; }};
    MonoAudio ref, tgt;
    std::string error;
    if (!ReadFirstChannel(a.Value("--reference"), ref, error, reading) ||
        !ReadFirstChannel(a.Value("--target"), tgt, error, reading))
        return Fail(error);
    const std::string both = a.Value("--reference") + " and " + a.Value("--target") + ": ";
    if (ref.sampleRate != tgt.sampleRate)
        return Fail(both + "the two recordings have different sample rates (" +
                    std::to_string(ref.sampleRate) + " and " + std::to_string(tgt.sampleRate) + " Hz)");

    CorrectionEngine& engine = session.Plugin().Engine();
    // Without --calibration the plug-in's own choice stands: the first file in its documents folder.
    std::string calibrationLabel = session.Plugin().CalibrationLabel();
    if (a.Has("--calibration")) {
        CalibrationInfo cal;
        if (!ReadUsableCalibration(a.Value("--calibration"), cal)) return 1;
        engine.SetCalibration(cal.gain);
        calibrationLabel = cal.label;
    }

    engine.SetProtection(rule);
    MeasurementInput input;
    input.sampleRate = ref.sampleRate;
    input.reference = &ref.samples;
    input.target = &tgt.samples;
    input.swapInputs = a.Has("--swap");
    input.highResolution = a.Has("--high");
    input.progress = &progress;
    const bool measured = RunMeasurement(session, input, error);
    progress.Done();
    if (!measured) return Fail(both + error);
    // The plug-in has shown why (silent input, nothing in common) and kept no measurement.
    const EngineSnapshot measuredState = engine.Snapshot();
    if (!measuredState.quality.known) return Fail(both + "the measurement cannot be used");

    // The correction as the plug-in's Save writes it, and the picture: both written, or neither.
    OutputFiles files;
    if (a.Has("--save-alg")) {
        const auto alg = EncodeAlgRecord(AlgRecordFromEngine(measuredState));
        files.Add(a.Value("--save-alg"), {alg.begin(), alg.end()});
    }
    if (!AddPictureIfAsked(session, a, files)) return 1;
    if (!files.WriteAll(error)) return Fail(error);

    if (a.Has("--json")) {
        std::cout << DesignJson(measuredState, ref.sampleRate, AddQualityJson);
    } else {
        if (!calibrationLabel.empty()) std::cout << "calibration: " << calibrationLabel << "\n";
        std::cout << DesignTable(measuredState, ref.sampleRate) << "\n" << QualityTable(measuredState);
        if (a.Has("--save-alg")) std::cout << "\nsaved " << a.Value("--save-alg") << "\n";
    }
    return 0;
}

int RunDesign(const std::vector<std::string>& args) {
    ParsedArguments a;
    int status = 0;
    if (!Parse(args, "design", {{"--alg", true}, {"--rate", true}, {"--png", true}, {"--json", false}}, 0, a,
               status))
        return status;
    if (!a.Has("--alg")) return UsageError("design", "--alg is needed");
    double rate = 48000.0;
    if (a.Has("--rate") && !ParseSampleRate(a.Value("--rate"), rate))
        return UsageError("design", std::string("--rate needs ") + kSampleRateRange);
    std::vector<PlannedOutput> outputs;
    AddIfGiven(a, "--png", OutputKind::Picture, outputs);
    if (!OutputsAreSafe({{"--alg", a.Value("--alg")}}, outputs)) return 2;

    // Load's path after its dialog: the file is read, checked and applied through the editor.
    PluginSession session;
    session.PrepareProcessing(rate);
    if (!CheckReadable(a.Value("--alg"), "the correction file")) return 1;
    {
        const MessageFileScope about(a.Value("--alg"));
        if (!session.Plugin().LoadCorrectionFile(a.Value("--alg"))) return 1;
    }
    OutputFiles files;
    std::string error;
    if (!AddPictureIfAsked(session, a, files)) return 1;
    if (!files.WriteAll(error)) return Fail(error);
    const EngineSnapshot engine = session.Plugin().Engine().Snapshot();
    std::cout << (a.Has("--json") ? DesignJson(engine, rate) : DesignTable(engine, rate));
    return 0;
}

int RunCalibration(const std::vector<std::string>& args) {
    ParsedArguments a;
    int status = 0;
    if (!Parse(args, "calibration", {{"--json", false}}, 1, a, status)) return status;
    if (a.positionals.size() != 1) return UsageError("calibration", "a calibration file is needed");
    const auto& freq = TheBandGrid().bandFrequencies;
    CalibrationInfo cal;
    if (!ReadUsableCalibration(a.positionals[0], cal)) return 1;
    if (a.Has("--json")) {
        JsonWriter json;
        json.Text("label", cal.label)
            .Boolean("valid", cal.valid)
            .Integer("pairs", static_cast<long long>(cal.pairs))
            .Numbers("gain", cal.gain.data(), cal.gain.size());
        std::cout << json.Finish();
        return 0;
    }
    std::printf("label: %s\npairs: %zu\n\n", cal.label.c_str(), cal.pairs);
    std::printf("  band    centre Hz    gain dB\n");
    for (int i = 0; i < kBandCount; ++i) {
        if (i == kHighOffset) std::printf("  -- semitone bands --\n");
        std::printf("  %4d  %11.2f  %9.3f\n", i, freq[i], ToDb(cal.gain[i]));
    }
    return 0;
}

int RunInfo(const std::vector<std::string>& args) {
    ParsedArguments a;
    int status = 0;
    if (!Parse(args, "info", {{"--json", false}}, 1, a, status)) return status;
    if (a.positionals.size() != 1) return UsageError("info", "a .alg file is needed");
    AlgRecord r;
    if (!ReadCorrectionFile(a.positionals[0], r)) return 1;
    const AlgSelections s = AlgSelectionsFromFlags(r.flags);
    const MeasuredDifference measured = MeasuredDifferenceOf(r);
    if (a.Has("--json")) {
        // Unknown bands are null.
        std::vector<double> measuredDb(kBandCount);
        for (int k = 0; k < kBandCount; ++k)
            measuredDb[k] = measured.known[k] ? ToDb(measured.ratio[k]) : NAN;
        JsonWriter json;
        json.Integer("version", r.version)
            .Integer("flags", r.flags)
            .Number("outputSelection", s.outputSelection)
            .Number("inputSelection", s.inputSelection)
            .Number("resolution", s.resolution)
            .Number("gainPosition", r.gainPosition)
            .Numbers("targetBands", r.targetBands.data(), r.targetBands.size())
            .Numbers("referenceBands", r.referenceBands.data(), r.referenceBands.size())
            .Numbers("userCurve", r.userCurve.data(), r.userCurve.size())
            .Number("levelMatchGain", measured.levelMatchGain)
            .Numbers("measuredDifferenceDb", measuredDb);
        std::cout << json.Finish();
        return 0;
    }
    const auto& freq = TheBandGrid().bandFrequencies;
    std::printf("version %d, flags %d: output %s, inputs %s, %s resolution, gain position %.4f\n\n",
                r.version, r.flags,
                s.outputSelection == 0.0   ? "reference"
                : s.outputSelection == 0.5 ? "target"
                                           : "corrected target",
                s.inputSelection == 0.0 ? "as wired" : "swapped", s.resolution == 0.0 ? "normal" : "high",
                r.gainPosition);
    std::printf(
        "measured difference: target against reference, level-matched by %+.2f dB; - where a level is "
        "not usable\n\n",
        ToDb(measured.levelMatchGain));
    std::printf("  band    centre Hz   target dB  reference dB    measured dB   curve dB\n");
    for (int i = 0; i < kBandCount; ++i) {
        if (i == kHighOffset) std::printf("  -- semitone bands --\n");
        char diff[24] = "-";
        if (measured.known[i]) std::snprintf(diff, sizeof diff, "%.2f", ToDb(measured.ratio[i]));
        if (i < kHighOffset)
            std::printf("  %4d  %11.2f  %10.2f  %12.2f  %13s  %9.2f\n", i, freq[i], ToDb(r.targetBands[i]),
                        ToDb(r.referenceBands[i]), diff, ToDb(r.userCurve[i]));
        else
            std::printf("  %4d  %11.2f  %10.2f  %12.2f  %13s\n", i, freq[i], ToDb(r.targetBands[i]),
                        ToDb(r.referenceBands[i]), diff);
    }
    return 0;
}

int RunApply(const std::vector<std::string>& args) {
    ParsedArguments a;
    int status = 0;
    if (!Parse(args, "apply", {{"-o", true}, {"--output", true}, {"--allow-clipping", false}}, args.size(), a,
               status))
        return status;
    if (a.positionals.size() < 2 || !a.Has("-o"))
        return UsageError("apply", "a .alg file, an input and -o OUT are needed");
    const std::string which = a.Value("--output", "corrected");
    double output;
    if (which == "reference")
        output = 0.0;
    else if (which == "target")
        output = 0.5;
    else if (which == "corrected")
        output = 1.0;
    else
        return UsageError("apply", "--output is reference, target or corrected");
    const bool allowClipping = a.Has("--allow-clipping");
    // Several inputs, or a folder to write into: each file keeps its format and channels.
    const std::string to = a.Value("-o");
    if (a.positionals.size() > 2 || std::filesystem::is_directory(to) || (!to.empty() && to.back() == '/'))
        return RunApplyBatch(a.positionals[0], {a.positionals.begin() + 1, a.positionals.end()}, to, output,
                             allowClipping);

    if (!OutputsAreSafe({{"correction", a.positionals[0]}, {"", a.positionals[1]}},
                        {{{"-o", to}, OutputKind::Audio}}))
        return 2;
    AlgRecord record;
    if (!ReadCorrectionFile(a.positionals[0], record)) return 1;
    ProgressReporter progress;
    MonoAudio in;
    std::string error;
    if (!ReadFirstChannel(a.positionals[1], in, error, {&progress})) return Fail(error);

    PluginSession session;
    session.PrepareProcessing(in.sampleRate);
    session.Plugin().ApplyCorrectionRecord(record);
    // The user picks what is heard with the Outputs marks (reference, target, corrected target).
    const IMyRadioButtonsControl* outputs = session.Plugin().Controls().outputsSelector;
    session.Click(outputs->Button(static_cast<int>(output * 2.0)));
    MonoAudio out;
    out.sampleRate = in.sampleRate;
    out.samples = ProcessThrough(session, in.samples, &progress);
    if (HoldsIntegers(MonoFormatFor(to))) {
        progress.Done();
        const ClippingCount clipping = CountClipping(out.samples);
        if (!ReportClipping(to, clipping, allowClipping,
                            "write a float file (.wav or .aif) instead, or lower the correction's Gain"))
            return 1;
    }
    const bool written = WriteMono(to, out, error, &progress);
    progress.Done();
    if (!written) return Fail(error);
    return 0;
}
