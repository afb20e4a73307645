// Runs the built vorelline program on files written here and checks what it prints.
#include "tools/tool_run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

// The numbers of one key of the tool's JSON output: one for a number, all of them for an array
// (nested arrays flattened).
std::vector<double> JsonNumbers(const std::string& json, const std::string& key) {
    std::vector<double> values;
    std::size_t at = json.find("\"" + key + "\": ");
    if (at == std::string::npos) return values;
    at += key.size() + 4;
    int depth = 0;
    do {
        const char c = json[at];
        if (c == '[') {
            ++depth, ++at;
        } else if (c == ']') {
            --depth, ++at;
        } else if (c == ',' || c == ' ' || c == '\n') {
            ++at;
        } else {
            char* end = nullptr;
            values.push_back(std::strtod(json.c_str() + at, &end));
            at = static_cast<std::size_t>(end - json.c_str());
        }
    } while (depth > 0 && at < json.size());
    return values;
}

// Reference and target recordings of the demo's microphones, written as files once for all tests.
class CliFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        const DemoMicrophones mics = MakeDemoRecordings(48000.0, SamplesNeededForRecording(48000.0) + 1000);
        std::string error;
        ASSERT_TRUE(WriteMono(folder->File("ref.wav"), {48000.0, mics.reference}, error)) << error;
        ASSERT_TRUE(WriteMono(folder->File("tgt.flac"), {48000.0, mics.target}, error)) << error;
        std::vector<double> shortOne(mics.reference.begin(), mics.reference.begin() + 480000);
        ASSERT_TRUE(WriteMono(folder->File("short.wav"), {48000.0, shortOne}, error)) << error;
        ASSERT_TRUE(WriteMono(folder->File("other-rate.wav"), {44100.0, mics.target}, error)) << error;
        std::vector<double> broken = mics.target;
        broken[1234] = std::nan("");
        ASSERT_TRUE(WriteMono(folder->File("nan.wav"), {48000.0, broken}, error)) << error;
    }
    static void TearDownTestSuite() { delete folder; }
    static std::string F(const std::string& name) { return Quote(folder->File(name)); }
    // The analysis of the demo's pair, the start of most runs.
    static std::string AnalyzePair() {
        return "analyze --reference " + F("ref.wav") + " --target " + F("tgt.flac");
    }
    static TempFolder* folder;
};
TempFolder* CliFiles::folder = nullptr;

// A PNG of the whole editor: 730 x 330 pixels.
static void ExpectEditorPicture(const std::string& path) {
    const std::string png = ReadWholeFile(path);
    ASSERT_GT(png.size(), 24u) << path;
    EXPECT_EQ(png.compare(1, 3, "PNG"), 0);
    auto be32 = [&](std::size_t at) {
        return (unsigned char)png[at] << 24 | (unsigned char)png[at + 1] << 16 |
               (unsigned char)png[at + 2] << 8 | (unsigned char)png[at + 3];
    };
    EXPECT_EQ(be32(16), 730u);
    EXPECT_EQ(be32(20), 330u);
}

TEST(VorellineDemo, RecoversTheKnownResponse) {
    TempFolder scratch;
    const std::string picture = scratch.File("demo.png");
    const ToolRun r = RunVorelline(scratch, "demo --json --png " + Quote(picture));
    ASSERT_EQ(r.status, 0) << r.err;
    ExpectEditorPicture(picture);
    const std::vector<double> known = JsonNumbers(r.out, "knownDb");
    const std::vector<double> measured = JsonNumbers(r.out, "measuredDb");
    ASSERT_EQ(known.size(), 33u);
    ASSERT_EQ(measured.size(), 33u);
    // The measured difference follows the known response within 0.5 dB in every band (the lowest bands
    // hold few FFT bins, so noise weights them unevenly); the correction, played and measured again,
    // leaves the target within 1 dB of the reference everywhere and 0.3 dB rms.
    for (std::size_t k = 0; k < known.size(); ++k)
        EXPECT_NEAR(measured[k], known[k], 0.5) << "band " << k;
    EXPECT_LE(JsonNumbers(r.out, "maxAchievedErrorDb").at(0), 1.0);
    EXPECT_LE(JsonNumbers(r.out, "rmsAchievedErrorDb").at(0), 0.3);

    // The measurement starts protected: the demo's dynamic microphone would get +28 dB at 20 Hz.
    EXPECT_GT(JsonNumbers(r.out, "largestExactBoostDb").at(0), 20.0);
    EXPECT_LE(JsonNumbers(r.out, "largestProtectedBoostDb").at(0), 12.05);
    EXPECT_GE(JsonNumbers(r.out, "limitedBands").at(0), 3.0);
    EXPECT_EQ(JsonNumbers(r.out, "coherence").size(), 33u);

    const ToolRun table = RunVorelline(scratch, "demo");
    ASSERT_EQ(table.status, 0);
    EXPECT_NE(table.out.find("corrected target vs reference"), std::string::npos);
    EXPECT_NE(table.out.find("protection: largest boost +12.0 dB"), std::string::npos);
}

