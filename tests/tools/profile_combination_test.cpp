// Microphone profiles: the combination of two .alg files measured against one measurement microphone,
// `vorelline combine` and the measured difference `vorelline info` shows.
#include "support/profile_trial.h"
#include "tools/tool_run.h"
#include "tools/vorelline/profile_combination.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace {

double Db(double ratio) {
    return 20.0 * std::log10(ratio);
}

// A profile whose microphone has response `mic` (linear, per band) against the measurement
// microphone, measured with material of spectrum `material` at `level`.
AlgRecord Profile(double (*mic)(int band), double (*material)(int band), double level) {
    AlgRecord r;
    r.flags = 2;
    for (int k = 0; k < kBandCount; ++k) {
        r.referenceBands[k] = level * material(k);
        r.targetBands[k] = level * material(k) * mic(k);
        r.userCurve[k % kNormalBands] = 1.0;
    }
    return r;
}
double Tilt(int k) { // rises 0.5 dB a band in each set
    return std::pow(10.0, 0.5 * (k < kHighOffset ? k : (k - kHighOffset) / 4) / 20.0);
}
double Dip(int k) { // -6 dB around normal band 20 and semitone band 90
    return k == 20 || k == kHighOffset + 90 ? 0.5 : 1.0;
}
double Voice(int k) {
    return 1.0 / (1.0 + k % kNormalBands);
}
double Pink(int k) {
    return 1.0 + 0.1 * (k % 7);
}

TEST(ProfileCombination, DifferenceIsOneMicrophoneAgainstTheOther) {
    const AlgRecord a = Profile(Tilt, Voice, 3.0), b = Profile(Dip, Pink, 0.2);
    const ProfileCombination c = CombineProfiles(a, b, ProtectionRule{});
    const MeasuredDifference d = MeasuredDifferenceOf(c.record);
    EXPECT_TRUE(c.unknownBands.empty());
    EXPECT_EQ(c.record.flags, a.flags);
    EXPECT_EQ(c.record.gainPosition, 0.5);
    // Up to the one level-match gain, every band (both resolutions) is A's response against B's.
    for (int k = 0; k < kBandCount; ++k) {
        ASSERT_TRUE(d.known[k]) << k;
        EXPECT_NEAR(Db(d.ratio[k]), Db(d.levelMatchGain * Tilt(k) / Dip(k)), 1e-9) << k;
    }
    // Exchanging the files inverts the correction exactly, the level match included.
    const MeasuredDifference back = MeasuredDifferenceOf(CombineProfiles(b, a, ProtectionRule{}).record);
    for (int k = 0; k < kBandCount; ++k)
        EXPECT_NEAR(Db(back.ratio[k]), -Db(d.ratio[k]), 1e-9) << k;
    // A profile against itself: nothing to correct.
    const MeasuredDifference same = MeasuredDifferenceOf(CombineProfiles(a, a, ProtectionRule{}).record);
    for (int k = 0; k < kBandCount; ++k)
        EXPECT_NEAR(same.ratio[k], 1.0, 1e-12) << k;
}

TEST(ProfileCombination, BoostLimitAndExact) {
    // A lacks 20 dB against B in normal band 3: a 20 dB boost, which the limit stops at 12 dB.
    const AlgRecord a = Profile([](int k) { return k == 3 ? 0.1 : 1.0; }, Voice, 1.0);
    const AlgRecord b = Profile([](int) { return 1.0; }, Voice, 1.0);
    const ProfileCombination limited = CombineProfiles(a, b, ProtectionRule{});
    EXPECT_EQ(limited.limitedBands, 1);
    EXPECT_TRUE(limited.protection[3].limited);
    const MeasuredDifference d = MeasuredDifferenceOf(limited.record);
    EXPECT_NEAR(Db(limited.record.userCurve[3]) - Db(d.ratio[3]), 12.0, 1e-9);
    for (int k = 0; k < kNormalBands; ++k)
        EXPECT_NEAR(limited.record.userCurve[k], k == 3 ? limited.record.userCurve[3] : 1.0, 1e-12) << k;

    ProtectionRule exact;
    exact.enabled = false;
    const ProfileCombination whole = CombineProfiles(a, b, exact);
    EXPECT_EQ(whole.limitedBands, 0);
    for (double v : whole.record.userCurve)
        EXPECT_EQ(v, 1.0);
}

