#include "engine/quality_state.h"
#include "engine_fixture.h"
#include "framework/byte_chunk.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

struct Instance {
    EngineEffect fx;
    CorrectionEngine& e = fx.engine;
    EventLog log;
    Instance() { e.SetListener(&log); }
};

// Band levels and a drawn curve that differ from band to band, and from one base to another.
CorrectionSettings Distinct(double base) {
    CorrectionSettings c;
    for (int i = 0; i < kBandCount; ++i) {
        c.targetBands[i] = base + 0.001 * i;
        c.referenceBands[i] = 2 * base + 0.002 * i;
    }
    for (int i = 0; i < kNormalBands; ++i)
        c.userCurve[i] = 1.0 + 0.01 * i;
    return c;
}

// The correction applied and designed; the designs a test counts are those that follow.
void Apply(Instance& in, const CorrectionSettings& c) {
    in.e.ApplyCorrection(c);
    in.log.designs = 0;
}

IByteChunk Truncated(const IByteChunk& c, int size) {
    IByteChunk out;
    out.Put(c.Data(), size);
    return out;
}

} // namespace

TEST(StateRecord, RoundTrip) {
    Instance a;
    Apply(a, Distinct(0.25));
    const double params[4] = {1.0, 0.5, 1.0, 0.75};
    for (int i = 0; i < 4; ++i)
        a.fx.GetParam(i)->value = params[i];
    IByteChunk chunk;
    ASSERT_TRUE(a.e.SerializeState(chunk));
    ASSERT_EQ(chunk.Size(), 2712 + 15 * 8);
    double at2720;
    chunk.GetValue(&at2720, 2720);
    EXPECT_EQ(at2720, 0.5);

    Instance b;
    EXPECT_EQ(b.e.UnserializeState(chunk, 0), 2712 + 15 * 8);
    for (int i = 0; i < kBandCount; ++i) {
        EXPECT_EQ(b.e.Snapshot().targetBands[i], a.e.Snapshot().targetBands[i]);
        EXPECT_EQ(b.e.Snapshot().referenceBands[i], a.e.Snapshot().referenceBands[i]);
    }
    for (int i = 0; i < kNormalBands; ++i)
        EXPECT_EQ(b.e.Snapshot().userCurve[i], a.e.Snapshot().userCurve[i]);
    EXPECT_EQ(b.e.Snapshot().inputSelection, 1.0);
    EXPECT_EQ(b.e.Snapshot().outputSelection, 0.5);
    EXPECT_EQ(b.e.Snapshot().resolution, 1.0);
    EXPECT_EQ(b.e.Snapshot().gainPosition, 0.75);
    EXPECT_DOUBLE_EQ(b.e.Snapshot().gainFactor, std::pow(10.0, 0.5));
    for (int i = 0; i < 15; ++i)
        EXPECT_EQ(b.fx.GetParam(i)->value, a.fx.GetParam(i)->value) << i;
    EXPECT_EQ(b.log.designs, 1);

    // Read from the middle of a larger chunk.
    IByteChunk framed;
    framed.PutValue(int32_t{42});
    framed.Put(chunk.Data(), chunk.Size());
    Instance c;
    EXPECT_EQ(c.e.UnserializeState(framed, 4), 4 + 2712 + 15 * 8);
    EXPECT_EQ(c.e.Snapshot().referenceBands, a.e.Snapshot().referenceBands);
}

