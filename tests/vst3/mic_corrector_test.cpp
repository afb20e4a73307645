// The plug-in's own class as it is built: its documents folder, calibration, parameters, default
// preset and its reaction to parameter changes.
#include "plugin/mic_corrector.h"
#include "support/engine_operations.h"
#include "support/engine_probe.h"
#include "support/host_objects.h"
#include "support/message_recorder.h"
#include "support/module_loader.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

struct Owned {
    IMicCorrector* fx = new IMicCorrector();
    ~Owned() { fx->release(); }
    IMicCorrector* operator->() { return fx; }
};

class MicCorrectorTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        fs::create_directories(TV_TEST_DOCUMENTS);
        UseDocumentsFolder(TV_TEST_DOCUMENTS);
    }
};

} // namespace

TEST_F(MicCorrectorTest, BuiltWithItsFolderParametersAndDefaultPreset) {
    MessageRecorder messages;
    Owned a;
    const std::string folder = a->DocumentsFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(fs::path(folder).parent_path().filename(), "Tessivane Vorelline");
    EXPECT_TRUE(fs::is_directory(fs::path(folder)));
    Owned again; // the folder exists already: nothing changes, nothing is said
    EXPECT_EQ(again->DocumentsFolder(), folder);
    EXPECT_TRUE(messages.entries.empty());

    ASSERT_EQ(a->NParams(), 15);
    const char* names[15] = {"Inputs", "Outputs", "Resolution", "Gain", "Start", "Save", "Load", "Help",
                             "About",  "",        "",           "",     "",      "",     "Reset"};
    for (int i = 0; i < 15; ++i)
        EXPECT_STREQ(a->GetParam(i)->name, names[i]) << i;
    EXPECT_DOUBLE_EQ(a->GetParam(3)->value, 0.5);
    EXPECT_EQ(a->GetParam(1)->displayPrecision, 1);
    EXPECT_EQ(a->GetParam(3)->displayPrecision, 4);

    CorrectionEngine& e = a->Engine();
    EXPECT_EQ(e.Snapshot().outputSelection, 0.0);
    EXPECT_EQ(e.Snapshot().gainFactor, 1.0);
    EXPECT_EQ(e.Snapshot().workingSampleRate, 1.0);
    EXPECT_EQ(CorrectionEngineProbe::fftLength(e), 524288);
    EXPECT_EQ(e.Snapshot().calibrationGain[0], 1.0);
    EXPECT_EQ(a->CalibrationLabel(), "");

    ASSERT_EQ(a->NPresets(), 1);
    EXPECT_TRUE(a->GetPreset(0)->initialised);
    EXPECT_STREQ(a->GetPreset(0)->name, "-");
    EXPECT_EQ(a->GetPreset(0)->chunk.Size(), 2712 + 15 * 8);
    EXPECT_EQ(a->GetHost(), kHostNotIdentified);
    // The editor is built with the instance and stays while no window is open.
    ASSERT_NE(a->Graphics(), nullptr);
    EXPECT_EQ(a->Editor()->Width(), 730);
    EXPECT_EQ(a->Editor()->Height(), 330);
    EXPECT_EQ(a->Editor()->FrameRate(), 25);
}

TEST_F(MicCorrectorTest, TakesTheCalibrationFoundInItsFolder) {
    std::string folder;
    {
        Owned probe;
        folder = probe->DocumentsFolder();
    }
    ASSERT_FALSE(folder.empty());
    const fs::path frd = fs::path(folder) / "mic.frd", txt = fs::path(folder) / "other.txt";
    std::ofstream(frd) << "\"Frequency\" \"Level\"\n* a comment\n100 0\n10000 6\n";
    std::ofstream(txt) << "100 -20\n10000 -20\n";
    Owned fx;
    fs::remove(frd);
    fs::remove(txt);
    EXPECT_EQ(fx->CalibrationLabel(), "mic.frd");
    const CorrectionEngine& e = fx->Engine();
    EXPECT_DOUBLE_EQ(e.Snapshot().calibrationGain[0], 1.0); // 20 Hz, below the first point
    EXPECT_NEAR(e.Snapshot().calibrationGain[32], std::pow(10.0, 6.0 / 20.0),
                1e-12); // 20000 Hz, above the last
}

TEST_F(MicCorrectorTest, GainAndTheSelectionsActWhateverSetThemButTheButtonsDoNot) {
    Owned fx;
    fx->GetParam(3)->SetNormalized(0.75);
    fx->OnParamChange(3);
    EXPECT_NEAR(fx->Engine().Snapshot().gainFactor, std::pow(10.0, 0.5), 1e-12);
    EXPECT_DOUBLE_EQ(fx->Engine().Snapshot().gainPosition, 0.75);
    // A selection takes effect and asks for a design, which its caller runs where it may.
    fx->GetParam(1)->SetNormalized(1.0);
    fx->OnParamChange(1);
    EXPECT_EQ(fx->Engine().Snapshot().outputSelection, 1.0);
    EXPECT_TRUE(fx->Engine().DesignPending());
    fx->CompleteRequestedWork();
    EXPECT_FALSE(fx->Engine().DesignPending());
    fx->GetParam(0)->SetNormalized(1.0);
    fx->OnParamChange(0);
    EXPECT_EQ(fx->Engine().Snapshot().inputSelection, 1.0);
    EXPECT_FALSE(fx->Engine().DesignPending()) << "the inputs need no design";
    // The same value again asks for nothing.
    fx->OnParamChange(1);
    EXPECT_FALSE(fx->Engine().DesignPending());
    fx->GetParam(4)->SetNormalized(1.0); // "Start" from the host
    fx->OnParamChange(4);
    EXPECT_EQ(fx->Engine().Snapshot().recordingActive, 0);
}

