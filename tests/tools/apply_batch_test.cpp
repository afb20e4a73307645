// vorelline apply with several files: formats, rates and channels kept, every channel corrected,
// inputs never overwritten.
#include "support/gaussian_noise.h"
#include "tools/tool_run.h"
#include "tools/vorelline/audio_file.h"
#include "tools/vorelline/demo_microphones.h"
#include "tools/vorelline/measurement.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sndfile.h>
#include <vector>

namespace {

struct Sound {
    SF_INFO info{};
    std::vector<double> interleaved;
};

Sound ReadSound(const std::string& path) {
    Sound s;
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &s.info);
    EXPECT_NE(f, nullptr) << path;
    if (!f) return s;
    s.interleaved.resize(static_cast<std::size_t>(s.info.frames * s.info.channels));
    sf_readf_double(f, s.interleaved.data(), s.info.frames);
    sf_close(f);
    return s;
}

void WriteSound(const std::string& path, int format, int rate, int channels,
                const std::vector<double>& samples) {
    SF_INFO info{};
    info.format = format;
    info.samplerate = rate;
    info.channels = channels;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << path << ": " << sf_strerror(nullptr);
    sf_writef_double(f, samples.data(), static_cast<sf_count_t>(samples.size() / channels));
    sf_close(f);
}

class BatchFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        std::string error;
        ASSERT_TRUE(WriteDemoRecordings(*folder, "ref.wav", "tgt.wav", error)) << error;
        const ToolRun r = RunVorelline(*folder, "analyze --reference " + F("ref.wav") + " --target " +
                                                    F("tgt.wav") + " --save-alg " + F("m.alg"));
        ASSERT_EQ(r.status, 0) << r.err;
    }
    static void TearDownTestSuite() { delete folder; }
    static std::string F(const std::string& name) { return Quote(folder->File(name)); }
    static TempFolder* folder;
};
TempFolder* BatchFiles::folder = nullptr;

// Each file keeps its container, sample format, rate and channel count, and each channel is what
// the single-file command makes of it alone.
TEST_F(BatchFiles, KeepsFormatsAndCorrectsEveryChannel) {
    TempFolder scratch;
    const std::vector<double> left = GaussianNoise(30000, 1, 0.05), right = GaussianNoise(30000, 2, 0.05);
    std::vector<double> stereo;
    for (std::size_t i = 0; i < left.size(); ++i)
        stereo.insert(stereo.end(), {left[i], right[i]});
    WriteSound(scratch.File("stereo.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, stereo);
    WriteSound(scratch.File("mono.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1,
               GaussianNoise(20000, 3, 0.05));
    WriteSound(scratch.File("right.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 1, right);

    const std::string out = scratch.File("out");
    const ToolRun r = RunVorelline(scratch, "apply " + F("m.alg") + " " + Quote(scratch.File("stereo.wav")) +
                                                " " + Quote(scratch.File("mono.flac")) + " -o " + Quote(out));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("[1/2] "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("[2/2] "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("corrected 2 of 2 files into " + out), std::string::npos) << r.out;

    const Sound flac = ReadSound(out + "/mono.flac");
    EXPECT_EQ(flac.info.format, SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    EXPECT_EQ(flac.info.samplerate, 44100);
    EXPECT_EQ(flac.info.frames, 20000);

    const Sound both = ReadSound(out + "/stereo.wav");
    ASSERT_EQ(both.info.format, SF_FORMAT_WAV | SF_FORMAT_FLOAT);
    ASSERT_EQ(both.info.channels, 2);
    ASSERT_EQ(both.info.frames, 30000);
    const ToolRun single =
        RunVorelline(scratch, "apply " + F("m.alg") + " " + Quote(scratch.File("right.wav")) + " -o " +
                                  Quote(scratch.File("right-out.wav")));
    ASSERT_EQ(single.status, 0) << single.err;
    const Sound alone = ReadSound(scratch.File("right-out.wav"));
    ASSERT_EQ(alone.info.frames, 30000);
    double changed = 0;
    for (std::size_t i = 0; i < 30000; ++i) {
        ASSERT_EQ(both.interleaved[2 * i + 1], alone.interleaved[i]) << i;
        changed = std::max(changed, std::fabs(both.interleaved[2 * i] - left[i]));
    }
    EXPECT_GT(changed, 1e-3); // the left channel is corrected too, not copied

    // An existing folder as -o takes a single file the same way.
    const ToolRun one = RunVorelline(scratch, "apply " + F("m.alg") + " " + Quote(scratch.File("right.wav")) +
                                                  " -o " + Quote(out));
    ASSERT_EQ(one.status, 0) << one.err;
    EXPECT_TRUE(std::filesystem::exists(out + "/right.wav"));
}

TEST_F(BatchFiles, RefusesToOverwriteInputsAndReportsFailures) {
    TempFolder scratch;
    std::filesystem::create_directories(scratch.File("a"));
    std::filesystem::create_directories(scratch.File("b"));
    WriteSound(scratch.File("a/take.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1,
               GaussianNoise(5000, 4, 0.05));
    WriteSound(scratch.File("b/take.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1,
               GaussianNoise(5000, 5, 0.05));
    const std::string original = ReadWholeFile(scratch.File("a/take.wav"));
    const std::string a = Quote(scratch.File("a/take.wav"));

    const ToolRun over =
        RunVorelline(scratch, "apply " + F("m.alg") + " " + a + " -o " + Quote(scratch.File("a")));
    EXPECT_EQ(over.status, 2);
    EXPECT_NE(over.err.find("the output " + scratch.File("a/take.wav") + " is the input " +
                            scratch.File("a/take.wav")),
              std::string::npos)
        << over.err;
    EXPECT_EQ(ReadWholeFile(scratch.File("a/take.wav")), original);

    const ToolRun same =
        RunVorelline(scratch, "apply " + F("m.alg") + " " + a + " " + Quote(scratch.File("b/take.wav")) +
                                  " -o " + Quote(scratch.File("c")));
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("are the same file"), std::string::npos) << same.err;
    EXPECT_FALSE(std::filesystem::exists(scratch.File("c/take.wav")));

    // A file that cannot be read is reported; the others are still written.
    scratch.Write("junk.wav", "not audio");
    const ToolRun mixed =
        RunVorelline(scratch, "apply " + F("m.alg") + " " + Quote(scratch.File("junk.wav")) + " " + a +
                                  " -o " + Quote(scratch.File("d") + "/"));
    EXPECT_EQ(mixed.status, 1);
    EXPECT_NE(mixed.err.find("junk.wav: cannot read audio file"), std::string::npos) << mixed.err;
    EXPECT_NE(mixed.out.find("corrected 1 of 2 files into"), std::string::npos) << mixed.out;
    EXPECT_NE(mixed.out.find("failed: " + scratch.File("junk.wav")), std::string::npos) << mixed.out;
    EXPECT_EQ(ReadSound(scratch.File("d/take.wav")).info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_24);
}

} // namespace
