#include "tools/vorelline/plugin_session.h"

#include "graphics/headless/headless_graphics.h"
#include "graphics/headless/surface_png.h"
#include "platform/plugin_lock.h"
#include "plugin/mic_corrector.h"
#include "raster/mem_bitmap.h"
#include "vst3/abi/processing.h"

namespace {
constexpr double kTimerSeconds = 0.040;
constexpr int kMaxBlockFrames = 512;
} // namespace

PluginSession::PluginSession() : plugin(new IMicCorrector(CreateHeadlessEditor)) {
    editor = static_cast<IGraphicsHeadless*>(plugin->Editor());
    // The headless window needs only a non-null parent.
    editor->AttachToParent(this);
    editor->TickUntilClean();
}

PluginSession::~PluginSession() {
    editor->DetachWindow();
    plugin->release();
}

void PluginSession::PrepareProcessing(double hostSampleRate) {
    vst::ProcessSetup setup{vst::kRealtime, vst::kSample64, kMaxBlockFrames, hostSampleRate};
    plugin->setupProcessing(setup);
    hostRate = hostSampleRate;
    framesSinceTick = 0.0;
}

void PluginSession::Process(double** inputs, double** outputs, int frames) {
    {
        PluginLockGuard guard(plugin->Lock());
        plugin->ProcessBlock(inputs, outputs, frames);
    }
    framesSinceTick += frames;
    const double framesPerTick = hostRate * kTimerSeconds;
    if (framesPerTick > 0.0 && framesSinceTick >= framesPerTick) {
        framesSinceTick -= framesPerTick;
        DrawCycle();
    }
}

void PluginSession::Click(const IPixelRect& r, bool rightButton) {
    const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    IMouseMods mods;
    mods.left = !rightButton;
    mods.right = rightButton;
    editor->MouseDown(x, y, mods);
    editor->MouseUp(x, y, mods);
}

void PluginSession::DrawCycle() {
    editor->Tick();
}

bool PluginSession::WriteEditorPicture(const std::string& path) {
    editor->TickUntilClean();
    return WriteBitmapPng(editor->Presented(), path);
}

bool PluginSession::EditorPicturePng(std::vector<std::uint8_t>& png) {
    editor->TickUntilClean();
    return EncodeBitmapPng(editor->Presented(), png);
}
