#include "plugin/alg_engine.h"
#include "support/engine_operations.h"

#include "engine/correction_engine.h"
#include "framework/effect_base.h"
#include "plugin/parameter_table.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

struct Instance : IRecordTail {
    Instance() : effect(Facts()), engine(effect.Lock(), *this, nullptr) {
        DefineMicCorrectorParameters(effect);
    }
    static EffectFacts Facts() {
        EffectFacts f;
        f.paramCount = kMicCorrectorParamCount;
        f.channelIO = "1-1 2-2";
        f.presetCount = 1;
        return f;
    }
    bool SerializeRecordTail(IByteChunk& c) override { return effect.SerializeParams(c); }
    int UnserializeRecordTail(const IByteChunk& c, int pos) override {
        return effect.UnserializeParams(c, pos);
    }
    IEffectBase effect;
    CorrectionEngine engine;
};

TEST(AlgEngine, SaveThenLoadRestoresTheCorrection) {
    Instance a;
    CorrectionSettings c;
    for (int i = 0; i < 153; ++i) {
        c.targetBands[i] = 1.0 + 0.5 * std::sin(i * 0.3);
        c.referenceBands[i] = 1.2 + 0.1 * std::cos(i * 0.7);
    }
    for (int i = 0; i < 33; ++i)
        c.userCurve[i] = std::pow(10.0, 0.05 * std::sin(i * 0.4));
    c.outputSelection = 1.0;
    c.inputSelection = 1.0;
    c.resolution = 1.0;
    c.gainPosition = 0.3;
    a.engine.ApplyCorrection(c); // designs

    const AlgRecord record = AlgRecordFromEngine(a.engine.Snapshot());
    EXPECT_EQ(record.flags, 2 + 4 + 8);
    EXPECT_EQ(record.gainPosition, 0.3);

    // Through the file bytes, as Save and Load do.
    const auto bytes = EncodeAlgRecord(record);
    AlgRecord back;
    ASSERT_EQ(DecodeAlgRecord(bytes.data(), bytes.size(), back), AlgDecodeResult::Ok);

    Instance b;
    ApplyAlgRecord(back, b.engine, b.effect);
    EXPECT_EQ(b.engine.Snapshot().outputSelection, 1.0);
    EXPECT_EQ(b.engine.Snapshot().inputSelection, 1.0);
    EXPECT_EQ(b.engine.Snapshot().resolution, 1.0);
    EXPECT_EQ(b.engine.Snapshot().gainPosition, 0.3);
    EXPECT_DOUBLE_EQ(b.engine.Snapshot().gainFactor, std::pow(10.0, -0.4));
    EXPECT_EQ(b.engine.Snapshot().targetBands, a.engine.Snapshot().targetBands);
    EXPECT_EQ(b.engine.Snapshot().referenceBands, a.engine.Snapshot().referenceBands);
    EXPECT_EQ(b.engine.Snapshot().userCurve, a.engine.Snapshot().userCurve);
    EXPECT_EQ(b.engine.Snapshot().sectionGain, a.engine.Snapshot().sectionGain);
    EXPECT_EQ(b.engine.Snapshot().levelMatchGain, a.engine.Snapshot().levelMatchGain);
    EXPECT_EQ(b.engine.Snapshot().filterReady, 1);
    for (int p : {kParamInputs, kParamOutputs, kParamResolution})
        EXPECT_EQ(b.effect.GetParam(p)->value, 1.0) << p;
    EXPECT_EQ(b.effect.GetParam(kParamGain)->value, 0.3);
}

