#include "plugin/calibration_file.h"

#include "support/message_recorder.h"
#include "temp_folder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// The analysis frequencies: 33 log-spaced (last exactly 20 kHz), then 120 semitones.
CalibrationCurve AnalysisFrequencies() {
    CalibrationCurve f{};
    for (int k = 0; k < 32; ++k)
        f[k] = 20.0 * std::pow(1000.0, k / 32.0);
    f[32] = 20000.0;
    for (int m = 0; m < 120; ++m)
        f[33 + m] = 440.0 * std::pow(2.0, (m - 53) / 12.0);
    return f;
}

std::vector<CalibrationPoint> Parse(const std::string& text) {
    return ParseCalibrationText(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

struct ParseCase {
    const char* what;
    std::string text;
    std::vector<CalibrationPoint> expected;
};

TEST(CalibrationParse, TokenRules) {
    using namespace std::string_literals;
    const std::vector<ParseCase> cases = {
        {"decimal commas", "1000,5 -0,3\n", {{1000.5, -0.3}}},
        {"comma as separator", "1000,-0.3\n", {{1000.0, -0.3}}},
        {"comma separator, positive level gives nothing", "1000,0.5\n", {}},
        {"tab separated", "100\t-2\n", {{100.0, -2.0}}},
        {"line starting with a tab is skipped", "\t100 -2\n", {}},
        {"level on the next line with a minus", "100\n-3.5\n", {{100.0, -3.5}}},
        {"two leading spaces", "  100 0.5\n", {{0.0, 100.0}}},
        {"lone number then a new pair", "50\n100 1\n", {{100.0, 1.0}}},
        {"last level ends at end of file", "10 1\n1000 0", {{10.0, 1.0}}},
        {"leading period and exponent", ".5 2\n1e3 -6\n", {{0.5, 2.0}, {1000.0, -6.0}}},
        {"plus, minus, letter, asterisk, quote lines skipped", "+5 3\n-5 3\nx 1\n*1 2\n\"1 2\"\n", {}},
        {"maker's file: header, comments, phase column",
         "\"Sens Factor =-46.2dB, SERNO: 1234\"\r\n* measured 2026\r\n20.0 -1.25 12.5\r\n"
         "1000,0\t0,00\t-3\r\n20000 2.5 -40\r\n",
         {{20.0, -1.25}, {1000.0, 0.0}, {20000.0, 2.5}}},
        {"16-bit text with its byte-order mark",
         "\xff\xfe"
         "1\0 \0"
         "5\0\n\0"
         "2\0 \0"
         "6\0\n\0"s,
         {}},
        {"overflowing number is dropped", "1e999 3\n5 1\n", {{5.0, 1.0}}},
        {"token past 99 characters abandons its line",
         "1" + std::string(120, '0') + " 3\n5 1\n",
         {{5.0, 1.0}}},
        {"token of 99 characters is kept", "0." + std::string(97, '5') + " 3\n", {{0.5 + 0.5 / 9.0, 3.0}}},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<CalibrationPoint> got = Parse(c.text);
        ASSERT_EQ(got.size(), c.expected.size());
        for (std::size_t i = 0; i < got.size(); ++i) {
            EXPECT_DOUBLE_EQ(got[i].frequency, c.expected[i].frequency);
            EXPECT_DOUBLE_EQ(got[i].level, c.expected[i].level);
        }
    }
}

TEST(CalibrationParse, StopsAtTenThousandPairs) {
    std::string text;
    for (int i = 1; i <= 10005; ++i)
        text += std::to_string(i) + " 1\n";
    const std::vector<CalibrationPoint> got = Parse(text);
    ASSERT_EQ(got.size(), kMaxCalibrationPairs);
    EXPECT_EQ(got.back().frequency, 10000.0);
    EXPECT_TRUE(ParseCalibrationText(nullptr, 5).empty());
}

TEST(CalibrationResample, LinearInHertzAndDecibels) {
    const CalibrationCurve f = AnalysisFrequencies();
    const CalibrationCurve gain = ResampleCalibration({{100.0, 0.0}, {10000.0, 6.0}}, f);
    for (int i = 0; i < kCalibrationBands; ++i) {
        double expected = 1.0;
        if (f[i] >= 10000.0)
            expected = std::pow(10.0, 6.0 / 20.0);
        else if (f[i] >= 100.0)
            expected = std::pow(10.0, (6.0 * (f[i] - 100.0) / 9900.0) / 20.0);
        EXPECT_NEAR(gain[i], expected, 1e-12) << "band " << i << " at " << f[i] << " Hz";
    }
}

TEST(CalibrationResample, UnorderedFileAndExtremes) {
    const CalibrationCurve f = AnalysisFrequencies();
    // Descending points: the first level below the first point, and the test against the last point
    // comes last, so it wins from 500 Hz up.
    const CalibrationCurve gain = ResampleCalibration({{5000.0, 3.0}, {500.0, -3.0}}, f);
    EXPECT_DOUBLE_EQ(gain[0], std::pow(10.0, 3.0 / 20.0));   // 20 Hz
    EXPECT_DOUBLE_EQ(gain[16], std::pow(10.0, -3.0 / 20.0)); // 632 Hz
    // Absurd levels stay finite and non-zero.
    const CalibrationCurve wild = ResampleCalibration({{10.0, -1e6}, {30000.0, 1e300}}, f);
    for (double g : wild) {
        EXPECT_TRUE(std::isfinite(g));
        EXPECT_GT(g, 0.0);
    }
}

TEST(CalibrationDiscovery, PatternOrderValidityAndLabel) {
    const CalibrationCurve f = AnalysisFrequencies();
    MessageRecorder messages;
    {
        TempFolder folder;
        for (const std::string& where : {folder.Str(), std::string()}) {
            CalibrationInfo none = FindCalibration(where, f);
            EXPECT_TRUE(none.label.empty());
            EXPECT_FALSE(none.valid);
            for (double g : none.gain)
                EXPECT_EQ(g, 1.0);
        }
    }
    {
        TempFolder folder;
        folder.Write("a.txt", "100 12\n200 12\n");
        folder.Write("z.frd", "100 6\n200 6\n");
        std::filesystem::create_directory(folder.path / "dir.frd"); // folders never match
        CalibrationInfo info = FindCalibration(folder.Str(), f);
        EXPECT_EQ(info.label, "z.frd");
        EXPECT_EQ(info.path, folder.File("z.frd"));
        EXPECT_TRUE(info.valid);
        EXPECT_EQ(info.pairs, 2u);
        EXPECT_DOUBLE_EQ(info.gain[100], std::pow(10.0, 6.0 / 20.0));
    }
    {
        TempFolder folder;
        folder.Write("mic.CAL", "1000 0\n");
        folder.Write("other.txt", "100 6\n200 6\n");
        CalibrationInfo info = FindCalibration(folder.Str(), f);
        EXPECT_EQ(info.label, "mic.CAL - NOT VALID!");
        EXPECT_FALSE(info.valid);
        for (double g : info.gain)
            EXPECT_EQ(g, 1.0);
    }
    EXPECT_TRUE(messages.entries.empty());
}

TEST(CalibrationDiscovery, UnreadableFileAndLongName) {
    const CalibrationCurve f = AnalysisFrequencies();
    MessageRecorder messages;
    TempFolder folder;
    CalibrationInfo info = ReadCalibrationFile(folder.File("gone.frd"), "gone.frd", f);
    ASSERT_EQ(messages.entries.size(), 1u);
    EXPECT_EQ(messages.entries[0].caption, "Info");
    EXPECT_EQ(messages.entries[0].text, "Error_005 Can't open calibration file.");
    EXPECT_EQ(messages.entries[0].icon, MessageIcon::Information);
    EXPECT_FALSE(info.opened);
    EXPECT_EQ(info.label, "gone.frd - NOT VALID!");
    for (double g : info.gain)
        EXPECT_EQ(g, 1.0);

    const std::string longName(300, 'n');
    CalibrationInfo cut = ReadCalibrationFile(folder.Write("x.txt", "1 1\n2 2\n"), longName, f);
    EXPECT_EQ(cut.label, std::string(255, 'n'));
    CalibrationInfo cutInvalid = ReadCalibrationFile(folder.Write("y.txt", "1 1\n"), longName, f);
    EXPECT_EQ(cutInvalid.label.size(), 255u);
    EXPECT_EQ(cutInvalid.label.substr(242), " - NOT VALID!");
}

} // namespace

TEST(CalibrationResample, PointsExactlyOnAnAnalysisFrequency) {
    // The first analysis frequency is exactly 20 Hz and entry 32 exactly 20000 Hz. A first point
    // there gives its own level through the first segment, a last point there gives its level by
    // the "at or above the last point" rule (no segment brackets it).
    const CalibrationCurve f = AnalysisFrequencies();
    const CalibrationCurve gain = ResampleCalibration({{20.0, -2.0}, {1000.0, 0.0}, {20000.0, 6.0}}, f);
    EXPECT_DOUBLE_EQ(gain[0], std::pow(10.0, -2.0 / 20.0));
    EXPECT_DOUBLE_EQ(gain[32], std::pow(10.0, 6.0 / 20.0));
    // The highest semitone (19912 Hz) lies just below it, inside the last segment.
    EXPECT_DOUBLE_EQ(gain[152], std::pow(10.0, ((6.0 * (f[152] - 1000.0) / 19000.0)) / 20.0));
}