TEST_F(CliFiles, AnalyzeSaveInfoDesignApply) {
    TempFolder scratch;
    const std::string alg = Quote(scratch.File("m.alg"));
    const ToolRun a = RunVorelline(scratch, AnalyzePair() + " --save-alg " + alg + " --json");
    ASSERT_EQ(a.status, 0) << a.err;
    for (const char* key : {"sampleRate", "workingSampleRate", "resolution", "outputSelection",
                            "inputSelection", "gainPosition", "levelMatchGain", "iterations"})
        EXPECT_EQ(JsonNumbers(a.out, key).size(), 1u) << key;
    for (const char* key : {"targetBands", "referenceBands", "userCurve", "calibrationGain"})
        EXPECT_EQ(JsonNumbers(a.out, key).size(), 153u) << key;
    for (const char* key : {"sectionGain", "curveMeasured", "curveResult", "curveDesired"})
        EXPECT_EQ(JsonNumbers(a.out, key).size(), 33u) << key;
    EXPECT_EQ(JsonNumbers(a.out, "sections").size(), 99u);
    EXPECT_EQ(JsonNumbers(a.out, "outputSelection")[0], 1.0);
    EXPECT_GT(JsonNumbers(a.out, "iterations")[0], 1.0);

    const ToolRun info = RunVorelline(scratch, "info " + alg + " --json");
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_EQ(JsonNumbers(info.out, "version")[0], 2019.0);
    EXPECT_EQ(JsonNumbers(info.out, "flags")[0], 2.0);
    EXPECT_EQ(JsonNumbers(info.out, "targetBands"), JsonNumbers(a.out, "targetBands"));
    EXPECT_EQ(JsonNumbers(info.out, "userCurve").size(), 33u);

    // Loading the file at the same rate rebuilds exactly the same correction.
    const std::string picture = scratch.File("design.png");
    const ToolRun d = RunVorelline(scratch, "design --alg " + alg + " --json --png " + Quote(picture));
    ASSERT_EQ(d.status, 0) << d.err;
    ExpectEditorPicture(picture);
    for (const char* key : {"sectionGain", "sections", "levelMatchGain", "curveResult"})
        EXPECT_EQ(JsonNumbers(d.out, key), JsonNumbers(a.out, key)) << key;

    const std::string out = scratch.File("corrected.wav");
    const ToolRun ap = RunVorelline(scratch, "apply " + alg + " " + F("tgt.flac") + " -o " + Quote(out));
    ASSERT_EQ(ap.status, 0) << ap.err;
    MonoAudio corrected, target;
    std::string error;
    ASSERT_TRUE(ReadFirstChannel(out, corrected, error)) << error;
    ASSERT_TRUE(ReadFirstChannel(folder->File("tgt.flac"), target, error));
    EXPECT_EQ(corrected.sampleRate, 48000.0);
    EXPECT_EQ(corrected.samples.size(), target.samples.size());

    const ToolRun raw = RunVorelline(scratch, "apply " + alg + " " + F("tgt.flac") + " -o " + Quote(out) +
                                                  " --output target");
    ASSERT_EQ(raw.status, 0) << raw.err;
    ASSERT_TRUE(ReadFirstChannel(out, corrected, error));
    for (std::size_t i = 0; i < 1000; ++i)
        EXPECT_NEAR(corrected.samples[i], target.samples[i], 1e-6);
}

