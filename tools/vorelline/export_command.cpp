// vorelline export: a correction as an impulse response or as parametric-EQ lines, for use in other
// programs.
#include "plugin/alg_file.h"
#include "plugin/editor_controls.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/audio_file.h"
#include "tools/vorelline/cascade_response.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/commands.h"
#include "tools/vorelline/input_check.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/output_file.h"
#include "tools/vorelline/output_guard.h"
#include "tools/vorelline/peq_text.h"
#include "tools/vorelline/plugin_session.h"
#include "tools/vorelline/progress_reporter.h"
#include "tools/vorelline/tool_messages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <sndfile.h>

namespace {

constexpr double kDecayDb = -120.0;
// A filter that has not decayed by then is cut there (no design comes near it).
constexpr long long kLongestResponse = 1LL << 24;
constexpr double kCheckHz = 20.0;

int Fail(const std::string& reason) {
    ClearProgressLine();
    std::fprintf(stderr, "vorelline: %s\n", reason.c_str());
    return 1;
}

double MagnitudeErrorDb(std::complex<double> truncated, std::complex<double> exact) {
    return 20.0 * std::log10(std::abs(truncated) / std::abs(exact));
}

// The impulse through the plug-in: `span` samples of its output.
std::vector<double> PlayImpulse(PluginSession& session, long long span, ProgressReporter& progress) {
    std::vector<double> impulse(static_cast<std::size_t>(span), 0.0);
    impulse[0] = 1.0;
    return ProcessThrough(session, impulse, &progress);
}

// The impulse response as a mono 32-bit float WAV file, added to `files`; the figures about it are
// printed once the files are written.
struct ImpulseResponse {
    std::vector<double> samples;
    long long length = 0;
};

bool MakeImpulseResponse(PluginSession& session, const CascadeSnapshot& cascade, const std::string& path,
                         long long wantedLength, ProgressReporter& progress, OutputFiles& files,
                         ImpulseResponse& response) {
    const double rate = cascade.rate;
    long long length = wantedLength;
    std::vector<double> h;
    if (length > 0) {
        h = PlayImpulse(session, length, progress);
    } else {
        // Every term of the response falls at least as fast as n^k r^n of the slowest pole: twice
        // the time that pole takes to fall well below the threshold is searched, then the response
        // ends where the energy left after it is below kDecayDb of the whole (a sample threshold
        // would leave a long low tail that still adds up, at the lowest centres).
        const long long slowest = SlowestDecaySamples(cascade, kDecayDb - 40.0);
        const long long span =
            slowest < 0 ? kLongestResponse : std::min(kLongestResponse, 2 * slowest + 4096);
        h = PlayImpulse(session, span, progress);
        double total = 0.0;
        for (double v : h)
            total += v * v;
        const double limit = total * std::pow(10.0, kDecayDb / 10.0);
        double tail = 0.0;
        length = 1;
        for (long long n = static_cast<long long>(h.size()) - 1; n > 0; --n) {
            tail += h[static_cast<std::size_t>(n)] * h[static_cast<std::size_t>(n)];
            if (tail > limit) {
                length = n + 1;
                break;
            }
        }
        h.resize(static_cast<std::size_t>(length));
    }
    progress.Done();
    std::string error;
    std::vector<std::uint8_t> wav;
    if (!EncodeAudio(SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, static_cast<int>(rate), h, wav, error)) {
        Fail(path + ": " + error);
        return false;
    }
    files.Add(path, std::move(wav));
    response.samples = std::move(h);
    response.length = length;
    return true;
}

void PrintImpulseResponse(const CascadeSnapshot& cascade, const std::string& path, long long wantedLength,
                          const ImpulseResponse& response) {
    const double rate = cascade.rate;
    const std::vector<double>& h = response.samples;
    const long long length = response.length;
    const std::complex<double> exact = CascadeResponse(cascade, kCheckHz);
    std::printf("impulse response: %s, %lld samples (%.3f s) at %.0f Hz, 32-bit float, minimum phase\n",
                path.c_str(), length, static_cast<double>(length) / rate, rate);
    if (wantedLength <= 0)
        std::printf("  the energy after its end is below %.0f dB of the whole\n", kDecayDb);
    // What shorter cuts (convolvers often take powers of two) lose where the filters ring longest.
    std::printf("  level at %.0f Hz against the plug-in's filter, by length:\n", kCheckHz);
    std::vector<long long> lengths;
    for (long long n = 4096; n < length && n <= 131072; n *= 2)
        lengths.push_back(n);
    lengths.push_back(length);
    for (long long n : lengths)
        std::printf(
            "    %8lld samples (%7.3f s)  %+.4f dB%s\n", n, static_cast<double>(n) / rate,
            MagnitudeErrorDb(TruncatedResponse(h, static_cast<std::size_t>(n), rate, kCheckHz), exact),
            n == length ? "  (written)" : "");
}

// The lines for parametric equalizers, added to `files`; the check of them is printed once written.
std::string MakePeq(const CascadeSnapshot& cascade, const std::string& path, OutputFiles& files) {
    const std::string text =
        PeqText(20.0 * std::log10(cascade.gain), PeakingFiltersOf(cascade), cascade.rate);
    files.Add(path, {text.begin(), text.end()});
    return text;
}

void PrintPeq(const CascadeSnapshot& cascade, const std::string& path, const std::string& text) {
    const double preampDb = 20.0 * std::log10(cascade.gain);
    // The lines as another equalizer reads them, against what the plug-in plays.
    double readPreamp = 0.0;
    std::vector<PeakingFilter> read;
    ParsePeqText(text, readPreamp, read);
    const double error = MaxMagnitudeDifferenceDb(cascade, SynthesiseCascade(readPreamp, read, cascade.rate));
    std::printf("parametric EQ: %s, preamp %.3f dB and %zu peaking filters for %.0f Hz\n", path.c_str(),
                preampDb, read.size(), cascade.rate);
    std::printf(
        "  the sections are standard peaking filters; re-synthesised from these lines the response\n"
        "  is within %.4f dB of the plug-in's from 10 Hz to %.0f Hz (rounding of the printed values)\n",
        error, std::min(20000.0, 0.49 * cascade.rate));
}

} // namespace

