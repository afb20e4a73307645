// vorelline export: a correction as an impulse response or as parametric-EQ lines, for use in other
// programs.
#include "plugin/alg_file.h"
#include "plugin/editor_controls.h"
#include "plugin/mic_corrector.h"
#include "tools/vorelline/cascade_response.h"
#include "tools/vorelline/command_line.h"
#include "tools/vorelline/commands.h"
#include "tools/vorelline/measurement.h"
#include "tools/vorelline/peq_text.h"
#include "tools/vorelline/plugin_session.h"
#include "tools/vorelline/progress_reporter.h"
#include "tools/vorelline/tool_messages.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
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

bool WriteFloatWav(const std::string& path, const std::vector<double>& samples, double rate,
                   std::string& error) {
    SF_INFO info{};
    info.channels = 1;
    info.samplerate = static_cast<int>(rate);
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        error = "cannot write audio file \"" + path + "\": " + sf_strerror(nullptr);
        return false;
    }
    const sf_count_t n = static_cast<sf_count_t>(samples.size());
    const bool ok = sf_writef_double(file, samples.data(), n) == n;
    sf_close(file);
    if (!ok) error = "could not write all of \"" + path + "\"";
    return ok;
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

int ExportImpulseResponse(PluginSession& session, const CascadeSnapshot& cascade, const std::string& path,
                          long long wantedLength, ProgressReporter& progress) {
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
    if (!WriteFloatWav(path, h, rate, error)) return Fail(error);

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
    return 0;
}

int ExportPeq(const CascadeSnapshot& cascade, const std::string& path) {
    const double preampDb = 20.0 * std::log10(cascade.gain);
    const std::string text = PeqText(preampDb, PeakingFiltersOf(cascade));
    {
        std::ofstream out(path, std::ios::binary);
        out << text;
        out.close();
        if (!out) return Fail("cannot write \"" + path + "\"");
    }
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
    return 0;
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
    if (a.Has("--rate") && (!ParsePositiveNumber(a.Value("--rate"), rate) || rate != std::floor(rate) ||
                            rate < 8000.0 || rate > 768000.0))
        return UsageError("export", "--rate needs a whole number of hertz from 8000 to 768000");
    double length = 0.0;
    if (a.Has("--length")) {
        if (!a.Has("--ir")) return UsageError("export", "--length belongs to --ir");
        if (!ParsePositiveNumber(a.Value("--length"), length) || length != std::floor(length) ||
            length > static_cast<double>(kLongestResponse))
            return UsageError("export", "--length needs a whole number of samples from 1 to 16777216");
    }

    AlgRecord record;
    {
        const MessageFileScope about(a.positionals[0]);
        if (!LoadAlgFile(a.positionals[0], record)) return 1;
    }
    // The corrected target exactly as `apply` plays it.
    PluginSession session;
    session.PrepareProcessing(rate);
    session.Plugin().ApplyCorrectionRecord(record);
    session.Click(session.Plugin().Controls().outputsSelector->Button(2));
    const CascadeSnapshot cascade = SnapshotCascade(session.Plugin().Engine().Snapshot(), rate);

    ProgressReporter progress;
    if (a.Has("--ir")) {
        const int status = ExportImpulseResponse(session, cascade, a.Value("--ir"),
                                                 static_cast<long long>(length), progress);
        if (status != 0) return status;
    }
    if (a.Has("--peq")) return ExportPeq(cascade, a.Value("--peq"));
    return 0;
}