namespace {

double LargestCorrectionDb(const std::string& json) {
    const auto measured = JsonNumbers(json, "curveMeasured"), result = JsonNumbers(json, "curveResult");
    double largest = -1e9;
    for (std::size_t k = 0; k < measured.size() && k < result.size(); ++k)
        largest = std::max(largest, 20.0 * std::log10(result[k] / measured[k]));
    return largest;
}

} // namespace

// Confidence, checks and protection in the analysis, and the options that change the protection.
TEST_F(CliFiles, AnalyzeConfidenceProtectionAndChecks) {
    TempFolder scratch;
    const std::string plain = AnalyzePair() + " --json";
    const ToolRun p = RunVorelline(scratch, plain);
    ASSERT_EQ(p.status, 0) << p.err;
    EXPECT_NE(p.out.find("\"qualityKnown\": true"), std::string::npos);
    EXPECT_NE(p.out.find("\"protected\": true"), std::string::npos);
    EXPECT_NE(p.out.find("\"status\": \"trusted "), std::string::npos);
    const auto coherence = JsonNumbers(p.out, "coherence");
    ASSERT_EQ(coherence.size(), 153u);
    for (double c : coherence)
        EXPECT_TRUE(c >= 0.0 && c <= 1.0);
    const auto limited = JsonNumbers(p.out, "protectionLimited");
    ASSERT_EQ(limited.size(), 33u);
    EXPECT_EQ(limited[0], 1.0); // the demo microphone's roll-off at 20 Hz
    EXPECT_EQ(JsonNumbers(p.out, "protectionCorrectionDb").size(), 33u);
    EXPECT_EQ(JsonNumbers(p.out, "targetClippedSamples").at(0), 0.0);
    EXPECT_EQ(JsonNumbers(p.out, "delayMs").size(), 1u);
    EXPECT_LE(LargestCorrectionDb(p.out), 12.01);

    const ToolRun exact = RunVorelline(scratch, plain + " --exact");
    ASSERT_EQ(exact.status, 0) << exact.err;
    EXPECT_NE(exact.out.find("\"protected\": false"), std::string::npos);
    for (double v : JsonNumbers(exact.out, "userCurve"))
        EXPECT_EQ(v, 1.0);
    EXPECT_GT(LargestCorrectionDb(exact.out), 20.0);

    const ToolRun unlimited = RunVorelline(scratch, plain + " --max-boost 0");
    ASSERT_EQ(unlimited.status, 0) << unlimited.err;
    for (double v : JsonNumbers(unlimited.out, "protectionLimited"))
        EXPECT_EQ(v, 0.0);
    EXPECT_GT(LargestCorrectionDb(unlimited.out), 20.0);
    const ToolRun six = RunVorelline(scratch, plain + " --max-boost 6");
    ASSERT_EQ(six.status, 0) << six.err;
    EXPECT_LE(LargestCorrectionDb(six.out), 6.01);

    for (const char* bad : {"--max-boost x", "--max-boost -3", "--max-boost"})
        EXPECT_EQ(RunVorelline(scratch, plain + " " + bad).status, 2) << bad;

    // One input silent: refused with the plug-in's message.
    std::string error;
    ASSERT_TRUE(WriteMono(scratch.File("silent.wav"), {48000.0, std::vector<double>(600000, 0.0)}, error));
    const ToolRun silent = RunVorelline(scratch, "analyze --reference " + F("ref.wav") + " --target " +
                                                     Quote(scratch.File("silent.wav")));
    EXPECT_EQ(silent.status, 1);
    EXPECT_NE(silent.err.find("target microphone's input is silent"), std::string::npos) << silent.err;

    const ToolRun table = RunVorelline(scratch, AnalyzePair());
    ASSERT_EQ(table.status, 0) << table.err;
    EXPECT_NE(table.out.find("measurement: trusted "), std::string::npos);
    EXPECT_NE(table.out.find("(limited)"), std::string::npos);
}

