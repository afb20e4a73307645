// What the binding does for the plug-in base: edits reported to the host, transport, editor
// resizing, host context menus and latency changes.
#include "vst3/effect_vst3.h"

#include "graphics/editor_window.h"
#include "vst3/effect_vst3_view.h"

using namespace vst;

void IEffectVST3::BeginParamGesture(int idx) {
    beginEdit(static_cast<ParamID>(idx));
}
void IEffectVST3::InformHostOfParamChange(int idx, double n) {
    performEdit(static_cast<ParamID>(idx), n);
}
void IEffectVST3::EndParamGesture(int idx) {
    endEdit(static_cast<ParamID>(idx));
}

bool IEffectVST3::IsRenderingOffline() {
    return processSetup.processMode == kOffline;
}

int32_t IEffectVST3::GetSamplePos() {
    return static_cast<int32_t>(
        static_cast<uint32_t>(static_cast<uint64_t>(transportCache.projectTimeSamples)));
}

double IEffectVST3::GetTempo() {
    return transportCache.tempo;
}

void IEffectVST3::GetTimeSignature(int32_t* numerator, int32_t* denominator) {
    if (numerator) *numerator = transportCache.timeSigNumerator;
    if (denominator) *denominator = transportCache.timeSigDenominator;
}

void IEffectVST3::GetTransport(TransportInfo* info) {
    if (!info) return;
    info->tempo = transportCache.tempo;
    info->samplePos = static_cast<double>(transportCache.projectTimeSamples);
    info->ppqPos = transportCache.projectTimeMusic;
    info->lastBar = transportCache.barPositionMusic;
    info->cycleStart = transportCache.cycleStartMusic;
    info->cycleEnd = transportCache.cycleEndMusic;
    info->timeSigNumerator = transportCache.timeSigNumerator;
    info->timeSigDenominator = transportCache.timeSigDenominator;
    info->transportRunning = (transportCache.state & ProcessContext::kPlaying) != 0;
    info->cycleActive = (transportCache.state & ProcessContext::kCycleActive) != 0;
}

void IEffectVST3::ResizeEditor(int width, int height) {
    if (!Graphics() || views.empty()) return;
    IEffectVST3View* view = views.front();
    view->MarkResizePending();
    if (IPlugFrame* frame = view->Frame()) {
        ViewRect rect{0, 0, width, height};
        frame->resizeView(view, &rect);
    }
}

void IEffectVST3::PopupHostContextMenu(int idx, int x, int y) {
    if (!componentHandler || views.empty()) return;
    IComponentHandler3* handler3 = QueryAs<IComponentHandler3>(componentHandler);
    if (!handler3) return;
    const ParamID id = static_cast<ParamID>(idx);
    if (IContextMenu* menu = handler3->createContextMenu(views.front(), &id)) {
        menu->popup(x, y);
        menu->release();
    }
    handler3->release();
}

void IEffectVST3::SetLatency(int samples) {
    IEffectBase::SetLatency(samples);
    if (IComponentHandler* handler = QueryAs<IComponentHandler>(componentHandler)) {
        handler->restartComponent(kLatencyChanged);
        handler->release();
    }
}

bool IEffectVST3::SendMidi(const IMidiEvent&) {
    return false;
}