TEST(AlgEngine, OutputCodeThreeAndGainOutsideTheRange) {
    struct Case {
        std::int32_t flags;
        double gain;
        double output, clampedGain, gainFactor;
    };
    for (const Case& c :
         {Case{3, 1.7, 1.0, 1.0, 10.0}, Case{1, -0.2, 0.5, 0.0, 0.1}, Case{0, 0.5, 0.0, 0.5, 1.0}}) {
        Instance i;
        AlgRecord r;
        r.targetBands.fill(2.0);
        r.referenceBands.fill(2.0);
        r.userCurve.fill(1.0);
        r.flags = c.flags;
        r.gainPosition = c.gain;
        ApplyAlgRecord(r, i.engine, i.effect);
        EXPECT_EQ(i.engine.Snapshot().outputSelection, c.output) << c.flags;
        EXPECT_EQ(i.engine.Snapshot().gainPosition, c.clampedGain) << c.flags;
        EXPECT_DOUBLE_EQ(i.engine.Snapshot().gainFactor, c.gainFactor) << c.flags;
        EXPECT_EQ(i.effect.GetParam(kParamGain)->value, c.clampedGain) << c.flags;
        EXPECT_EQ(i.engine.Snapshot().inputSelection, 0.0);
        EXPECT_EQ(i.engine.Snapshot().resolution, 0.0);
    }
}

} // namespace

namespace {

TEST(AlgEngine, SilentMicrophoneInAFileGivesAFiniteCorrection) {
    for (double resolution : {0.0, 1.0}) {
        Instance i;
        AlgRecord r;
        r.targetBands.fill(1.0);
        r.referenceBands.fill(0.0); // reference microphone unplugged during the measurement
        r.targetBands[40] = 0.0;
        r.userCurve.fill(1.0);
        r.flags = resolution == 0.0 ? 2 : 2 + 8;
        ApplyAlgRecord(r, i.engine, i.effect);
        const int n = resolution == 0.0 ? 33 : 120;
        for (int k = 0; k < n; ++k) {
            const PeakingSection s = i.engine.Snapshot().correctionCascade[k];
            EXPECT_TRUE(std::isfinite(s.b) && std::isfinite(s.a1) && std::isfinite(s.a2)) << k;
            EXPECT_TRUE(std::isfinite(i.engine.Snapshot().sectionGain[k])) << k;
        }
        EXPECT_TRUE(std::isfinite(i.engine.Snapshot().levelMatchGain));
    }
}

} // namespace

// A protected wanted response travels in the file's curve like any drawn one, so the loaded
// correction is the same; the file keeps no coherence, so the loaded measurement's is not known,
// whatever the loading instance knew of its own last measurement.
TEST(AlgEngine, ProtectedCurveRoundTripsAndItsQualityIsNotKnown) {
    Instance a;
    CorrectionSettings c;
    for (int i = 0; i < 153; ++i) {
        c.targetBands[i] = i % 33 < 4 ? 0.02 : 1.0 + 0.2 * std::sin(i * 0.3); // -34 dB below 30 Hz
        c.referenceBands[i] = 1.0;
    }
    MeasurementQuality quality;
    quality.known = true;
    quality.coherence.fill(1.0);
    for (int k = 28; k < 33; ++k)
        quality.coherence[k] = 0.3;
    ProtectedCurve(a.engine.Snapshot().protection, c.targetBands.data(), c.referenceBands.data(),
                   quality.coherence.data(), c.userCurve.data(), nullptr);
    c.outputSelection = 1.0;
    a.engine.ApplyCorrection(c); // designs

    const auto bytes = EncodeAlgRecord(AlgRecordFromEngine(a.engine.Snapshot()));
    AlgRecord back;
    ASSERT_EQ(DecodeAlgRecord(bytes.data(), bytes.size(), back), AlgDecodeResult::Ok);
    Instance b;
    RestoreQuality(b.engine, quality); // what it knew of its own last measurement
    ASSERT_TRUE(b.engine.Snapshot().quality.known);
    ApplyAlgRecord(back, b.engine, b.effect);
    EXPECT_EQ(b.engine.Snapshot().userCurve, a.engine.Snapshot().userCurve);
    EXPECT_EQ(b.engine.Snapshot().sectionGain, a.engine.Snapshot().sectionGain);
    EXPECT_FALSE(b.engine.Snapshot().quality.known);
    for (int k = 0; k < 33; ++k)
        EXPECT_LE(20 * std::log10(b.engine.Snapshot().curveResult[k] / b.engine.Snapshot().curveMeasured[k]),
                  12.01)
            << k;
}
