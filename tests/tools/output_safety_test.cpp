// What the tool writes never costs the user a file: an output that is an input or another output is
// refused before anything happens, a write that fails (a full disk) leaves the old file as it was and
// nothing beside it, integer outputs do not clip unnoticed, and a file cut short is reported.
#include "support/gaussian_noise.h"
#include "tools/tool_run.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <numbers>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Every file under a folder with its bytes.
std::map<std::string, std::string> Snapshot(const TempFolder& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder.path))
        if (entry.is_regular_file() && entry.path().filename() != "stdout.txt" &&
            entry.path().filename() != "stderr.txt")
            files[entry.path().string()] = ReadWholeFile(entry.path().string());
    return files;
}

void WriteSound(const std::string& path, int format, int channels, const std::vector<double>& interleaved) {
    SF_INFO info{};
    info.format = format;
    info.samplerate = 48000;
    info.channels = channels;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << path << ": " << sf_strerror(nullptr);
    sf_writef_double(f, interleaved.data(), static_cast<sf_count_t>(interleaved.size() / channels));
    sf_close(f);
}

std::vector<double> Tone(double hz, double amplitude, std::size_t samples) {
    std::vector<double> v(samples);
    for (std::size_t i = 0; i < samples; ++i)
        v[i] = amplitude * std::sin(2 * std::numbers::pi * hz * static_cast<double>(i) / 48000.0);
    return v;
}

// The tool with a file size limit of 512 bytes ("ulimit -f" counts blocks of 512 in the POSIX shell):
// every file it writes stops short with EFBIG, as on a full disk.
ToolRun RunOnAFullDisk(const TempFolder& folder, const std::string& arguments) {
    const std::string out = folder.File("stdout.txt"), err = folder.File("stderr.txt");
    const std::string command =
        "ulimit -f 1; " + VorellineCommand(folder, arguments) + " >" + Quote(out) + " 2>" + Quote(err);
    ToolRun r;
    const int raw = std::system(command.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = ReadWholeFile(out);
    r.err = ReadWholeFile(err);
    return r;
}

// The demo's recordings, the correction measured from them, a short take, a calibration file.
class OutputFiles : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        folder = new TempFolder;
        std::string error;
        ASSERT_TRUE(WriteDemoRecordings(*folder, "ref.wav", "tgt.wav", error)) << error;
        const ToolRun r = RunVorelline(*folder, "analyze --reference " + F("ref.wav") + " --target " +
                                                    F("tgt.wav") + " --save-alg " + F("m.alg"));
        ASSERT_EQ(r.status, 0) << r.err;
        ASSERT_TRUE(WriteMono(folder->File("take.wav"), {48000.0, GaussianNoise(48000, 9, 0.05)}, error));
        folder->Write("cal.frd", "10 0\n20000 0\n");
    }
    static void TearDownTestSuite() { delete folder; }
    static std::string F(const std::string& name) { return Quote(folder->File(name)); }
    static TempFolder* folder;
};
TempFolder* OutputFiles::folder = nullptr;