TEST_F(CliFiles, SwapHighResolutionAndCalibration) {
    TempFolder scratch;
    const std::string plain = AnalyzePair() + " --json";
    const ToolRun base = RunVorelline(scratch, plain);
    ASSERT_EQ(base.status, 0) << base.err;

    const ToolRun swapped = RunVorelline(scratch, plain + " --swap");
    ASSERT_EQ(swapped.status, 0) << swapped.err;
    EXPECT_EQ(JsonNumbers(swapped.out, "inputSelection")[0], 1.0);
    EXPECT_EQ(JsonNumbers(swapped.out, "targetBands"), JsonNumbers(base.out, "targetBands"));

    const ToolRun high = RunVorelline(scratch, plain + " --high");
    ASSERT_EQ(high.status, 0) << high.err;
    EXPECT_EQ(JsonNumbers(high.out, "sectionGain").size(), 120u);
    EXPECT_EQ(JsonNumbers(high.out, "sections").size(), 360u);

    const std::string cal = scratch.Write("mic.frd", "\"maker header\"\n10 6\n30000 6\n");
    const ToolRun c = RunVorelline(scratch, plain + " --calibration " + Quote(cal));
    ASSERT_EQ(c.status, 0) << c.err;
    const std::vector<double> withCal = JsonNumbers(c.out, "referenceBands");
    const std::vector<double> without = JsonNumbers(base.out, "referenceBands");
    ASSERT_EQ(withCal.size(), 153u);
    for (std::size_t k = 0; k < 153; ++k)
        EXPECT_NEAR(withCal[k] * std::pow(10.0, 6.0 / 20.0), without[k], without[k] * 1e-12);

    const ToolRun shown = RunVorelline(scratch, "calibration " + Quote(cal) + " --json");
    ASSERT_EQ(shown.status, 0) << shown.err;
    EXPECT_NE(shown.out.find("\"label\": \"mic.frd\""), std::string::npos);
    EXPECT_NE(shown.out.find("\"valid\": true"), std::string::npos);
    EXPECT_EQ(JsonNumbers(shown.out, "pairs")[0], 2.0);
    EXPECT_EQ(JsonNumbers(shown.out, "gain"), std::vector<double>(153, std::pow(10.0, 6.0 / 20.0)));
}