// Short records keep the complete arrays before the cut and still rebuild the curve and redesign.
TEST(StateRecord, ShortRecords) {
    Instance a;
    Apply(a, Distinct(0.25));
    IByteChunk full;
    ASSERT_TRUE(a.e.SerializeState(full));

    Instance b;
    CorrectionSettings drawn = Distinct(0.5);
    drawn.userCurve.fill(2.0);
    Apply(b, drawn);
    const auto oldTarget = b.e.Snapshot().targetBands, oldReference = b.e.Snapshot().referenceBands;
    EXPECT_EQ(b.e.UnserializeState(Truncated(full, 600), 0), -1);
    for (int i = 0; i < kNormalBands; ++i) {
        EXPECT_EQ(b.e.Snapshot().targetBands[i], a.e.Snapshot().targetBands[i]);
        EXPECT_EQ(b.e.Snapshot().referenceBands[i], a.e.Snapshot().referenceBands[i]);
    }
    for (int i = kHighOffset; i < kBandCount; ++i) {
        EXPECT_EQ(b.e.Snapshot().targetBands[i], oldTarget[i]);
        EXPECT_EQ(b.e.Snapshot().referenceBands[i], oldReference[i]);
    }
    EXPECT_EQ(b.log.designs, 1);

    Instance c;
    Apply(c, Distinct(0.5));
    CorrectionEngineProbe::gainPosition(c.e) = 0.0; // gainFactor still 1.0: the restore recomputes it
    c.fx.GetParam(3)->value = 0.0;
    CorrectionEngineProbe::semitoneCurve(c.e)[5] = 123.0; // not the drawn curve's: the restore rebuilds it
    const auto keep = c.e.Snapshot().targetBands;
    EXPECT_EQ(c.e.UnserializeState(Truncated(full, 263), 0), -1);
    EXPECT_EQ(c.e.Snapshot().targetBands, keep);
    EXPECT_DOUBLE_EQ(c.e.Snapshot().gainFactor, 0.1);
    EXPECT_NE(c.e.Snapshot().userCurve[kHighOffset + 5], 123.0);
    EXPECT_EQ(c.log.designs, 1);

    // Cut inside the four engine parameters: those complete are taken.
    Instance d;
    EXPECT_EQ(d.e.UnserializeState(Truncated(full, 2712 + 16 + 4), 0), -1);
    EXPECT_EQ(d.e.Snapshot().inputSelection, a.e.Snapshot().inputSelection);
    EXPECT_EQ(d.e.Snapshot().resolution, 0.0);

    // Positions outside the chunk.
    Instance e;
    EXPECT_EQ(e.e.UnserializeState(full, -8), -1);
    EXPECT_EQ(e.e.UnserializeState(full, full.Size() - 100), -1);
    EXPECT_EQ(e.e.UnserializeState(full, 2147483000), -1);
}

// A host state cut anywhere (at every array's boundary, inside every array, at and inside every
// parameter value) takes what lies complete before the cut and leaves the rest as it was: no value
// that is not there turns into a zero.
TEST(StateRecord, ACutAnywhereKeepsWhatFollowsItAsItWas) {
    Instance a;
    Apply(a, Distinct(0.25));
    const double fresh[15] = {1.0, 0.5, 1.0, 0.75}; // the buttons at rest
    for (int i = 0; i < 15; ++i)
        a.fx.GetParam(i)->value = fresh[i];
    IByteChunk full;
    ASSERT_TRUE(a.e.SerializeState(full));

    struct Span {
        int begin, end; // bytes in the record
        const char* name;
        const double* (*values)(const EngineSnapshot&);
    };
    const Span arrays[] = {
        {0, 264, "target 33", [](const EngineSnapshot& s) { return s.targetBands.data(); }},
        {264, 528, "reference 33", [](const EngineSnapshot& s) { return s.referenceBands.data(); }},
        {528, 1488, "target 120", [](const EngineSnapshot& s) { return s.targetBands.data() + kHighOffset; }},
        {1488, 2448, "reference 120",
         [](const EngineSnapshot& s) { return s.referenceBands.data() + kHighOffset; }},
        {2448, 2712, "user curve", [](const EngineSnapshot& s) { return s.userCurve.data(); }},
    };
    const EngineSnapshot written = a.e.Snapshot();
    std::vector<int> cuts;
    for (const Span& s : arrays)
        cuts.insert(cuts.end(), {s.begin, (s.begin + s.end) / 2 + 3});
    for (int j = 0; j <= 15; ++j)
        cuts.insert(cuts.end(), {2712 + 8 * j, 2712 + 8 * j + 4});
    cuts.pop_back(); // past the end

    for (int cut : cuts) {
        SCOPED_TRACE(testing::Message() << "cut at byte " << cut);
        Instance b;
        const double old[15] = {0.0, 1.0, 0.0, 0.25, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0, 1.0};
        for (int i = 0; i < 15; ++i)
            b.fx.GetParam(i)->value = old[i];
        CorrectionSettings drawn = Distinct(0.5);
        drawn.userCurve.fill(2.0);
        drawn.inputSelection = old[0];
        drawn.outputSelection = old[1];
        drawn.resolution = old[2];
        drawn.gainPosition = old[3];
        Apply(b, drawn);
        const EngineSnapshot before = b.e.Snapshot(); // b's values, kept aside

        EXPECT_EQ(b.e.UnserializeState(Truncated(full, cut), 0), cut == full.Size() ? cut : -1);
        const EngineSnapshot after = b.e.Snapshot();
        for (const Span& s : arrays) {
            const bool read = cut >= s.end;
            const double* want = (read ? s.values(written) : s.values(before));
            const int n = (s.end - s.begin) / 8;
            EXPECT_TRUE(std::equal(want, want + n, s.values(after))) << s.name << (read ? " read" : " kept");
        }
        double curve120[kHighBands];
        ExpandCurveTo120(b.e.Snapshot().userCurve.data(), curve120);
        EXPECT_TRUE(
            std::equal(curve120, curve120 + kHighBands, b.e.Snapshot().userCurve.data() + kHighOffset));

        const bool recordWhole = cut >= 2712;
        double want[15];
        for (int j = 0; j < 15; ++j) {
            want[j] = recordWhole && cut >= 2712 + 8 * (j + 1) ? fresh[j] : old[j];
            EXPECT_EQ(b.fx.GetParam(j)->value, want[j]) << "parameter " << j;
        }
        EXPECT_EQ(b.e.Snapshot().inputSelection, want[0]);
        EXPECT_EQ(b.e.Snapshot().outputSelection, want[1]);
        EXPECT_EQ(b.e.Snapshot().resolution, want[2]);
        EXPECT_EQ(b.e.Snapshot().gainPosition, want[3]);
        EXPECT_DOUBLE_EQ(b.e.Snapshot().gainFactor, GainFactorFor(want[3]));
        EXPECT_EQ(b.log.designs, 1);
    }
}