// Each command with each output on each input and on its other output, by name, through a symbolic
// link and through a hard link: refused with both named, exit status 2, not a byte changed.
TEST_F(OutputFiles, AnOutputOverAnInputOrAnotherOutputIsRefused) {
    ASSERT_EQ(symlink(folder->File("take.wav").c_str(), folder->File("link-to-take.wav").c_str()), 0);
    ASSERT_EQ(link(folder->File("m.alg").c_str(), folder->File("hard-link-to-m.alg").c_str()), 0);
    folder->Write("a.wav", std::string("RIFF\0\0\0\0WAVE", 12));
    // The calibration the plug-in finds in its documents folder on its own.
    fs::create_directories(folder->File("Tessivane Vorelline"));
    const std::string found = folder->Write("Tessivane Vorelline/found.frd", "10 0\n20000 0\n");
    const std::string analyze = "analyze --reference " + F("ref.wav") + " --target " + F("tgt.wav") +
                                " --calibration " + F("cal.frd");
    struct Case {
        std::string arguments;
        std::string said; // the refusal names both files
    };
    const std::vector<Case> cases = {
        {analyze + " --save-alg " + F("ref.wav"), "the --save-alg output " + folder->File("ref.wav") +
                                                      " is the --reference input " + folder->File("ref.wav")},
        {analyze + " --save-alg " + F("tgt.wav"), "is the --target input"},
        {analyze + " --save-alg " + F("cal.frd"), "is the --calibration input"},
        {analyze + " --png " + F("ref.wav"), "the --png output"},
        {"analyze --reference " + F("ref.wav") + " --target " + F("tgt.wav") + " --png " + Quote(found),
         "the --png output " + found + " is the calibration input " + found},
        {analyze + " --png " + F("tgt.wav"), "is the --target input"},
        {analyze + " --png " + F("cal.frd"), "is the --calibration input"},
        {analyze + " --save-alg " + F("new") + " --png " + F("new"),
         "the --save-alg output " + folder->File("new") + " and the --png output " + folder->File("new") +
             " are the same file"},
        {"design --alg " + F("m.alg") + " --png " + F("m.alg"), "the --png output"},
        {"design --alg " + F("m.alg") + " --png " + F("hard-link-to-m.alg"), "is the --alg input"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + F("take.wav"), "the -o output"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + F("m.alg"), "is the correction input"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + F("link-to-take.wav"), "is the input"},
        {"apply " + F("m.alg") + " " + F("link-to-take.wav") + " -o " + F("take.wav"), "is the input"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + F("hard-link-to-m.alg"),
         "is the correction input"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " " + F("ref.wav") + " -o " + Quote(folder->Str()),
         "the output " + folder->File("take.wav") + " is the input " + folder->File("take.wav")},
        {"export " + F("m.alg") + " --ir " + F("m.alg"), "the --ir output"},
        {"combine " + F("m.alg") + " --like " + F("hard-link-to-m.alg") + " -o " + F("m.alg"), "the -o output"},
        {"export " + F("m.alg") + " --peq " + F("hard-link-to-m.alg"), "the --peq output"},
        {"export " + F("m.alg") + " --ir " + F("x") + " --peq " + F("x"), "are the same file"},
        // No input, but a recording that a picture would replace.
        {"demo --png " + F("a.wav"), "is an audio file, which a PNG picture would replace"},
        {"export " + F("m.alg") + " --peq " + F("ref.wav"),
         "is an audio file, which a text file would replace"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + Quote(folder->Str()) + "/", "is the input"},
    };
    const auto before = Snapshot(*folder);
    for (const Case& c : cases) {
        const ToolRun r = RunVorelline(*folder, c.arguments);
        EXPECT_EQ(r.status, 2) << c.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find("vorelline: refused: "), std::string::npos) << c.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find(c.said), std::string::npos) << c.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find("; nothing was written\n"), std::string::npos) << r.err;
        EXPECT_EQ(Snapshot(*folder), before) << c.arguments;
    }
    fs::remove(folder->File("link-to-take.wav"));
    fs::remove(folder->File("hard-link-to-m.alg"));
    fs::remove(folder->File("a.wav"));
    fs::remove(found);
}