TEST_F(CliFiles, RefusalsAndUsage) {
    TempFolder scratch;
    struct Case {
        const char* what;
        std::string arguments;
        int status;
        std::string err;
    };
    scratch.Write("new.alg", std::string("\xe4\x07\0\0", 4) + std::string(2772, '\0'));
    scratch.Write("old.alg", std::string("\xe2\x07\0\0", 4) + std::string(2772, '\0'));
    scratch.Write("cut.alg", std::string("\xe3\x07\0\0", 4) + std::string(2000, '\0'));
    // Binary noise read as a table: pairs whose frequencies fall back; and pairs at 0 Hz only.
    scratch.Write("random.frd", std::string("5\x01 2\xff\n3 7\x80\n.\x02\x03 9x", 17));
    scratch.Write("zero.frd", ". 1\n. 2\n");
    const std::vector<Case> cases = {
        {"too short", "analyze --reference " + F("short.wav") + " --target " + F("tgt.flac"), 1,
         "needs 524288 samples (10.92 s)"},
        {"sample rates differ", "analyze --reference " + F("ref.wav") + " --target " + F("other-rate.wav"), 1,
         "different sample rates"},
        {"NaN in a recording", "analyze --reference " + F("ref.wav") + " --target " + F("nan.wav"), 1,
         "not finite"},
        {"newer file", "info " + Quote(scratch.File("new.alg")), 1,
         "ALG file is damaged (or created by a newer version of the program).\n"},
        {"old file", "design --alg " + Quote(scratch.File("old.alg")), 1,
         "Old version of the ALG file is not supported.\n"},
        {"cut file",
         "apply " + Quote(scratch.File("cut.alg")) + " " + F("tgt.flac") + " -o " +
             Quote(scratch.File("x.wav")),
         1, "ALG file is damaged"},
        {"missing alg", "info " + Quote(scratch.File("none.alg")), 1,
         "none.alg: cannot open the correction file: no such file\n"},
        {"folder as alg", "info " + Quote(scratch.Str()), 1,
         "cannot open the correction file: it is a folder, not a file\n"},
        {"missing calibration", "calibration " + Quote(scratch.File("none.frd")), 1,
         "none.frd: cannot open the calibration file: no such file\n"},
        {"random bytes as calibration", "calibration " + Quote(scratch.File("random.frd")), 1,
         "random.frd: not a calibration file: its frequencies do not rise from line to line (pair 2 of 3: 3 "
         "Hz "
         "after 5 Hz)\n"},
        {"no usable pair",
         "analyze --reference " + F("ref.wav") + " --target " + F("tgt.flac") + " --calibration " +
             Quote(scratch.File("zero.frd")),
         1, "zero.frd: not a calibration file: 0 of its 2 pairs have a frequency above 0 Hz"},
        {"folder as audio", "analyze --reference " + Quote(scratch.Str()) + " --target " + F("tgt.flac"), 1,
         "\": it is a folder, not a file\n"},
        {"missing audio",
         "analyze --reference " + F("ref.wav") + " --target " + Quote(scratch.File("none.wav")), 1,
         "none.wav\": no such file\n"},
        {"rate too low", "design --alg x.alg --rate 1", 2, "--rate needs a whole number of hertz from 8000"},
        {"rate too high", "design --alg x.alg --rate 1e12", 2, "--rate needs a whole number of hertz"},
        {"no command", "", 2, "usage: vorelline analyze"},
        {"unknown option", "info --verbose x.alg", 2, "usage: vorelline info FILE.alg [--json]"},
        {"missing target", "analyze --reference " + F("ref.wav"), 2, "usage: vorelline analyze"},
        {"bad rate", "design --alg x.alg --rate fast", 2, "usage: vorelline design"},
        {"bad output", "apply a.alg b.wav -o c.wav --output both", 2, "usage: vorelline apply"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunVorelline(scratch, c.arguments);
        EXPECT_EQ(r.status, c.status) << c.what << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.what << "\n" << r.err;
    }
}

// Every command explains itself: what it does, each option with its default (or that it is
// required), and an example; the tool names its version.
TEST(VorellineHelp, EveryCommandDescribesEachOptionWithItsDefault) {
    TempFolder scratch;
    const ToolRun version = RunVorelline(scratch, "--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "vorelline 2.0.3\n");
    const ToolRun overview = RunVorelline(scratch, "--help");
    ASSERT_EQ(overview.status, 0);
    for (const char* command : {"analyze", "design", "apply", "export", "calibration", "info", "demo"}) {
        SCOPED_TRACE(command);
        EXPECT_NE(overview.out.find(std::string("\n  ") + command + " "), std::string::npos);
        const ToolRun r = RunVorelline(scratch, std::string(command) + " --help");
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(r.out.rfind(std::string("usage: vorelline ") + command, 0), 0u);
        EXPECT_NE(r.out.find(std::string("\nexample:\n  vorelline ") + command + " "), std::string::npos);
        EXPECT_EQ(RunVorelline(scratch, std::string("help ") + command).out, r.out);

        // The options section: one entry per option, its text wrapped onto indented lines.
        const std::size_t from = r.out.find("\noptions:\n"), to = r.out.find("\nexample:");
        ASSERT_NE(from, std::string::npos);
        std::vector<std::string> entries;
        std::istringstream lines(r.out.substr(from + 10, to - from - 10));
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("   ", 0) == 0 && !entries.empty())
                entries.back() += line;
            else if (line.rfind("  ", 0) == 0)
                entries.push_back(line);
        }
        const std::string usage = r.out.substr(0, r.out.find('\n'));
        for (std::size_t at = usage.find(" -"); at != std::string::npos; at = usage.find(" -", at + 1)) {
            const std::string option = usage.substr(at + 1, usage.find_first_of(" ]", at + 1) - at - 1);
            EXPECT_TRUE(
                std::any_of(entries.begin(), entries.end(),
                            [&](const std::string& e) { return e.rfind("  " + option + " ", 0) == 0; }))
                << option << " is not described";
        }
        for (const std::string& e : entries)
            EXPECT_TRUE(e.find("(default:") != std::string::npos || e.find("(required)") != std::string::npos)
                << e;
    }
    EXPECT_EQ(RunVorelline(scratch, "help frob").status, 2);
}