TEST(StateRecord, GainPositionGivesTheGainFactor) {
    const std::pair<double, double> cases[] = {{1.0, 10.0}, {0.0, 0.1}, {0.5, 1.0}, {7.0, 10.0}, {NAN, 1.0}};
    for (auto [position, factor] : cases) {
        Instance a;
        a.fx.GetParam(3)->value = position;
        IByteChunk chunk;
        a.e.SerializeState(chunk);
        Instance b;
        b.e.UnserializeState(Truncated(chunk, 2744), 0);
        EXPECT_NEAR(b.e.Snapshot().gainFactor, factor, 1e-12) << position;
    }
}

TEST(StateRecord, ExpandCurveTo120) {
    double in[33], out[120];
    std::fill(in, in + 33, 1.7);
    ExpandCurveTo120(in, out);
    for (double v : out)
        EXPECT_NEAR(v, 1.7, 1e-12);

    for (int i = 0; i < 33; ++i)
        in[i] = std::pow(2.0, i);
    ExpandCurveTo120(in, out);
    EXPECT_DOUBLE_EQ(out[0], in[0]);
    EXPECT_NEAR(out[1], in[0] * std::pow(2.0, 32.0 / 119.0), 1e-12);
    EXPECT_NEAR(out[118] / std::pow(2.0, 118 * 32.0 / 119.0), 1.0, 1e-12);
    EXPECT_EQ(out[119], in[32]);

    // Unusable points count as 0 dB rather than spreading NaN over their neighbours.
    std::fill(in, in + 33, 2.0);
    in[0] = 0.0;
    in[10] = NAN;
    in[32] = -1.0;
    ExpandCurveTo120(in, out);
    for (double v : out)
        EXPECT_TRUE(std::isfinite(v) && v > 0);
    EXPECT_EQ(out[0], 1.0);
    EXPECT_EQ(out[119], 1.0);
}

