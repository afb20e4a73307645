// The product module loaded by path, its editor embedded in our host window through the view and
// driven by our run loop: the picture against the headless render of the same editor, clicks and
// a whole recording with the window open, and hosts that get the protocol wrong.
#include "graphics/headless/headless_graphics.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "plugin/parameter_table.h"
#include "support/different_pixels.h"
#include "support/host_block.h"
#include "vst3/host/shared_host.h"
#include "x11/x11_host.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

using namespace vst;

namespace {

// Two channels in and out, 64-bit, one block of noise at a time.
struct StereoBlocks {
    static constexpr int kFrames = 512;
    StereoBlocks() { block.data.processMode = kRealtime; }
    tresult Play(IAudioProcessor* p) {
        for (int i = 0; i < kFrames; ++i) {
            block.in[0][size_t(i)] = noise(random);
            block.in[1][size_t(i)] = 0.5 * block.in[0][size_t(i)] + 0.1 * noise(random);
        }
        return p->process(block.data);
    }
    std::mt19937 random{11};
    std::uniform_real_distribution<double> noise{-0.5, 0.5};
    HostBlock<double> block{kFrames};
};

class ProductEditor : public ::testing::Test {
  protected:
    void SetUp() override {
        REQUIRE_MODULE();
        ASSERT_TRUE(host.Ok()) << "no X display";
        in = std::make_unique<Instance>(SharedHost(), &app);
        ASSERT_EQ(in->initResult, kResultOk);
        view = in->controller->createView("editor");
        ASSERT_NE(view, nullptr);
    }
    void TearDown() override {
        if (view) view->release();
        in.reset();
    }
    tresult Attach() {
        view->setFrame(&frame);
        tresult r = view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID);
        loop.RunFor(200);
        return r;
    }
    xcb_window_t EditorWindow() {
        auto children = host.Children();
        return children.size() == 1 ? children[0] : 0;
    }

    TestHostApplication app;
    RecordingHandler handler;
    HostWindow host{900, 400};
    TestRunLoop loop;
    TestFrame frame{&loop};
    std::unique_ptr<Instance> in;
    IPlugView* view = nullptr;
};

TEST_F(ProductEditor, WindowShowsWhatTheHeadlessEditorDraws) {
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID), kResultOk);
    EXPECT_EQ(view->isPlatformTypeSupported(kPlatformTypeHWND), kResultFalse);
    ViewRect size{};
    ASSERT_EQ(view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, 730);
    EXPECT_EQ(size.bottom, 330);

    ASSERT_EQ(Attach(), kResultOk);
    ASSERT_NE(EditorWindow(), 0u);
    EXPECT_EQ(loop.TimerIntervals(), std::vector<uint64>{40});
    std::unique_ptr<RAST_MemBitmap> shot = host.Capture(EditorWindow());
    ASSERT_TRUE(shot);

    // The same editor in this process, drawn into memory.
    IMicCorrector* reference = new IMicCorrector(CreateHeadlessEditor);
    auto* headless = static_cast<IGraphicsHeadless*>(reference->Editor());
    headless->AttachToParent(nullptr);
    headless->TickUntilClean();
    EXPECT_EQ(DifferentPixels(*shot, *headless->Presented()), 0);
    headless->DetachWindow();
    reference->release();
    EXPECT_EQ(view->removed(), kResultOk);
}

TEST_F(ProductEditor, ClickAndRecordingWithTheWindowOpen) {
    ASSERT_EQ(in->controller->setComponentHandler(&handler), kResultOk);
    ProcessSetup setup{kRealtime, kSample64, StereoBlocks::kFrames, 48000.0};
    ASSERT_EQ(in->processor->setupProcessing(setup), kResultOk);
    ASSERT_EQ(in->component->setActive(1), kResultOk);
    in->processor->setProcessing(1);
    StereoBlocks blocks;
    for (int i = 0; i < 8; ++i)
        ASSERT_EQ(blocks.Play(in->processor), kResultOk);
    ASSERT_EQ(Attach(), kResultOk);

    auto editsOf = [&](ParamID id, double value) {
        return std::count_if(
            handler.edits.begin(), handler.edits.end(),
            [&](const RecordingHandler::Edit& e) { return e.kind == 'p' && e.id == id && e.value == value; });
    };
    // "Start" switches the output to the target microphone and arms the recording; the progress
    // panel shows from a following draw cycle.
    std::unique_ptr<RAST_MemBitmap> idle = host.Capture(EditorWindow());
    ASSERT_TRUE(idle);
    const IPixelRect start = editor_rect::kStart;
    host.Click((start.left + start.right) / 2, (start.top + start.bottom) / 2);
    ASSERT_TRUE(loop.RunUntil([&] { return editsOf(kParamOutputs, 0.5) == 1; }));
    std::unique_ptr<RAST_MemBitmap> before;
    ASSERT_TRUE(loop.RunUntil(
        [&] {
            before = host.Capture(EditorWindow());
            return before && DifferentPixels(*idle, *before) > 1000;
        },
        5000))
        << "the progress panel shows";

    // The host plays while its loop runs the editor; the analysis follows from the draw cycle
    // and switches to the corrected target.
    int played = 0;
    while (editsOf(kParamOutputs, 1.0) == 0 && played < 3000) {
        ASSERT_EQ(blocks.Play(in->processor), kResultOk);
        if (++played % 16 == 0) loop.RunFor(1);
    }
    EXPECT_TRUE(loop.RunUntil([&] { return editsOf(kParamOutputs, 1.0) == 1; }, 10000))
        << played << " blocks";
    EXPECT_GE(played, (1 << 19) / StereoBlocks::kFrames);
    // The design behind the new curves may take a few ticks on a busy machine.
    ASSERT_TRUE(before);
    int changed = 0;
    loop.RunUntil(
        [&] {
            std::unique_ptr<RAST_MemBitmap> after = host.Capture(EditorWindow());
            changed = after ? DifferentPixels(*before, *after) : 0;
            return changed > 1000;
        },
        15000);
    EXPECT_GT(changed, 1000) << "the response display shows the measurement";

    EXPECT_EQ(view->removed(), kResultOk);
    in->processor->setProcessing(0);
    in->component->setActive(0);
    in->controller->setComponentHandler(nullptr);
}