TEST(ProfileCombination, BandsWithoutUsableLevelsAreLeftOutAndListed) {
    AlgRecord a = Profile(Tilt, Voice, 1.0), b = Profile(Dip, Voice, 1.0);
    a.targetBands[32] = 0.0;                   // above the recorded range
    b.referenceBands[kHighOffset + 119] = 0.0; // the same, semitone set
    a.referenceBands[kHighOffset + 5] = 1e-9;  // 150 dB below the loudest band: rounding noise
    b.targetBands[7] = 1e-4;                   // 80 dB down, still a level
    const ProfileCombination c = CombineProfiles(a, b, ProtectionRule{});
    EXPECT_EQ(c.unknownBands, (std::vector<int>{32, kHighOffset + 5, kHighOffset + 119}));
    for (int k : c.unknownBands) {
        EXPECT_EQ(c.record.targetBands[k], 0.0);
        EXPECT_EQ(c.record.referenceBands[k], 0.0);
    }
    EXPECT_EQ(c.record.userCurve[32], 1.0);
    // The file is one the plug-in reads, and its design leaves those bands alone.
    const auto bytes = EncodeAlgRecord(c.record);
    AlgRecord back;
    ASSERT_EQ(DecodeAlgRecord(bytes.data(), bytes.size(), back), AlgDecodeResult::Ok);
    const MeasuredDifference d = MeasuredDifferenceOf(back);
    EXPECT_FALSE(d.known[32]);
    EXPECT_EQ(d.ratio[32], 1.0);
    EXPECT_TRUE(d.known[7]);
}

// The measurement the profiles stand on, with the quality bench's synthetic microphones: a dynamic
// microphone made to sound like a condenser, and the other way round, both with speech-like material.
class ProfileTrial : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        documents = new TempFolder;
        setenv("XDG_DOCUMENTS_DIR", documents->Str().c_str(), 1);
    }
    static void TearDownTestSuite() { delete documents; }
    static TempFolder* documents;
};
TempFolder* ProfileTrial::documents = nullptr;

TEST_F(ProfileTrial, CombinedProfilesMatchTheDirectMeasurement) {
    using namespace profile_sounds;
    const Response dynamic = [](double f) {
        return HighPass2(f, 100, 0.707) * Peak(f, 4000, 1.0, 6.0) * LowPass2(f, 10000, 0.707);
    };
    const Response condenser = [](double f) { return Peak(f, 6000, 1.0, 4.0); };
    struct Pair {
        const char* name;
        Response a, b;
    };
    for (const Pair& pair : {Pair{"dynamic like condenser", dynamic, condenser},
                             Pair{"condenser like dynamic", condenser, dynamic}}) {
        SCOPED_TRACE(pair.name);
        profile_trial::Setup setup;
        setup.micA = pair.a;
        setup.micB = pair.b;
        const profile_trial::Figures f = profile_trial::Run(setup);
        ASSERT_TRUE(f.measured) << f.failure;
        EXPECT_TRUE(f.unknownBands.empty());
        for (int res = 0; res < 2; ++res) {
            SCOPED_TRACE(res == 0 ? "normal resolution" : "high resolution");
            // Speech-like material with quiet microphones: every band from 100 Hz to 8 kHz is trusted.
            EXPECT_EQ(f.trustedBands[res], f.bandsInRange[res]);
            EXPECT_LE(f.largestDifferenceDb[res], 0.5);
            EXPECT_LE(f.largestApplyErrorDb[res], 1.0);
        }
    }
}

// The command on files: what it writes, what it says, and what it refuses.
class CombineFiles : public ::testing::Test {
  protected:
    void SetUp() override {
        WriteAlg("a.alg", Profile(Tilt, Voice, 1.0));
        AlgRecord b = Profile(Dip, Pink, 2.0);
        b.targetBands[32] = 0.0;
        WriteAlg("b.alg", b);
        AlgRecord silent = b;
        silent.targetBands.fill(0.0);
        WriteAlg("silent.alg", silent);
    }
    void WriteAlg(const std::string& name, const AlgRecord& r) {
        const auto bytes = EncodeAlgRecord(r);
        scratch.Write(name, std::string(bytes.begin(), bytes.end()));
    }
    std::string F(const std::string& name) const { return Quote(scratch.File(name)); }
    TempFolder scratch;
};

