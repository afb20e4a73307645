#include "test_effect.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>

namespace {
std::vector<double> Values(IEffectBase& fx) {
    std::vector<double> v;
    for (int i = 0; i < fx.NParams(); ++i)
        v.push_back(fx.GetParam(i)->value);
    return v;
}
} // namespace

TEST(EffectBase, StoresTheConstructionFacts) {
    TestEffect fx;
    EXPECT_STREQ(fx.EffectName(), "Test Effect");
    EXPECT_EQ(fx.UniqueId(), FourCharCode("Tsv2"));
    EXPECT_EQ(fx.Version(), 0x20003);
    EXPECT_EQ(fx.GetHost(), kHostNotIdentified);
    EXPECT_EQ(fx.GetBindingKind(), 1);
    EXPECT_EQ(fx.GetSampleRate(), 44100.0);
    EXPECT_EQ(fx.GetBlockSize(), 0);
    EXPECT_FALSE(fx.IsBypassed());
    EXPECT_EQ(fx.GetParam(3), nullptr);
    EXPECT_EQ(fx.GetParam(-1), nullptr);
    EXPECT_STREQ(fx.GetPreset(0)->name, "empty");
}

TEST(EffectBase, SerializedParamsRoundTripAndShortChunksStopCleanly) {
    TestEffect fx;
    fx.GetParam(0)->value = 0.25;
    fx.GetParam(1)->value = 2.0;
    fx.GetParam(2)->value = 4.5;
    IByteChunk chunk;
    ASSERT_TRUE(fx.SerializeParams(chunk));
    EXPECT_EQ(chunk.Size(), 24);

    TestEffect back;
    EXPECT_EQ(back.UnserializeParams(chunk, 0), 24);
    EXPECT_EQ(Values(back), Values(fx));
    EXPECT_EQ(back.changed, (std::vector<int>{0, 1, 2}));

    // Eight bytes short, or four (a value cut in half): the parameter where the data runs out keeps
    // its value, and the result still says the chunk was short.
    for (int size : {16, 20}) {
        IByteChunk shortChunk;
        shortChunk.Put(chunk.Data(), size);
        TestEffect cut;
        cut.GetParam(2)->value = 3.5;
        EXPECT_EQ(cut.UnserializeParams(shortChunk, 0), -1) << size;
        EXPECT_EQ(cut.GetParam(1)->value, 2.0) << size;
        EXPECT_EQ(cut.GetParam(2)->value, 3.5) << size;
    }

    // Out of data at the first parameter: none changes, every one is announced.
    IByteChunk shortChunk;
    shortChunk.Put(chunk.Data(), 16);
    TestEffect early;
    const std::vector<double> before = Values(early);
    EXPECT_EQ(early.UnserializeParams(shortChunk, 12), -1);
    EXPECT_EQ(Values(early), before);
    EXPECT_EQ(early.changed.size(), 3u);

    // Values outside the range are clamped; non-finite values are not taken.
    IByteChunk odd;
    odd.PutValue(9.0);
    odd.PutValue(std::nan(""));
    odd.PutValue(-HUGE_VAL);
    TestEffect clamped;
    EXPECT_EQ(clamped.UnserializeParams(odd, 0), 24);
    EXPECT_EQ(Values(clamped), (std::vector<double>{1.0, 1.0, -5.0}));
}

TEST(EffectBase, CompareStateNeverReadsPastTheData) {
    TestEffect fx;
    IByteChunk chunk;
    chunk.PutValue(99.0); // one leading value, so the parameters start at double position 1
    fx.SerializeParams(chunk);
    EXPECT_TRUE(fx.CompareState(chunk.Data(), chunk.Size(), 1));
    EXPECT_FALSE(fx.CompareState(chunk.Data(), chunk.Size(), 0));
    EXPECT_FALSE(fx.CompareState(chunk.Data(), chunk.Size() - 1, 1));
    EXPECT_FALSE(fx.CompareState(chunk.Data(), chunk.Size(), 2));
    EXPECT_FALSE(fx.CompareState(nullptr, 0, 0));
    fx.GetParam(2)->value += 1e-6; // within single-precision tolerance
    EXPECT_TRUE(fx.CompareState(chunk.Data(), chunk.Size(), 1));
    fx.GetParam(2)->value += 1e-3;
    EXPECT_FALSE(fx.CompareState(chunk.Data(), chunk.Size(), 1));
}