// Each command writing over a good file on a disk that fills up.
TEST_F(OutputFiles, AWriteThatFailsKeepsTheOldFileAndSaysWhy) {
    TempFolder scratch;
    const std::string old = "the user's good file\n";
    const std::string analyze = "analyze --reference " + F("ref.wav") + " --target " + F("tgt.wav");
    const auto target = [&](const std::string& name) { return Quote(scratch.File(name)); };
    struct Case {
        std::string arguments;
        std::string target;
    };
    fs::create_directories(scratch.File("batch"));
    const std::vector<Case> cases = {
        {analyze + " --save-alg " + target("old.alg"), "old.alg"},
        {analyze + " --png " + target("old.png"), "old.png"},
        {"design --alg " + F("m.alg") + " --png " + target("old.png"), "old.png"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + target("old.wav"), "old.wav"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + target("old.flac"), "old.flac"},
        {"apply " + F("m.alg") + " " + F("take.wav") + " -o " + target("batch"), "batch/take.wav"},
        {"export " + F("m.alg") + " --ir " + target("old.wav"), "old.wav"},
        {"export " + F("m.alg") + " --peq " + target("old.txt"), "old.txt"},
        {"combine " + F("m.alg") + " --like " + F("m.alg") + " -o " + target("old.alg"), "old.alg"},
        {"demo --png " + target("old.png"), "old.png"},
    };
    for (const Case& c : cases) {
        scratch.Write(c.target, old);
        const auto before = Snapshot(scratch);
        const ToolRun r = RunOnAFullDisk(scratch, c.arguments);
        EXPECT_EQ(r.status, 1) << c.arguments << "\n" << r.err;
        EXPECT_NE(r.err.find("cannot write " + scratch.File(c.target) +
                             ": the file would be larger than the system allows here"),
                  std::string::npos)
            << c.arguments << "\n"
            << r.err;
        EXPECT_EQ(Snapshot(scratch), before) << c.arguments << ": the old file changed or a file was left";
    }

    // The limit alone is not what fails: without it the same command replaces the file.
    const ToolRun written = RunVorelline(scratch, "export " + F("m.alg") + " --peq " + target("old.txt"));
    ASSERT_EQ(written.status, 0) << written.err;
    EXPECT_NE(ReadWholeFile(scratch.File("old.txt")), old);
}

// A command's files are written together: when one cannot be, none is.
TEST_F(OutputFiles, SeveralOutputsAreAllWrittenOrNone) {
    TempFolder scratch;
    const std::string nowhere = Quote(scratch.File("no-such-folder/x"));
    const ToolRun a =
        RunVorelline(scratch, "analyze --reference " + F("ref.wav") + " --target " + F("tgt.wav") +
                                  " --save-alg " + Quote(scratch.File("ok.alg")) + " --png " + nowhere);
    EXPECT_EQ(a.status, 1);
    EXPECT_NE(a.err.find("the folder does not exist (nothing was written)"), std::string::npos) << a.err;
    const ToolRun e = RunVorelline(scratch, "export " + F("m.alg") + " --ir " +
                                                Quote(scratch.File("ok.wav")) + " --peq " + nowhere);
    EXPECT_EQ(e.status, 1);
    EXPECT_NE(e.err.find("the folder does not exist"), std::string::npos) << e.err;
    EXPECT_TRUE(Snapshot(scratch).empty()) << "no file and no temporary file is left";
}