TEST_F(CombineFiles, WritesTheCombinationAndSaysWhatItCannotKnow) {
    const ToolRun r =
        RunVorelline(scratch, "combine " + F("a.alg") + " --like " + F("b.alg") + " -o " + F("c.alg"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("must come from the same measurement microphone with its calibration file"),
              std::string::npos);
    EXPECT_NE(r.out.find("uncorrected, no usable level in one of the files: normal bands 32 (20000 Hz)\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("boost limit +12.0 dB"), std::string::npos);
    AlgRecord a, b, written;
    ASSERT_TRUE(LoadAlgFile(scratch.File("a.alg"), a));
    ASSERT_TRUE(LoadAlgFile(scratch.File("b.alg"), b));
    ASSERT_TRUE(LoadAlgFile(scratch.File("c.alg"), written));
    const AlgRecord expected = CombineProfiles(a, b, ProtectionRule{}).record;
    EXPECT_EQ(written.targetBands, expected.targetBands);
    EXPECT_EQ(written.referenceBands, expected.referenceBands);
    EXPECT_EQ(written.userCurve, expected.userCurve);

    // info shows the measured difference at both resolutions, "-" where it is not known.
    const ToolRun info = RunVorelline(scratch, "info " + F("c.alg"));
    ASSERT_EQ(info.status, 0) << info.err;
    EXPECT_NE(info.out.find("measured dB"), std::string::npos);
    EXPECT_NE(info.out.find("    32     20000.00     -999.00       -999.00              -"),
              std::string::npos)
        << info.out;
    const ToolRun json = RunVorelline(scratch, "info --json " + F("c.alg"));
    const MeasuredDifference d = MeasuredDifferenceOf(written);
    const std::size_t at = json.out.find("\"measuredDifferenceDb\": [");
    ASSERT_NE(at, std::string::npos) << json.out;
    EXPECT_NEAR(std::strtod(json.out.c_str() + at + 25, nullptr), Db(d.ratio[0]), 1e-9);
    EXPECT_NE(json.out.find("null", at), std::string::npos);

    const ToolRun design = RunVorelline(scratch, "design --alg " + F("c.alg"));
    EXPECT_EQ(design.status, 0) << design.err;
}

TEST_F(CombineFiles, RefusesWhatItCannotUse) {
    struct Case {
        const char* name;
        std::string arguments;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"no --like", "combine " + F("a.alg") + " -o " + F("c.alg"), 2, "usage: vorelline combine"},
        {"no output", "combine " + F("a.alg") + " --like " + F("b.alg"), 2, "usage: vorelline combine"},
        {"bad limit",
         "combine " + F("a.alg") + " --like " + F("b.alg") + " -o " + F("c.alg") + " --max-boost x", 2,
         "--max-boost needs a number"},
        {"missing file", "combine " + F("none.alg") + " --like " + F("b.alg") + " -o " + F("c.alg"), 1,
         "none.alg: File Open Error 001."},
        {"nothing usable", "combine " + F("a.alg") + " --like " + F("silent.alg") + " -o " + F("c.alg"), 1,
         "no band has usable levels in both files; nothing written"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const ToolRun r = RunVorelline(scratch, c.arguments);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(scratch.File("c.alg")));
    }
}

TEST_F(CombineFiles, HelpTellsTheWorkflow) {
    const ToolRun r = RunVorelline(scratch, "combine --help");
    ASSERT_EQ(r.status, 0);
    for (const char* words : {"usage: vorelline combine A.alg --like B.alg -o OUT.alg", "--calibration CAL",
                              "same measurement microphone with its calibration file", "--exact"})
        EXPECT_NE(r.out.find(words), std::string::npos) << words;
    EXPECT_NE(RunVorelline(scratch, "--help").out.find("microphone profiles:"), std::string::npos);
}

} // namespace
