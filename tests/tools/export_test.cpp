// vorelline export: the impulse response and the parametric-EQ lines against what `apply` plays.
#include "engine/fft.h"
#include "tools/tool_run.h"
#include "tools/vorelline/audio_file.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/measurement.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <numbers>
#include <random>
#include <sndfile.h>
#include <vector>

namespace {

// x convolved with h, the first x.size() samples, through one large transform.
std::vector<double> Convolve(const std::vector<double>& x, const std::vector<double>& h) {
    int order = 1;
    while ((std::size_t{1} << order) < x.size() + h.size())
        ++order;
    const std::size_t n = std::size_t{1} << order;
    std::vector<double> xr(n), xi(n), hr(n), hi(n);
    std::copy(x.begin(), x.end(), xr.begin());
    std::copy(h.begin(), h.end(), hr.begin());
    EXPECT_TRUE(Fft(xr.data(), xi.data(), order));
    EXPECT_TRUE(Fft(hr.data(), hi.data(), order));
    // The inverse transform as the forward one of the conjugate.
    for (std::size_t k = 0; k < n; ++k) {
        const std::complex<double> y =
            std::complex<double>(xr[k], xi[k]) * std::complex<double>(hr[k], hi[k]);
        xr[k] = y.real();
        xi[k] = -y.imag();
    }
    EXPECT_TRUE(Fft(xr.data(), xi.data(), order));
    std::vector<double> y(x.size());
    for (std::size_t i = 0; i < y.size(); ++i)
        y[i] = xr[i] / static_cast<double>(n);
    return y;
}

// The usual biquad peaking filter's magnitude (numerator 1 + aA, -2cos, 1 - aA over 1 + a/A, -2cos,
// 1 - a/A with a = sin(w0)/(2Q), A = 10^(dB/40)), written out here independently of the tool.
double PeakingMagnitude(double fc, double db, double q, double rate, double hz) {
    const double A = std::pow(10.0, db / 40.0), w0 = 2 * std::numbers::pi * fc / rate;
    const double a = std::sin(w0) / (2 * q), c = std::cos(w0);
    const std::complex<double> z1 = std::polar(1.0, -2 * std::numbers::pi * hz / rate), z2 = z1 * z1;
    return std::abs((1 + a * A - 2 * c * z1 + (1 - a * A) * z2) /
                    (1 + a / A - 2 * c * z1 + (1 - a / A) * z2));
}

double DftMagnitude(const std::vector<double>& h, double rate, double hz) {
    std::complex<double> sum = 0;
    for (std::size_t n = 0; n < h.size(); ++n)
        sum += h[n] * std::polar(1.0, -2 * std::numbers::pi * hz * static_cast<double>(n) / rate);
    return std::abs(sum);
}

struct WavInfo {
    int format = 0;
    int rate = 0;
    std::vector<double> samples;
};

WavInfo ReadWav(const std::string& path) {
    WavInfo w;
    MonoAudio audio;
    std::string error;
    EXPECT_TRUE(ReadFirstChannel(path, audio, error)) << error;
    SF_INFO info{};
    if (SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info)) sf_close(f);
    w.format = info.format;
    w.rate = info.samplerate;
    w.samples = audio.samples;
    return w;
}

// One correction measured from the demo's microphones, and a second of noise to correct.
class ExportFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        std::string error;
        ASSERT_TRUE(WriteDemoRecordings(*folder, "ref.wav", "tgt.wav", error)) << error;
        std::mt19937 random(21);
        std::normal_distribution<double> noise(0.0, 0.1);
        std::vector<double> take(96000);
        for (double& v : take)
            v = noise(random);
        ASSERT_TRUE(WriteMono(folder->File("take.wav"), {48000.0, take}, error)) << error;
        const ToolRun r = RunVorelline(*folder, "analyze --reference " + F("ref.wav") + " --target " +
                                                    F("tgt.wav") + " --save-alg " + F("m.alg") + " --json");
        ASSERT_EQ(r.status, 0) << r.err;
        analysis = new std::string(r.out);
    }
    static void TearDownTestSuite() {
        delete folder;
        delete analysis;
    }
    static std::string F(const std::string& name) { return Quote(folder->File(name)); }
    static TempFolder* folder;
    static std::string* analysis;
};
TempFolder* ExportFiles::folder = nullptr;
std::string* ExportFiles::analysis = nullptr;

