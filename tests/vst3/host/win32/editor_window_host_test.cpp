// The product's editor in a real window, reached the way a host reaches it: the module loaded by
// path, its view attached to a window of ours, messages sent at the controls, audio through
// `process` while the window is open, and the editor opened and closed many times.
#include "graphics/headless/headless_graphics.h"
#include "graphics/headless/surface_png.h"
#include "graphics/platform_editor.h"
#include "graphics/text_control.h"
#include "plugin/editor_layout.h"
#include "plugin/mic_corrector.h"
#include "raster/mem_bitmap.h"
#include "support/host_block.h"
#include "vst3/host/shared_host.h"
#include "window_test_support.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <set>

using namespace vst;

namespace {

namespace R = editor_rect;
constexpr ParamID kOutputsId = 1, kGainId = 3;

HINSTANCE ModuleHandle() {
    return static_cast<HINSTANCE>(SharedHost().Module().Handle());
}

// One instance with its editor view, a host window and a handler recording edits.
struct OpenEditor {
    OpenEditor() : in(SharedHost(), &app) {
        if (!in.controller) return;
        in.controller->setComponentHandler(&handler);
        view = in.controller->createView("editor");
    }
    ~OpenEditor() {
        if (in.component) in.component->setActive(0);
        if (view) {
            view->removed();
            view->release();
        }
        if (in.controller) in.controller->setComponentHandler(nullptr);
    }
    bool Attach() {
        if (!view || view->attached(host.Handle(), "HWND") != kResultOk) return false;
        window = FindWindowExA(host.Handle(), nullptr, "IEffectWndClass", nullptr);
        Pump(200);
        return window != nullptr;
    }
    bool Prepare() {
        ProcessSetup setup{kRealtime, kSample64, 512, 48000.0};
        return in.processor->setupProcessing(setup) == kResultOk &&
               in.component->activateBus(kAudio, kInput, 0, 1) == kResultOk &&
               in.component->activateBus(kAudio, kOutput, 0, 1) == kResultOk &&
               in.component->setActive(1) == kResultOk;
    }
    std::vector<double> Performed(ParamID id) const {
        std::vector<double> values;
        for (const auto& e : handler.edits)
            if (e.kind == 'p' && e.id == id) values.push_back(e.value);
        return values;
    }

    TestHostApplication app;
    RecordingHandler handler;
    Instance in;
    IPlugView* view = nullptr;
    HostWindow host{760, 360};
    HWND window = nullptr;
};

// Noise on both inputs, the target a filtered copy of the reference, through the host interface.
struct NoiseBlocks {
    std::mt19937 random{11};
    HostBlock<double> block{512};
    std::vector<double>& left = block.in[0];
    std::vector<double>& right = block.in[1];
    double previous = 0.0;