// A tone at -0.5 dBFS where the demo's correction boosts: integer outputs refuse the clipped samples
// unless told, float outputs hold them.
TEST_F(OutputFiles, ClippingOfIntegerOutputsIsCountedAndRefusedUnlessAllowed) {
    TempFolder scratch;
    const double amplitude = std::pow(10.0, -0.5 / 20.0);
    WriteSound(scratch.File("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, Tone(40.0, amplitude, 96000));
    const std::string apply = "apply " + F("m.alg") + " " + Quote(scratch.File("tone.wav")) + " -o ";

    const ToolRun flac = RunVorelline(scratch, apply + Quote(scratch.File("out.flac")));
    EXPECT_EQ(flac.status, 1);
    EXPECT_NE(flac.err.find("vorelline: refused: " + scratch.File("out.flac") + ": "), std::string::npos)
        << flac.err;
    EXPECT_NE(flac.err.find(" of 96000 samples would clip (peak +"), std::string::npos) << flac.err;
    EXPECT_NE(flac.err.find(
                  "write a float file (.wav or .aif) instead, or lower the correction's Gain by at least"),
              std::string::npos)
        << flac.err;
    EXPECT_FALSE(fs::exists(scratch.File("out.flac")));

    const ToolRun allowed =
        RunVorelline(scratch, apply + Quote(scratch.File("out.flac")) + " --allow-clipping");
    EXPECT_EQ(allowed.status, 0) << allowed.err;
    EXPECT_NE(allowed.err.find("vorelline: warning: " + scratch.File("out.flac") + ": "), std::string::npos)
        << allowed.err;
    EXPECT_NE(allowed.err.find(" samples are clipped at full scale (peak +"), std::string::npos)
        << allowed.err;
    EXPECT_TRUE(fs::exists(scratch.File("out.flac")));

    const ToolRun floating = RunVorelline(scratch, apply + Quote(scratch.File("out.wav")));
    EXPECT_EQ(floating.status, 0) << floating.err;
    EXPECT_EQ(floating.err, "");
    MonoAudio out;
    std::string error;
    ASSERT_TRUE(ReadFirstChannel(scratch.File("out.wav"), out, error)) << error;
    double peak = 0;
    for (double v : out.samples)
        peak = std::max(peak, std::fabs(v));
    EXPECT_GT(peak, 1.0) << "the float file keeps the peaks";

    // The batch keeps the input's 16 bits: that file is not written, the float one is.
    WriteSound(scratch.File("float.wav"), SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1, Tone(40.0, amplitude, 4800));
    const std::string batch = "apply " + F("m.alg") + " " + Quote(scratch.File("tone.wav")) + " " +
                              Quote(scratch.File("float.wav")) + " -o " + Quote(scratch.File("batch"));
    const ToolRun b = RunVorelline(scratch, batch);
    EXPECT_EQ(b.status, 1);
    EXPECT_NE(b.err.find("convert the input to 32-bit float first, or lower the correction's Gain"),
              std::string::npos)
        << b.err;
    EXPECT_FALSE(fs::exists(scratch.File("batch/tone.wav")));
    EXPECT_TRUE(fs::exists(scratch.File("batch/float.wav")));
    const ToolRun bAllowed = RunVorelline(scratch, batch + " --allow-clipping");
    EXPECT_EQ(bAllowed.status, 0) << bAllowed.err;
    EXPECT_TRUE(fs::exists(scratch.File("batch/tone.wav")));
}

// A WAV whose header promises 4 s but holds 0.52 s: used, with both lengths named.
TEST_F(OutputFiles, AFileShorterThanItsHeaderIsReported) {
    TempFolder scratch;
    const std::string cut = scratch.File("cut.wav");
    WriteSound(cut, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 1, GaussianNoise(192000, 3, 0.05));
    fs::resize_file(cut, 44 + 2 * 24960);
    const std::string warning = "vorelline: warning: " + cut +
                                " is shorter than its header says: it holds 24960 samples (0.52 s) of the "
                                "192000 (4.00 s) promised, and only those are used\n";
    const ToolRun one = RunVorelline(scratch, "apply " + F("m.alg") + " " + Quote(cut) + " -o " +
                                                  Quote(scratch.File("out.wav")));
    EXPECT_EQ(one.status, 0) << one.err;
    EXPECT_EQ(one.err, warning);
    const ToolRun batch = RunVorelline(scratch, "apply " + F("m.alg") + " " + Quote(cut) + " -o " +
                                                    Quote(scratch.File("batch/")));
    EXPECT_EQ(batch.status, 0) << batch.err;
    EXPECT_EQ(batch.err, warning);

    // A whole file says nothing.
    const ToolRun whole = RunVorelline(scratch, "apply " + F("m.alg") + " " + F("take.wav") + " -o " +
                                                    Quote(scratch.File("whole.wav")));
    EXPECT_EQ(whole.status, 0);
    EXPECT_EQ(whole.err, "");
}

} // namespace