TEST(EffectBase, PresetsCaptureAndRestoreState) {
    TestEffect fx(2);
    fx.CaptureDefaultPreset("-");
    EXPECT_STREQ(fx.GetPreset(0)->name, "-");
    EXPECT_TRUE(fx.GetPreset(0)->initialised);
    EXPECT_EQ(fx.GetPreset(0)->chunk.Size(), 24);

    // An uninitialised slot captures the current state as "user preset 1".
    fx.GetParam(0)->value = 0.75;
    EXPECT_TRUE(fx.RestorePreset(1));
    EXPECT_STREQ(fx.GetPreset(1)->name, "user preset 1");
    EXPECT_EQ(fx.CurrentPreset(), 1);
    EXPECT_EQ(fx.presetsRestored, 1);

    fx.GetParam(0)->value = 0.1;
    EXPECT_TRUE(fx.RestorePreset(0));
    EXPECT_EQ(fx.GetParam(0)->value, 0.5);
    EXPECT_TRUE(fx.RestorePreset(1)); // a second call reloads the captured state
    EXPECT_EQ(fx.GetParam(0)->value, 0.75);
    EXPECT_EQ(fx.presetsRestored, 3);

    EXPECT_FALSE(fx.RestorePreset(2));
    EXPECT_FALSE(fx.RestorePreset(-1));
    EXPECT_EQ(fx.CurrentPreset(), 1);

    fx.CaptureDefaultPreset("again"); // no free slot: nothing happens
    EXPECT_STREQ(fx.GetPreset(0)->name, "-");
}

TEST(EffectBase, ParameterFromEditorInformsHostWithUnroundedValue) {
    TestEffect fx;
    fx.SetParameterFromUI(1, 0.74);
    EXPECT_DOUBLE_EQ(fx.GetParam(1)->value, 1.48); // continuous: not rounded to the step
    ASSERT_EQ(fx.informed.size(), 1u);
    EXPECT_EQ(fx.informed[0].second, 0.74);
    EXPECT_EQ(fx.changed, std::vector<int>{1});

    fx.SetParameterFromUI(7, 0.5); // unknown index: nothing
    EXPECT_EQ(fx.informed.size(), 1u);
}

TEST(EffectBase, EditorReceivesValuesAndRedraws) {
    TestEffect fx;
    fx.RedrawParamControls(); // no editor: nothing
    RecordingEditor::Log log;
    fx.AttachGraphics(std::make_unique<RecordingEditor>(log));
    ASSERT_EQ(log.hostValues.size(), 3u);
    EXPECT_DOUBLE_EQ(log.hostValues[2].second, 0.3); // -2 on -5..5
    EXPECT_EQ(log.surfacesPrepared, 1);
    ASSERT_NE(fx.Graphics(), nullptr);

    fx.RedrawParamControls();
    ASSERT_EQ(log.pushed.size(), 3u);
    EXPECT_EQ(log.pushed[2].second, -2.0); // plain, not normalised
}

TEST(EffectBase, SetBlockSizeResizesScratchOnlyOnChange) {
    TestEffect fx;
    fx.SetBlockSize(64);
    EXPECT_EQ(fx.InChannel(0).scratch.size(), 64u);
    fx.InChannel(0).scratch[5] = 3.0;
    fx.SetBlockSize(64);
    EXPECT_EQ(fx.InChannel(0).scratch[5], 3.0);
    fx.SetBlockSize(32);
    EXPECT_EQ(fx.OutChannel(1).scratch.size(), 32u);
    EXPECT_EQ(fx.InChannel(0).scratch[5], 0.0);
}

TEST(EffectBase, DefaultProcessCopiesInputsAndSilencesTheRest) {
    IEffectBase fx(EffectFacts{0, "1-3", 0, "", "", "", 0, 0, 0});
    double in[4] = {1, 2, 3, 4}, out0[4], out1[4] = {9, 9, 9, 9}, out2[4] = {9, 9, 9, 9};
    double* ins[] = {in};
    double* outs[] = {out0, out1, out2};
    fx.ProcessBlock(ins, outs, 4);
    EXPECT_EQ(out0[3], 4.0);
    EXPECT_EQ(out1[0], 0.0);
    EXPECT_EQ(out2[3], 0.0);
    fx.ProcessBlock(ins, outs, 0);
    fx.ProcessBlock(nullptr, nullptr, 4);
}