    tresult Play(IAudioProcessor* p) {
        std::uniform_real_distribution<double> noise(-0.5, 0.5);
        for (int i = 0; i < 512; ++i) {
            left[size_t(i)] = noise(random);
            previous = 0.7 * previous + 0.3 * left[size_t(i)]; // a duller microphone
            right[size_t(i)] = previous;
        }
        return p->process(block.data);
    }
};

RAST_Pixel Rgb(const RAST_IBitmap* b, int x, int y) {
    return b->Row(y)[x] | 0xff000000u;
}

bool Inside(const IPixelRect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

int DifferingPixels(const RAST_IBitmap* a, const RAST_IBitmap* b, const IPixelRect& area,
                    const std::vector<IPixelRect>& skip = {}) {
    int n = 0;
    for (int y = area.top; y < area.bottom; ++y)
        for (int x = area.left; x < area.right; ++x) {
            bool skipped = false;
            for (const IPixelRect& s : skip)
                skipped = skipped || Inside(s, x, y);
            n += !skipped && Rgb(a, x, y) != Rgb(b, x, y);
        }
    return n;
}

// A small fingerprint of what a rectangle shows.
uint64_t AreaHash(const RAST_IBitmap* b, const IPixelRect& r) {
    uint64_t h = 1469598103934665603ull;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            h = (h ^ Rgb(b, x, y)) * 1099511628211ull;
    return h;
}

// Pictures land in the test's folder of the build tree, for people to look at.
std::string Shot(const char* name) {
    return name;
}

const IPixelRect kWhole{0, 0, kEditorWidth, kEditorHeight};

// Where the editor's text controls draw (the calibration file's name, the version number).
std::vector<IPixelRect> TextRects(IGraphics& editor) {
    std::vector<IPixelRect> rects;
    for (int i = 0; i < editor.NControls(); ++i)
        if (dynamic_cast<ITextControl*>(editor.GetControl(i)))
            rects.push_back(editor.GetControl(i)->DrawRect());
    return rects;
}

} // namespace

TEST(ModuleEditorWindow, OpensInTheHostWindowAndShowsTheHeadlessPicture) {
    REQUIRE_MODULE();
    OpenEditor e;
    ASSERT_NE(e.view, nullptr);
    EXPECT_EQ(e.view->isPlatformTypeSupported("HWND"), kResultOk);
    EXPECT_EQ(e.view->isPlatformTypeSupported("X11EmbedWindowID"), kResultFalse);
    ViewRect size{};
    ASSERT_EQ(e.view->getSize(&size), kResultOk);
    EXPECT_EQ(size.right, kEditorWidth);
    EXPECT_EQ(size.bottom, kEditorHeight);
    ASSERT_TRUE(e.Attach());
    EXPECT_TRUE(ClassRegistered(ModuleHandle(), "IEffectWndClass"));
    RECT client{};
    GetClientRect(e.window, &client);
    EXPECT_EQ(client.right, kEditorWidth);
    EXPECT_EQ(client.bottom, kEditorHeight);

    std::unique_ptr<RAST_SysBitmap> shot = CaptureWindow(e.window);
    ASSERT_TRUE(WriteBitmapPng(shot.get(), Shot("win_module_editor.png")));

    // The same plug-in class in this program, with the headless editor, in the same fresh state.
    IMicCorrector* reference = new IMicCorrector(CreateHeadlessEditor);
    auto* headless = static_cast<IGraphicsHeadless*>(reference->Editor());
    ASSERT_NE(headless, nullptr);
    headless->AttachToParent(nullptr);
    headless->TickUntilClean();
    ASSERT_TRUE(WriteBitmapPng(headless->Presented(), Shot("win_module_headless.png")));
    const std::vector<IPixelRect> textRects = TextRects(*headless);
    EXPECT_EQ(DifferingPixels(shot.get(), headless->Presented(), kWhole, textRects), 0);
    // Text is drawn by the same platform fonts on both sides here; recorded, not required.
    int inText = 0;
    for (const IPixelRect& r : textRects)
        inText += DifferingPixels(shot.get(), headless->Presented(), r.Intersection(kWhole));
    ::testing::Test::RecordProperty("differing_text_pixels", inText);
    headless->DetachWindow();
    reference->release();

    EXPECT_EQ(e.view->removed(), kResultOk);
    EXPECT_FALSE(IsWindow(e.window));
    EXPECT_FALSE(ClassRegistered(ModuleHandle(), "IEffectWndClass"));
}

TEST(ModuleEditorWindow, MessagesAtTheControlsReachParametersAndTheHost) {
    REQUIRE_MODULE();
    OpenEditor e;
    ASSERT_TRUE(e.Prepare());
    ASSERT_TRUE(e.Attach());
    const std::unique_ptr<RAST_SysBitmap> before = CaptureWindow(e.window);

    // Outputs: the third mark, the corrected microphone.
    Click(e.window, 530, 214);
    Pump(100);
    EXPECT_EQ(e.Performed(kOutputsId), (std::vector<double>{1.0}));
    EXPECT_DOUBLE_EQ(e.in.controller->getParamNormalized(kOutputsId), 1.0);

    // Gain: grab the fader, drag it three quarters along, let go outside the editor.
    const int y = (R::kGain.top + R::kGain.bottom) / 2;
    const int start = R::kGain.left + 6 + 36, end = R::kGain.left + 6 + 54;
    PostMessageA(e.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(start, y));
    PostMessageA(e.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end, y));
    PostMessageA(e.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(end, y + 200));
    PostMessageA(e.window, WM_LBUTTONUP, 0, MAKELPARAM(end, y + 200));
    Pump(100);
    std::vector<double> gain = e.Performed(kGainId);
    ASSERT_FALSE(gain.empty());
    EXPECT_NEAR(gain.back(), 0.75, 1e-9);
    const double afterDrag = e.in.controller->getParamNormalized(kGainId);
    EXPECT_NEAR(afterDrag, 0.75, 1e-9);
    const size_t begins = std::count_if(e.handler.edits.begin(), e.handler.edits.end(),
                                        [](const auto& x) { return x.kind == 'b' && x.id == kGainId; });
    const size_t ends = std::count_if(e.handler.edits.begin(), e.handler.edits.end(),
                                      [](const auto& x) { return x.kind == 'e' && x.id == kGainId; });
    EXPECT_EQ(begins, 1u);
    EXPECT_EQ(ends, 1u);