TEST_F(ExportFiles, ImpulseResponseConvolvedEqualsApply) {
    TempFolder scratch;
    const ToolRun e =
        RunVorelline(scratch, "export " + F("m.alg") + " --ir " + Quote(scratch.File("ir.wav")));
    ASSERT_EQ(e.status, 0) << e.err;
    EXPECT_NE(e.out.find("level at 20 Hz"), std::string::npos) << e.out;
    const WavInfo ir = ReadWav(scratch.File("ir.wav"));
    EXPECT_EQ(ir.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    EXPECT_EQ(ir.rate, 48000);
    ASSERT_GT(ir.samples.size(), 1000u);
    EXPECT_LT(ir.samples.size(), 96000u); // shorter than the take, so the whole response is compared

    const ToolRun ap = RunVorelline(scratch, "apply " + F("m.alg") + " " + F("take.wav") + " -o " +
                                                 Quote(scratch.File("applied.wav")));
    ASSERT_EQ(ap.status, 0) << ap.err;
    const std::vector<double> applied = ReadWav(scratch.File("applied.wav")).samples;
    const std::vector<double> convolved = Convolve(ReadWav(folder->File("take.wav")).samples, ir.samples);
    ASSERT_EQ(applied.size(), convolved.size());
    double level = 0, error = 0;
    for (std::size_t i = 0; i < applied.size(); ++i) {
        level = std::max(level, std::fabs(applied[i]));
        error = std::max(error, std::fabs(applied[i] - convolved[i]));
    }
    EXPECT_LT(20 * std::log10(error / level), -100.0) << e.out;

    // A given length cuts the same response; another rate gives a file at that rate.
    const ToolRun cut = RunVorelline(scratch, "export " + F("m.alg") + " --length 4096 --ir " +
                                                  Quote(scratch.File("cut.wav")));
    ASSERT_EQ(cut.status, 0) << cut.err;
    const std::vector<double> shortIr = ReadWav(scratch.File("cut.wav")).samples;
    ASSERT_EQ(shortIr.size(), 4096u);
    EXPECT_TRUE(std::equal(shortIr.begin(), shortIr.end(), ir.samples.begin()));
    const ToolRun other = RunVorelline(scratch, "export " + F("m.alg") + " --rate 44100 --length 100 --ir " +
                                                    Quote(scratch.File("44k.wav")));
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(ReadWav(scratch.File("44k.wav")).rate, 44100);
}

TEST_F(ExportFiles, EqualizerLinesReproduceTheImpulseResponse) {
    TempFolder scratch;
    const ToolRun e =
        RunVorelline(scratch, "export " + F("m.alg") + " --peq " + Quote(scratch.File("eq.txt")) + " --ir " +
                                  Quote(scratch.File("ir.wav")));
    ASSERT_EQ(e.status, 0) << e.err;
    const std::string text = ReadWholeFile(scratch.File("eq.txt"));

    double preamp = NAN;
    struct Filter {
        double fc, db, q;
    };
    std::vector<Filter> filters;
    std::istringstream lines(text);
    std::string line;
    // The rate the lines are made for, as a comment equalizers skip.
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "# Sample rate: 48000 Hz. These filters are made for this rate only; export again for "
                    "another.");
    ASSERT_TRUE(std::getline(lines, line));
    ASSERT_EQ(std::sscanf(line.c_str(), "Preamp: %lf dB", &preamp), 1) << line;
    for (int n = 1; std::getline(lines, line); ++n) {
        Filter f{};
        int number = 0;
        char on[4] = {}, type[4] = {};
        ASSERT_EQ(std::sscanf(line.c_str(), "Filter %d: %3s %3s Fc %lf Hz Gain %lf dB Q %lf", &number, on,
                              type, &f.fc, &f.db, &f.q),
                  6)
            << line;
        EXPECT_EQ(number, n);
        EXPECT_STREQ(on, "ON");
        EXPECT_STREQ(type, "PK");
        filters.push_back(f);
    }
    EXPECT_EQ(filters.size(), 33u); // the demo's correction leaves no section flat
    // The preamp is the correction's level match.
    size_t at = analysis->find("\"levelMatchGain\": ");
    ASSERT_NE(at, std::string::npos);
    EXPECT_NEAR(preamp, 20 * std::log10(std::strtod(analysis->c_str() + at + 18, nullptr)), 0.0006);

    // The tool's own figure for the lines' error, which the user reads.
    at = e.out.find("is within ");
    ASSERT_NE(at, std::string::npos) << e.out;
    EXPECT_LT(std::strtod(e.out.c_str() + at + 10, nullptr), 0.01) << e.out;

    // Made for another rate, the lines say so.
    const ToolRun other = RunVorelline(scratch, "export " + F("m.alg") + " --rate 96000 --peq " +
                                                    Quote(scratch.File("96k.txt")));
    ASSERT_EQ(other.status, 0) << other.err;
    EXPECT_EQ(ReadWholeFile(scratch.File("96k.txt")).rfind("# Sample rate: 96000 Hz. ", 0), 0u);

    const std::vector<double> ir = ReadWav(scratch.File("ir.wav")).samples;
    for (double hz : {31.0, 100.0, 440.0, 1000.0, 3150.0, 8000.0, 12500.0, 19000.0}) {
        double db = preamp;
        for (const Filter& f : filters)
            db += 20 * std::log10(PeakingMagnitude(f.fc, f.db, f.q, 48000, hz));
        EXPECT_NEAR(db, 20 * std::log10(DftMagnitude(ir, 48000, hz)), 0.01) << hz << " Hz";
    }
}

TEST_F(ExportFiles, Refusals) {
    TempFolder scratch;
    const std::string ir = " --ir " + Quote(scratch.File("x.wav"));
    const struct {
        std::string arguments;
        int status;
        const char* err;
    } cases[] = {
        {"export " + F("m.alg"), 2, "--ir OUT.wav or --peq OUT.txt is needed"},
        {"export" + ir, 2, "a .alg file is needed"},
        {"export " + F("m.alg") + ir + " --length 0", 2, "--length needs"},
        {"export " + F("m.alg") + ir + " --length 2.5", 2, "--length needs"},
        {"export " + F("m.alg") + " --peq x.txt --length 100", 2, "--length belongs to --ir"},
        {"export " + F("m.alg") + ir + " --rate 1000", 2, "--rate needs"},
        {"export " + F("m.alg") + ir + " --rate 1e12", 2, "--rate needs"},
        {"export " + Quote(scratch.File("none.alg")) + ir, 1,
         "cannot open the correction file: no such file"},
        {"export " + F("m.alg") + " --ir " + Quote(scratch.File("no/such/folder/x.wav")), 1, "cannot write"},
    };
    for (const auto& c : cases) {
        const ToolRun r = RunVorelline(scratch, c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << c.arguments << "\n" << r.err;
    }
}

} // namespace