// The last measurement's quality travels in a trailer after the state: the component's record,
// or the controller's record and bypass flag, stay byte for byte what older readers expect.
TEST_F(MicCorrectorTest, MeasurementQualityTravelsInTheStateTrailer) {
    Owned a;
    MeasurementQuality q;
    q.known = true;
    for (int i = 0; i < kBandCount; ++i)
        q.coherence[i] = i / double(kBandCount);
    q.checks.delaySamples = 144.0;
    q.checks.delayMs = 3.0;
    q.checks.polarityInverted = true;
    RestoreQuality(a->Engine(), q);
    IByteChunk record;
    ASSERT_TRUE(a->SerializeState(record));
    const std::size_t n = static_cast<std::size_t>(record.Size());

    MemoryStream component, controller;
    ASSERT_EQ(a->componentGetState(&component), vst::kResultOk);
    ASSERT_EQ(a->controllerGetState(&controller), vst::kResultOk);
    ASSERT_GT(component.data.size(), n);
    EXPECT_EQ(std::memcmp(component.data.data(), record.Data(), n), 0);
    ASSERT_EQ(controller.data.size(), component.data.size() + 4);
    EXPECT_EQ(std::memcmp(controller.data.data(), record.Data(), n), 0);
    EXPECT_EQ(
        std::memcmp(controller.data.data() + n + 4, component.data.data() + n, component.data.size() - n), 0);

    auto expectQualityOf = [&](IMicCorrector* fx) {
        const MeasurementQuality r = fx->Engine().Snapshot().quality;
        ASSERT_TRUE(r.known);
        for (int i = 0; i < kBandCount; ++i)
            EXPECT_DOUBLE_EQ(r.coherence[i], q.coherence[i]) << i;
        EXPECT_DOUBLE_EQ(r.checks.delayMs, 3.0);
        EXPECT_TRUE(r.checks.polarityInverted);
    };
    Owned b, c;
    MemoryStream componentAgain(component.data), controllerAgain(controller.data);
    ASSERT_EQ(b->componentSetState(&componentAgain), vst::kResultOk);
    expectQualityOf(b.fx);
    ASSERT_EQ(c->controllerSetState(&controllerAgain), vst::kResultOk);
    expectQualityOf(c.fx);

    // An older project has the record alone (and the flag): accepted, the quality is not known.
    Owned d;
    RestoreQuality(d->Engine(), q);
    ASSERT_TRUE(d->Engine().Snapshot().quality.known);
    MemoryStream old(std::vector<unsigned char>(component.data.begin(), component.data.begin() + n));
    EXPECT_EQ(d->componentSetState(&old), vst::kResultOk);
    EXPECT_FALSE(d->Engine().Snapshot().quality.known);
    // A damaged trailer means "not known" too, never a value out of range.
    std::vector<unsigned char> damaged = component.data;
    for (std::size_t i = n + 12; i < damaged.size(); ++i)
        damaged[i] = 0xff;
    MemoryStream bad(damaged);
    EXPECT_EQ(d->componentSetState(&bad), vst::kResultOk);
    for (double v : d->Engine().Snapshot().quality.coherence)
        EXPECT_TRUE(v >= 0.0 && v <= 1.0);
}

// A host state whose record holds a value no measurement gives (a disk fault in the project) is a
// failed restore, for the component and the controller alike: the instance keeps its measurement
// and its parameters, and the state's trailer is not taken either.
TEST_F(MicCorrectorTest, ADamagedHostStateIsRefusedAndChangesNothing) {
    Owned a;
    CorrectionSettings measured = CorrectionInForce(a->Engine());
    measured.targetBands.fill(3.0);
    a->Engine().ApplyCorrection(measured);
    MeasurementQuality known;
    known.known = true;
    RestoreQuality(a->Engine(), known);
    MemoryStream component, controller;
    ASSERT_EQ(a->componentGetState(&component), vst::kResultOk);
    ASSERT_EQ(a->controllerGetState(&controller), vst::kResultOk);
    const double nan = std::nan("");
    for (MemoryStream* s : {&component, &controller}) // the target's band 40, in the high bands
        std::memcpy(s->data.data() + 528 + 8 * 7, &nan, sizeof nan);

    Owned b;
    CorrectionSettings own = CorrectionInForce(b->Engine());
    own.targetBands.fill(2.0);
    b->Engine().ApplyCorrection(own);
    b->GetParam(3)->value = 0.25;
    const auto before = b->Engine().Snapshot().targetBands;
    MemoryStream componentBack(component.data), controllerBack(controller.data);
    EXPECT_EQ(b->componentSetState(&componentBack), vst::kResultFalse);
    EXPECT_EQ(b->controllerSetState(&controllerBack), vst::kResultFalse);
    EXPECT_EQ(b->Engine().Snapshot().targetBands, before);
    EXPECT_EQ(b->GetParam(3)->value, 0.25);
    EXPECT_FALSE(b->Engine().Snapshot().quality.known);
}