    // Wheel over the fader: one notch is one step, a fraction of a notch nothing.
    POINT at{R::kGain.left + 30, y};
    ClientToScreen(e.window, &at);
    SendMessageA(e.window, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(at.x, at.y));
    EXPECT_NEAR(e.in.controller->getParamNormalized(kGainId), afterDrag + 0.01, 1e-9);
    SendMessageA(e.window, WM_MOUSEWHEEL, MAKEWPARAM(0, 100), MAKELPARAM(at.x, at.y));
    EXPECT_NEAR(e.in.controller->getParamNormalized(kGainId), afterDrag + 0.01, 1e-9);

    // A curve drawn across the response display redesigns the correction and shows it.
    const int x0 = R::kDisplay.left + 60, x1 = R::kDisplay.right - 60,
              ym = (R::kDisplay.top + R::kDisplay.bottom) / 2;
    PostMessageA(e.window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, ym - 60));
    for (int x = x0; x <= x1; x += 8)
        PostMessageA(e.window, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x, ym - 60 + (x - x0) / 3));
    PostMessageA(e.window, WM_LBUTTONUP, 0, MAKELPARAM(x1, ym));
    Pump(400);
    const std::unique_ptr<RAST_SysBitmap> after = CaptureWindow(e.window);
    ASSERT_TRUE(WriteBitmapPng(after.get(), Shot("win_module_after_input.png")));
    EXPECT_GT(DifferingPixels(before.get(), after.get(), R::kDisplay), 100);
    // The marks and the fader moved on the screen as well.
    EXPECT_GT(DifferingPixels(before.get(), after.get(), R::kOutputs), 0);
    EXPECT_GT(DifferingPixels(before.get(), after.get(), R::kGain), 0);
}

TEST(ModuleEditorWindow, RecordingThroughProcessWhileTheWindowIsOpen) {
    REQUIRE_MODULE();
    OpenEditor e;
    ASSERT_TRUE(e.Prepare());
    ASSERT_TRUE(e.Attach());
    const std::unique_ptr<RAST_SysBitmap> before = CaptureWindow(e.window);

    Click(e.window, (R::kStart.left + R::kStart.right) / 2, (R::kStart.top + R::kStart.bottom) / 2);
    Pump(100);
    NoiseBlocks audio;
    std::set<uint64_t> progressPictures;
    bool wroteMidway = false;
    // 2^19 samples at 48 kHz are 1024 blocks; the window's timer draws between bursts of blocks.
    for (int block = 0; block < 1100; ++block) {
        ASSERT_EQ(audio.Play(e.in.processor), kResultOk);
        if (block % 64 == 63) {
            Pump(60);
            std::unique_ptr<RAST_SysBitmap> shot = CaptureWindow(e.window);
            progressPictures.insert(AreaHash(shot.get(), R::kProgress));
            if (!wroteMidway && block > 500) {
                wroteMidway = WriteBitmapPng(shot.get(), Shot("win_module_recording.png"));
            }
        }
    }
    // The bar went through many of its frames, each drawn by the timer.
    EXPECT_GE(progressPictures.size(), 8u);

    // The analysis runs from the draw cycle; the curves then appear on the display.
    std::unique_ptr<RAST_SysBitmap> after;
    PumpUntil(
        [&] {
            after = CaptureWindow(e.window);
            return DifferingPixels(before.get(), after.get(), R::kDisplay) > 500;
        },
        60000);
    ASSERT_TRUE(WriteBitmapPng(after.get(), Shot("win_module_after_recording.png")));
    EXPECT_GT(DifferingPixels(before.get(), after.get(), R::kDisplay), 500);
    // Analysis switches the output to the corrected microphone and tells the host.
    EXPECT_DOUBLE_EQ(e.in.controller->getParamNormalized(kOutputsId), 1.0);
}