int RunExport(const std::vector<std::string>& args) {
    ParsedArguments a;
    std::string error;
    if (!ParseArguments(args, 2, {{"--ir", true}, {"--peq", true}, {"--rate", true}, {"--length", true}}, 1,
                        a, error))
        return UsageError("export", error);
    if (a.positionals.size() != 1) return UsageError("export", "a .alg file is needed");
    if (!a.Has("--ir") && !a.Has("--peq"))
        return UsageError("export", "--ir OUT.wav or --peq OUT.txt is needed");
    double rate = 48000.0;
    if (a.Has("--rate") && !ParseSampleRate(a.Value("--rate"), rate))
        return UsageError("export", std::string("--rate needs ") + kSampleRateRange);
    double length = 0.0;
    if (a.Has("--length")) {
        if (!a.Has("--ir")) return UsageError("export", "--length belongs to --ir");
        if (!ParsePositiveNumber(a.Value("--length"), length) || length != std::floor(length) ||
            length > static_cast<double>(kLongestResponse))
            return UsageError("export", "--length needs a whole number of samples from 1 to 16777216");
    }

    std::vector<PlannedOutput> outputs;
    if (a.Has("--ir")) outputs.push_back({{"--ir", a.Value("--ir")}, OutputKind::Audio});
    if (a.Has("--peq")) outputs.push_back({{"--peq", a.Value("--peq")}, OutputKind::Text});
    if (!OutputsAreSafe({{"correction", a.positionals[0]}}, outputs)) return 2;

    AlgRecord record;
    if (!ReadCorrectionFile(a.positionals[0], record)) return 1;
    // The corrected target exactly as `apply` plays it.
    PluginSession session;
    session.PrepareProcessing(rate);
    session.Plugin().ApplyCorrectionRecord(record);
    session.Click(session.Plugin().Controls().outputsSelector->Button(2));
    const CascadeSnapshot cascade = SnapshotCascade(session.Plugin().Engine().Snapshot(), rate);

    // Both files are written, or neither.
    ProgressReporter progress;
    OutputFiles files;
    ImpulseResponse response;
    if (a.Has("--ir") && !MakeImpulseResponse(session, cascade, a.Value("--ir"),
                                              static_cast<long long>(length), progress, files, response))
        return 1;
    const std::string peq = a.Has("--peq") ? MakePeq(cascade, a.Value("--peq"), files) : std::string();
    if (!files.WriteAll(error)) return Fail(error);
    if (a.Has("--ir"))
        PrintImpulseResponse(cascade, a.Value("--ir"), static_cast<long long>(length), response);
    if (a.Has("--peq")) PrintPeq(cascade, a.Value("--peq"), peq);
    return 0;
}