// The plug-in's own message texts stand unchanged, with the tool's name and the file around them.
TEST_F(CliFiles, MessagesNameTheFileTheyAreAbout) {
    TempFolder scratch;
    const std::string missingAlg = scratch.File("none.alg"), missingCal = scratch.File("none.frd");
    const std::string noFolder = scratch.File("no-such-folder/m.alg");
    const std::string recordings = "--reference " + F("ref.wav") + " --target " + F("tgt.flac");
    const std::string damaged =
        scratch.Write("new.alg", std::string("\xe4\x07\0\0", 4) + std::string(2772, '\0'));
    struct Case {
        std::string arguments, line;
    };
    const std::string noAlg = "vorelline: " + missingAlg + ": cannot open the correction file: no such file";
    const std::string noCal = "vorelline: " + missingCal + ": cannot open the calibration file: no such file";
    const std::vector<Case> cases = {
        {"info " + Quote(missingAlg), noAlg},
        {"design --alg " + Quote(missingAlg), noAlg},
        {"apply " + Quote(missingAlg) + " " + F("tgt.flac") + " -o x.wav", noAlg},
        {"export " + Quote(missingAlg) + " --peq x.txt", noAlg},
        {"calibration " + Quote(missingCal), noCal},
        {"analyze " + recordings + " --calibration " + Quote(missingCal), noCal},
        {"design --alg " + Quote(damaged),
         "vorelline: " + damaged + ": ALG file is damaged (or created by a newer version of the program)."},
        {"analyze " + recordings + " --save-alg " + Quote(noFolder),
         "vorelline: cannot write " + noFolder + ": the folder does not exist (nothing was written)"},
    };
    for (const Case& c : cases) {
        const ToolRun r = RunVorelline(scratch, c.arguments);
        EXPECT_EQ(r.status, 1) << c.arguments;
        EXPECT_EQ(r.err, c.line + "\n") << c.arguments;
    }
}

// Progress is drawn on a terminal only, and not even there with --quiet; what the command writes is
// the same either way.
TEST_F(CliFiles, ProgressOnlyOnATerminalAndNotWhenQuiet) {
    TempFolder scratch;
    const std::string alg = Quote(scratch.File("m.alg"));
    ASSERT_EQ(RunVorelline(scratch, AnalyzePair() + " --save-alg " + alg).status, 0);
    const std::string apply = "apply " + alg + " " + F("tgt.flac") + " -o ";
    const ToolRun toFiles = RunVorelline(scratch, apply + Quote(scratch.File("piped.wav")));
    ASSERT_EQ(toFiles.status, 0) << toFiles.err;
    EXPECT_EQ(toFiles.err, "");

    // `script` gives the tool a terminal and copies what appears on it.
    auto onTerminal = [&](const std::string& arguments) {
        const std::string tool = VorellineCommand(scratch, arguments);
        std::string quotedTool;
        for (char c : tool)
            quotedTool += c == '\'' ? std::string("'\\''") : std::string(1, c);
        const std::string screen = scratch.File("screen.txt");
        const int raw = std::system(("script -qec '" + quotedTool + "' /dev/null >" + Quote(screen)).c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << arguments;
        return ReadWholeFile(screen);
    };
    const std::string screen = onTerminal(apply + Quote(scratch.File("shown.wav")));
    EXPECT_NE(screen.find("\rvorelline: reading tgt.flac"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\rvorelline: playing  100%"), std::string::npos) << screen;
    EXPECT_NE(screen.find("\rvorelline: writing shown.wav  100%"), std::string::npos) << screen;
    EXPECT_EQ(onTerminal("--quiet " + apply + Quote(scratch.File("quiet.wav"))), "");
    MonoAudio piped, shown, quiet;
    std::string error;
    ASSERT_TRUE(ReadFirstChannel(scratch.File("piped.wav"), piped, error)) << error;
    ASSERT_TRUE(ReadFirstChannel(scratch.File("shown.wav"), shown, error)) << error;
    ASSERT_TRUE(ReadFirstChannel(scratch.File("quiet.wav"), quiet, error)) << error;
    EXPECT_EQ(shown.samples, piped.samples);
    EXPECT_EQ(quiet.samples, piped.samples);
}

} // namespace
