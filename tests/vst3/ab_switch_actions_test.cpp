// A/B listening through the editor's actions, with the plug-in's own class driven as a host drives
// it: a Reset of the drawn curve, a loaded correction, the start of a measurement and the first
// corrected block after it each give way from one running signal to the next without a click.
#include "plugin/alg_file.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"
#include "support/module_loader.h"
#include "support/switch_listening.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

using namespace switch_listening;

namespace {

constexpr long kWindow = 12000; // the switch stretch: warm-up, both fades and a block to spare
constexpr long kSteady = 7200;  // the steady stretches before and after it

struct Owned {
    IMicCorrector* fx = new IMicCorrector();
    ~Owned() { fx->release(); }
};

// A correction as a loaded file brings it: another measurement, the corrected target selected.
AlgRecord LoadedCorrection() {
    AlgRecord r;
    r.flags = AlgFlags(1.0, 0.0, 0.0);
    for (int i = 0; i < 153; ++i) {
        r.targetBands[static_cast<std::size_t>(i)] = std::pow(10.0, 5.0 * std::cos(0.5 * i) / 20.0);
        r.referenceBands[static_cast<std::size_t>(i)] = 1.0;
    }
    r.userCurve.fill(1.0);
    return r;
}

} // namespace

TEST(ABListeningActions, ResetLoadAndAMeasurementGiveWayWithoutAClick) {
    std::filesystem::create_directories(TV_TEST_DOCUMENTS);
    UseDocumentsFolder(TV_TEST_DOCUMENTS);
    for (int block : {256, 1024})
        for (Signal signal : {Signal::Tone, Signal::Vowel}) {
            TestHostApplication app;
            Owned owned;
            IMicCorrector* fx = owned.fx;
            vst::ProcessSetup setup{vst::kOffline, vst::kSample64, 4096, kRate};
            MemoryStream load(CorrectionRecord(1.0, 0.0));
            ASSERT_EQ(fx->initialize(&app), vst::kResultOk);
            ASSERT_EQ(fx->setupProcessing(setup), vst::kResultOk);
            ASSERT_EQ(fx->activateBus(vst::kAudio, vst::kInput, 0, 1), vst::kResultOk);
            ASSERT_EQ(fx->activateBus(vst::kAudio, vst::kOutput, 0, 1), vst::kResultOk);
            ASSERT_EQ(static_cast<vst::IComponent*>(fx)->setState(&load), vst::kResultOk);
            ASSERT_EQ(fx->setActive(1), vst::kResultOk);

            Session s(fx, block, signal, vst::kOffline);
            ASSERT_TRUE(s.Play(kSteady));
            struct Step {
                const char* what;
                std::function<void()> act; // on the editor's thread, between blocks
            };
            const Step steps[] = {
                {"Reset of the drawn curve", [&] { fx->DoParameterAction(kParamReset); }},
                {"a loaded correction", [&] { fx->ApplyCorrectionRecord(LoadedCorrection()); }},
                {"the start of a measurement", [&] { fx->DoParameterAction(kParamStart); }},
                {"the first corrected block after the measurement",
                 [&] {
                     while (fx->Engine().Snapshot().recordingActive)
                         ASSERT_TRUE(s.Play(block));
                     ASSERT_TRUE(s.Play(kSteady)); // the steady stretch before the switch
                     fx->Engine().PollRecordingSignals();
                     fx->Engine().RunAnalysis(); // as the analysis trigger runs it
                 }},
            };
            for (const Step& step : steps) {
                step.act();
                const long at = s.Position();
                ASSERT_TRUE(s.Play(kWindow + kSteady));
                const SwitchFigures f = Judge(s.output, at, kWindow, kSteady);
                const std::string where = std::string(step.what) + ", " + SignalName(signal) +
                                          ", blocks of " + std::to_string(block);
                EXPECT_LE(f.peakRatio, 1.05) << where;
                EXPECT_LE(f.stepRatio, 1.5) << where;
            }
            EXPECT_EQ(fx->Engine().Snapshot().outputSelection, 1.0) << "the measurement's correction plays";
            fx->setActive(0);
            fx->terminate();
        }
}