TEST(EffectBase, BypassDelaysEachChannelByTheLatency) {
    TestEffect fx;
    fx.bypassDelay = std::make_unique<BypassDelay>();
    fx.bypassDelay->inputs = 2;
    fx.bypassDelay->outputs = 2;
    fx.SetLatency(3);
    ASSERT_EQ(fx.bypassDelay->buffer.size(), 6u);

    double l[5] = {1, 2, 3, 4, 5}, r[5] = {10, 20, 30, 40, 50};
    double lo[5], ro[5];
    fx.InData()[0] = l;
    fx.InData()[1] = r;
    fx.OutData()[0] = lo;
    fx.OutData()[1] = ro;
    fx.PassThrough(5);
    EXPECT_EQ((std::vector<double>(lo, lo + 5)), (std::vector<double>{0, 0, 0, 1, 2}));
    EXPECT_EQ((std::vector<double>(ro, ro + 5)), (std::vector<double>{0, 0, 0, 10, 20}));

    // The delay carries across blocks, also when processing in place.
    double l2[2] = {6, 7};
    fx.InData()[0] = l2;
    fx.OutData()[0] = l2;
    fx.InData()[1] = r;
    fx.OutData()[1] = ro;
    fx.PassThrough(2);
    EXPECT_EQ(l2[0], 3.0);
    EXPECT_EQ(l2[1], 4.0);

    // Latency 0 copies straight through.
    fx.SetLatency(0);
    double x[2] = {5, 6}, y[2];
    fx.InData()[0] = x;
    fx.OutData()[0] = y;
    fx.PassThrough(2);
    EXPECT_EQ(y[1], 6.0);
}

TEST(EffectBase, HostFloatBuffersConvertWithoutOverrunningScratch) {
    TestEffect fx;
    fx.SetBlockSize(4);
    for (int i = 0; i < 2; ++i) {
        fx.InChannel(i).connected = true;
        fx.OutChannel(i).connected = true;
    }
    fx.InChannel(1).connected = false;

    // More frames than the announced block size: the scratch grows.
    float a[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    float* host[] = {a};
    fx.AttachInputBuffers(0, 2, host, 8);
    EXPECT_EQ(fx.InData()[0], fx.InChannel(0).scratch.data());
    EXPECT_EQ(fx.InChannel(0).scratch.size(), 8u);
    EXPECT_EQ(fx.InData()[0][7], 8.0);
    EXPECT_EQ(fx.InData()[1], nullptr); // not connected: untouched

    float outA[8] = {}, outB[8] = {};
    for (int i = 0; i < 2; ++i)
        *fx.OutChannel(i).slot = fx.OutChannel(i).scratch.data();
    fx.OutChannel(0).hostFloatBuffer = outA;
    fx.OutChannel(1).hostFloatBuffer = outB;
    fx.ProcessBlock(fx.InData(), fx.OutData(), 8);
    fx.ConvertOutputs(8);
    EXPECT_EQ(outA[7], 8.0f);
    EXPECT_EQ(outB[7], 0.0f);

    fx.AttachInputBuffers(0, 2, nullptr, 4); // no host buffers: silence, no crash
    EXPECT_EQ(fx.InData()[0][0], 0.0);
}

TEST(EffectBase, LockIsHeldAcrossNestedHooksAndExcludesOtherThreads) {
    TestEffect fx;
    std::atomic<bool> inside{false};
    std::atomic<bool> otherEntered{false};
    fx.EnterLock();
    std::thread other([&] {
        while (!inside)
            std::this_thread::yield();
        fx.SetParameterFromUI(0, 0.2); // must wait for the lock
        otherEntered = true;
    });
    inside = true;
    fx.SetParameterFromUI(0, 0.9); // re-enters on the owning thread
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    EXPECT_FALSE(otherEntered.load());
    EXPECT_DOUBLE_EQ(fx.GetParam(0)->value, 0.9);
    fx.LeaveLock();
    other.join();
    EXPECT_DOUBLE_EQ(fx.GetParam(0)->value, 0.2);
}
