#include "vst3/plugin_view.h"

namespace vst {

PluginView::PluginView(const ViewRect* r) {
    if (r) rect = *r;
}

PluginView::~PluginView() {
    if (plugFrame) plugFrame->release();
}

tresult PluginView::queryInterface(const TUID iid, void** obj) {
    if (!obj) return kInvalidArgument;
    FUnknown* found = nullptr;
    if (iid && (IPlugView::iid.Matches(iid) || FUnknown::iid.Matches(iid)))
        found = static_cast<IPlugView*>(this);
    return AnswerInterface(found, obj);
}

tresult PluginView::isPlatformTypeSupported(FIDString) {
    return kNotImplemented;
}

tresult PluginView::attached(void* parent, FIDString) {
    systemWindow = parent;
    return kResultOk;
}

tresult PluginView::removed() {
    systemWindow = nullptr;
    return kResultOk;
}

tresult PluginView::onWheel(float) {
    return kResultFalse;
}
tresult PluginView::onKeyDown(char16, int16, int16) {
    return kResultFalse;
}
tresult PluginView::onKeyUp(char16, int16, int16) {
    return kResultFalse;
}

tresult PluginView::getSize(ViewRect* size) {
    if (!size) return kInvalidArgument;
    *size = rect;
    return kResultTrue;
}

tresult PluginView::onSize(ViewRect* newSize) {
    if (newSize) rect = *newSize;
    return kResultTrue;
}

tresult PluginView::onFocus(TBool) {
    return kResultFalse;
}

tresult PluginView::setFrame(IPlugFrame* frame) {
    if (frame) frame->addRef();
    if (plugFrame) plugFrame->release();
    plugFrame = frame;
    return kResultTrue;
}

tresult PluginView::canResize() {
    return kResultFalse;
}
tresult PluginView::checkSizeConstraint(ViewRect*) {
    return kResultFalse;
}

} // namespace vst