// The straight-line tool through the window system: with the corrected target playing, a drag
// with the right button across the whole display leaves the drawn curve one straight line from
// +20 dB down to -20 dB, as the host's saved state shows.
TEST_F(ProductEditor, RightButtonDragDrawsAStraightLine) {
    ASSERT_EQ(Attach(), kResultOk);
    auto curve = [&] {
        MemoryStream state;
        EXPECT_EQ(in->component->getState(&state), kResultOk);
        std::vector<double> points(33);
        if (state.data.size() >= 2712) std::memcpy(points.data(), state.data.data() + 2448, 33 * 8);
        return points;
    };
    host.Click(532, 214); // the corrected target's mark
    ASSERT_TRUE(loop.RunUntil([&] { return in->controller->getParamNormalized(kParamOutputs) == 1.0; }));

    host.MoveTo(50, 11);
    host.Button(3, true);
    for (int step = 1; step <= 8; ++step)
        host.MoveTo(50 + (486 - 50) * step / 8, 11 + (306 - 11) * step / 8);
    host.Button(3, false);
    std::vector<double> drawn;
    EXPECT_TRUE(loop.RunUntil([&] {
        drawn = curve();
        return drawn[0] == 10.0 && drawn[32] == 0.1;
    }, 10000)) << drawn[0] << " .. " << drawn[32];
    for (int i = 1; i < 32; ++i)
        EXPECT_NEAR(std::log10(drawn[static_cast<size_t>(i)]), 1.0 - 2.0 * i / 32.0, 1e-12) << i;
}

TEST_F(ProductEditor, FiftyOpenAndCloseCyclesThroughTheView) {
    ASSERT_EQ(Attach(), kResultOk);
    ASSERT_EQ(view->removed(), kResultOk);
    const int descriptors = OpenDescriptors();
    for (int i = 0; i < 50; ++i) {
        view->setFrame(&frame);
        ASSERT_EQ(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultOk) << i;
        loop.RunFor(i % 10 == 0 ? 60 : 0);
        ASSERT_NE(EditorWindow(), 0u) << i;
        ASSERT_EQ(view->removed(), kResultOk);
        view->setFrame(nullptr);
        ASSERT_TRUE(host.Children().empty()) << i;
        ASSERT_EQ(loop.EventHandlers() + loop.Timers(), 0u) << i;
    }
    EXPECT_EQ(OpenDescriptors(), descriptors);
    EXPECT_EQ(frame.References(), 1);
    EXPECT_EQ(loop.References(), 1);
}

TEST_F(ProductEditor, HostsThatGetTheProtocolWrong) {
    // Removed without attached.
    EXPECT_EQ(view->removed(), kResultOk);
    // No frame, or a frame without a run loop: refused, nothing made.
    EXPECT_EQ(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    TestFrame bare(nullptr);
    view->setFrame(&bare);
    EXPECT_EQ(view->attached(host.Handle(), kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_EQ(view->removed(), kResultOk);
    view->setFrame(nullptr);
    EXPECT_EQ(bare.References(), 1);
    // A parent that is no window.
    view->setFrame(&frame);
    EXPECT_EQ(view->attached(nullptr, kPlatformTypeX11EmbedWindowID), kResultFalse);
    EXPECT_TRUE(host.Children().empty());

    // The host destroys its window before removing the view, then calls the handlers it kept.
    ASSERT_EQ(Attach(), kResultOk);
    host.Destroy();
    loop.RunFor(100);
    EXPECT_EQ(view->removed(), kResultOk);
    EXPECT_EQ(loop.EventHandlers() + loop.Timers(), 0u);
    for (FUnknown* h : loop.kept) {
        if (auto* e = QueryAs<IEventHandler>(h)) {
            e->onFDIsSet(0);
            e->release();
        }
        if (auto* t = QueryAs<ITimerHandler>(h)) {
            t->onTimer();
            t->release();
        }
    }
}

TEST_F(ProductEditor, InstanceReleasedWithItsWindowOpen) {
    ASSERT_EQ(Attach(), kResultOk);
    // The host forgets removed: the last references go while the window is up.
    view->release();
    view = nullptr;
    in.reset();
    EXPECT_EQ(loop.EventHandlers() + loop.Timers(), 0u);
    EXPECT_TRUE(loop.RunUntil([&] { return host.Children().empty(); }));
    for (FUnknown* h : loop.kept)
        if (auto* t = QueryAs<ITimerHandler>(h)) {
            t->onTimer();
            t->release();
        }
}

} // namespace