// A record holding a value no measurement or drawing gives is refused whole: the instance keeps
// every array, parameter and its filter, and nothing is designed. Every value a measurement, a
// calibration or a drawing can give still loads, a silent band (0) included.
TEST(StateRecord, ImpossibleValuesRefuseTheWholeRecord) {
    Instance a;
    Apply(a, Distinct(0.25));
    for (int i = 0; i < 4; ++i)
        a.fx.GetParam(i)->value = (i + 1) / 4.0;
    IByteChunk full;
    ASSERT_TRUE(a.e.SerializeState(full));
    const double subnormal = 2.1219957905e-314; // a double whose high half was zeroed
    const double kNaN = std::nan("");
    struct Case {
        const char* what;
        int at;       // byte offset of the changed value
        double value; // what it becomes
        int size;     // bytes of the record handed over
        bool refused;
    };
    const int whole = full.Size();
    const Case cases[] = {
        {"NaN target level", 8 * 5, kNaN, whole, true},
        {"infinite reference level", 264 + 8 * 32, HUGE_VAL, whole, true},
        {"negative high target level", 528 + 8 * 70, -0.5, whole, true},
        {"subnormal high reference level", 1488 + 8 * 119, subnormal, whole, true},
        {"-infinity in the curve", 2448, -HUGE_VAL, whole, true},
        {"zero in the curve", 2448 + 8 * 10, 0.0, whole, true},
        {"negative curve ratio", 2448 + 8 * 32, -1.0, whole, true},
        {"subnormal curve ratio", 2448 + 8 * 3, subnormal, whole, true},
        {"damaged part before a cut", 8 * 2, kNaN, 600, true},
        // Values that can be measured or drawn.
        {"silent band", 528 + 8 * 4, 0.0, whole, false},
        {"negative zero band", 8 * 7, -0.0, whole, false},
        {"faint band under a strong calibration", 264 + 8, 1e-172, whole, false},
        {"loud band", 1488, 1e60, whole, false},
        {"deep curve ratio", 2448 + 8 * 20, 1e-5, whole, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        IByteChunk changed;
        changed.Put(full.Data(), c.size);
        std::memcpy(changed.Data() + c.at, &c.value, sizeof c.value);

        Instance b;
        Apply(b, Distinct(0.5));
        for (int i = 0; i < 4; ++i)
            b.fx.GetParam(i)->value = 0.0;
        const EngineSnapshot before = b.e.Snapshot();
        const int result = b.e.UnserializeState(changed, 0);
        const EngineSnapshot after = b.e.Snapshot();
        if (c.refused) {
            EXPECT_EQ(result, -1);
            EXPECT_EQ(after.targetBands, before.targetBands);
            EXPECT_EQ(after.referenceBands, before.referenceBands);
            EXPECT_EQ(after.userCurve, before.userCurve);
            for (int i = 0; i < 4; ++i)
                EXPECT_EQ(b.fx.GetParam(i)->value, 0.0) << i;
            EXPECT_EQ(b.log.designs, 0);
        } else {
            EXPECT_EQ(result, whole);
            const int part = c.at < 264 ? 0 : c.at < 528 ? 1 : c.at < 1488 ? 2 : c.at < 2448 ? 3 : 4;
            const double* arrays[] = {after.targetBands.data(), after.referenceBands.data(),
                                      after.targetBands.data() + kHighOffset,
                                      after.referenceBands.data() + kHighOffset, after.userCurve.data()};
            const int starts[] = {0, 264, 528, 1488, 2448};
            const double taken = arrays[part][(c.at - starts[part]) / 8];
            EXPECT_EQ(std::memcmp(&taken, &c.value, sizeof taken), 0) << "bit for bit";
            EXPECT_EQ(b.log.designs, 1);
        }
    }
}

// The design itself copes with whatever the fields hold (zeros, NaN, infinities, negative curve
// ratios): a finite, stable filter.
TEST(StateRecord, GarbageFieldsStillGiveAFiniteStableFilter) {
    for (double resolution : {0.0, 1.0}) {
        Instance b;
        b.fx.SetHostRate(44100);
        b.fx.Reset();
        CorrectionSettings garbage;
        for (int i = 0; i < kBandCount; ++i) {
            garbage.targetBands[i] = i % 3 == 0 ? 0.0 : (i % 3 == 1 ? NAN : 1e300);
            garbage.referenceBands[i] = i % 2 ? INFINITY : 1e-300;
        }
        for (int i = 0; i < kNormalBands; ++i)
            garbage.userCurve[i] = i % 2 ? -4.0 : NAN;
        garbage.outputSelection = 1.0;
        garbage.resolution = resolution;
        b.e.SetDesignsDeferred(true);
        b.e.ApplyCorrection(garbage);
        // The drawn curve's expansion is always usable; its semitone points get garbage of their own.
        for (int i = 0; i < kHighBands; ++i)
            CorrectionEngineProbe::semitoneCurve(b.e)[i] = i % 2 ? NAN : -4.0;
        b.e.DesignCorrection();
        EXPECT_EQ(b.e.Snapshot().filterReady, 1);
        EXPECT_TRUE(std::isfinite(b.e.Snapshot().levelMatchGain));
        Stereo s(4096);
        for (int i = 0; i < 4096; ++i)
            s.in1[i] = std::sin(0.3 * i);
        s.Run(b.e);
        for (int i = 0; i < 4096; ++i)
            ASSERT_TRUE(std::isfinite(s.out0[i]) && std::fabs(s.out0[i]) < 100) << i;
    }
}

namespace {

MeasurementQuality SomeQuality() {
    MeasurementQuality q;
    q.known = true;
    for (int i = 0; i < kBandCount; ++i)
        q.coherence[i] = (i % 11) / 10.0;
    q.checks.reference = {12, -23.5, false};
    q.checks.target = {0, -75.0, true};
    q.checks.correlated = true;
    q.checks.correlationPeak = -0.8;
    q.checks.polarityInverted = true;
    q.checks.delaySamples = 144.25;
    q.checks.delayMs = 3.005;
    q.checks.delayCm = 3.005 * kSpeedOfSoundCmPerMs;
    return q;
}

void ExpectSame(const MeasurementQuality& a, const MeasurementQuality& b) {
    EXPECT_EQ(a.known, b.known);
    EXPECT_EQ(a.coherence, b.coherence);
    EXPECT_EQ(a.checks.reference.clippedSamples, b.checks.reference.clippedSamples);
    EXPECT_EQ(a.checks.reference.rmsDbfs, b.checks.reference.rmsDbfs);
    EXPECT_EQ(a.checks.target.silent, b.checks.target.silent);
    EXPECT_EQ(a.checks.polarityInverted, b.checks.polarityInverted);
    EXPECT_EQ(a.checks.correlationPeak, b.checks.correlationPeak);
    EXPECT_EQ(a.checks.delaySamples, b.checks.delaySamples);
    EXPECT_EQ(a.checks.delayMs, b.checks.delayMs);
    EXPECT_DOUBLE_EQ(a.checks.delayCm, b.checks.delayCm);
}

} // namespace

// The quality's own record: written and read back whole; anything missing, damaged or of an
// unusable version reads as "not known". A restored host state replaces the measurement, so its
// quality becomes not known.
TEST(StateRecord, QualityExtension) {
    const MeasurementQuality q = SomeQuality();
    IByteChunk chunk;
    chunk.PutValue(int32_t{42}); // read from inside a larger chunk
    ASSERT_TRUE(PutQualityExtension(chunk, q));
    ASSERT_EQ(chunk.Size(), 4 + 12 + 4 + 8 * (kBandCount + 11));
    char magic[5] = {};
    chunk.Get(magic, 4, 4);
    EXPECT_STREQ(magic, "TVQX");
    MeasurementQuality back;
    GetQualityExtension(chunk, 4, back);
    ExpectSame(back, q);

    for (int size : {4, 8, 20, chunk.Size() - 1}) {
        MeasurementQuality cut = q;
        GetQualityExtension(Truncated(chunk, size), 4, cut);
        EXPECT_FALSE(cut.known) << size;
    }
    struct Patch {
        int at;
        int32_t value;
        bool known;
    } patches[] = {{4, 0x58515655, false}, // wrong magic
                   {8, 0, false},          // version 0
                   {12, 100, false},       // payload too short for version 1
                   {16, 0, false},         // marked not known
                   {8, 2, true}};          // version 2: version 1's part is read
    for (const Patch& p : patches) {
        IByteChunk d = chunk;
        std::memcpy(d.Data() + p.at, &p.value, 4);
        MeasurementQuality r;
        GetQualityExtension(d, 4, r);
        EXPECT_EQ(r.known, p.known) << p.at << " " << p.value;
    }
    IByteChunk nan = chunk;
    const double bad[2] = {NAN, 7.0};
    std::memcpy(nan.Data() + 4 + 16, bad, 16); // the first two coherence values
    MeasurementQuality r;
    GetQualityExtension(nan, 4, r);
    ASSERT_TRUE(r.known);
    EXPECT_EQ(r.coherence[0], 0.0);
    EXPECT_EQ(r.coherence[1], 1.0);

    Instance a;
    Apply(a, Distinct(0.5));
    IByteChunk state;
    ASSERT_TRUE(a.e.SerializeState(state));
    Instance b;
    RestoreQuality(b.e, q);
    ASSERT_TRUE(b.e.Snapshot().quality.known);
    EXPECT_EQ(b.e.UnserializeState(state, 0), 2712 + 15 * 8);
    EXPECT_FALSE(b.e.Snapshot().quality.known);
}
