#include "engine/band_grid.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(BandGrid, FrequenciesAndEdges) {
    const BandGrid& g = TheBandGrid();
    EXPECT_DOUBLE_EQ(g.bandFrequencies[0], 20.0);
    EXPECT_NEAR(g.bandFrequencies[1], 24.82, 0.005);
    EXPECT_NEAR(g.bandFrequencies[31], 16116.84, 0.005);
    EXPECT_EQ(g.bandFrequencies[32], 20000.0);
    EXPECT_NEAR(g.bandFrequencies[33], 20.60, 0.005);
    EXPECT_DOUBLE_EQ(g.bandFrequencies[33 + 53], 440.0);
    EXPECT_NEAR(g.bandFrequencies[152], 19912.13, 0.005);
    // Edges are the geometric means of neighbouring centres.
    for (int i = 0; i < 31; ++i)
        EXPECT_NEAR(g.bandEdges33[i], std::sqrt(g.bandFrequencies[i] * g.bandFrequencies[i + 1]), 1e-9);
    EXPECT_NEAR(g.bandEdges120[53], 440.0 * std::pow(2.0, -0.5 / 12), 1e-9);
    EXPECT_EQ(g.bandEdges120[120], 20000.0);
}

TEST(BandGrid, RecordedRateFollowsTheDecimationTiers) {
    struct Case {
        double rate;
        int step;
    } cases[] = {{44056, 1},  {79999, 1},  {80000, 2},  {96000, 2},  {159999, 2},
                 {160000, 4}, {192000, 4}, {319999, 4}, {320000, 8}, {384000, 8}};
    for (const Case& c : cases) {
        EXPECT_EQ(DecimationStep(c.rate), c.step) << c.rate;
        EXPECT_DOUBLE_EQ(RecordedRate(c.rate), c.rate / c.step) << c.rate;
    }
}

TEST(BandGrid, BinsOfTheCentresAndEdges) {
    const BandGrid& g = TheBandGrid();
    const auto b441 = ComputeBandBins(44100, kFftLength);
    EXPECT_EQ(b441[kCentreBinsOffset + 32], 237772);
    EXPECT_EQ(b441[kNormalEdgeBinsOffset + 32], 237772); // the normal edge list ends at 20000 Hz
    EXPECT_EQ(b441[kHighEdgeBinsOffset + 120], 237772);
    EXPECT_EQ(b441[kCentreBinsOffset + 0], static_cast<int>(524288 * 20.0 / 44100));
    EXPECT_EQ(b441[kNormalEdgeBinsOffset + 5], static_cast<int>(524288 * g.bandEdges33[5] / 44100));
    EXPECT_EQ(b441[kHighEdgeBinsOffset + 0], static_cast<int>(524288 * g.bandEdges120[0] / 44100));

    // 96 kHz and 192 kHz both record at 48 kHz.
    for (double rate : {96000.0, 192000.0}) {
        const auto b = ComputeBandBins(rate, kFftLength);
        EXPECT_EQ(b[kHighEdgeBinsOffset + 120], 218453) << rate;
        EXPECT_EQ(b, ComputeBandBins(48000, kFftLength)) << rate;
    }
}

TEST(BandGrid, NonsenseRatesStayInsideTheSpectrum) {
    for (double rate : {1.0, 0.0, -5.0, double(NAN)})
        for (int b : ComputeBandBins(rate, kFftLength)) {
            EXPECT_GE(b, 0);
            EXPECT_LE(b, kFftLength / 2);
        }
}