TEST(ModuleEditorWindow, OpenedAndClosedFiftyTimesLeavesNothingBehind) {
    REQUIRE_MODULE();
    OpenEditor e;
    ASSERT_TRUE(e.Attach());
    e.view->removed();
    const DWORD gdi = GdiObjects(), user = UserObjects();
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(e.view->attached(e.host.Handle(), "HWND"), kResultOk);
        EXPECT_EQ(CountWindowsOfClass("IEffectWndClass"), 1);
        Pump(i % 10 == 0 ? 80 : 5);
        ASSERT_EQ(e.view->removed(), kResultOk);
        EXPECT_EQ(CountWindowsOfClass("IEffectWndClass"), 0);
        EXPECT_FALSE(ClassRegistered(ModuleHandle(), "IEffectWndClass"));
    }
    Pump(20);
    // Counted on Windows; Wine answers 0 for both.
    EXPECT_LE(GdiObjects(), gdi);
    EXPECT_LE(UserObjects(), user);
}

TEST(ModuleEditorWindow, HostsThatCallOutOfOrder) {
    REQUIRE_MODULE();
    OpenEditor e;
    EXPECT_EQ(e.view->removed(), kResultOk); // never attached
    // No parent, or a handle that is no window: refused, nothing left registered.
    for (void* parent : {static_cast<void*>(nullptr), reinterpret_cast<void*>(INT_PTR(0x7ffe1234))}) {
        EXPECT_EQ(e.view->attached(parent, "HWND"), kResultFalse);
        EXPECT_EQ(CountWindowsOfClass("IEffectWndClass"), 0);
        EXPECT_FALSE(ClassRegistered(ModuleHandle(), "IEffectWndClass"));
    }
    // Attached twice: one window, in the second parent.
    HostWindow second(760, 360);
    ASSERT_EQ(e.view->attached(e.host.Handle(), "HWND"), kResultOk);
    ASSERT_EQ(e.view->attached(second.Handle(), "HWND"), kResultOk);
    EXPECT_EQ(CountWindowsOfClass("IEffectWndClass"), 1);
    HWND moved = FindWindowExA(second.Handle(), nullptr, "IEffectWndClass", nullptr);
    ASSERT_NE(moved, nullptr);
    // Odd sizes from the host leave the fixed-size window as it is.
    ViewRect odd[] = {{0, 0, -5, -5}, {100, 100, 0, 0}, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    for (ViewRect& r : odd)
        EXPECT_EQ(e.view->onSize(&r), kResultOk);
    EXPECT_EQ(e.view->onSize(nullptr), kResultOk);
    EXPECT_EQ(e.view->checkSizeConstraint(&odd[0]), kResultFalse);
    RECT client{};
    GetClientRect(moved, &client);
    EXPECT_EQ(client.right, kEditorWidth);
    EXPECT_EQ(client.bottom, kEditorHeight);
    // The parent goes first; the late removal still unregisters the class.
    second.Destroy();
    Pump(50);
    EXPECT_EQ(CountWindowsOfClass("IEffectWndClass"), 0);
    EXPECT_EQ(e.view->removed(), kResultOk);
    EXPECT_EQ(e.view->removed(), kResultOk);
    EXPECT_FALSE(ClassRegistered(ModuleHandle(), "IEffectWndClass"));
    // And it opens again.
    EXPECT_TRUE(e.Attach());
}

TEST(ModuleEditorWindow, SaveDialogOpensFromTheButtonAndIsDismissed) {
    REQUIRE_MODULE();
    OpenEditor e;
    ASSERT_TRUE(e.Attach());
    HWND owner = nullptr;
    {
        ModalAnswer answer("#32770", [&](HWND dialog) {
            owner = GetAncestor(GetWindow(dialog, GW_OWNER), GA_ROOT);
            PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        Click(e.window, (R::kSave.left + R::kSave.right) / 2, (R::kSave.top + R::kSave.bottom) / 2);
        PumpUntil([&] { return answer.Answered(); }, 5000);
        EXPECT_TRUE(answer.Answered());
        Pump(100);
    }
    // Whatever the dialog's owner, it is not another process's window.
    if (owner) {
        DWORD pid = 0;
        GetWindowThreadProcessId(owner, &pid);
        EXPECT_EQ(pid, GetCurrentProcessId());
    }
    EXPECT_TRUE(IsWindow(e.window));
}
