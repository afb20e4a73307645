#include "vst3/effect_vst3_view.h"

#include "graphics/editor_window.h"
#include "vst3/effect_vst3.h"
#include "vst3/view_platform.h"

#include <cstring>

using namespace vst;

namespace {
bool IsNativeType(FIDString type) {
    return type && std::strcmp(type, ViewPlatformType()) == 0;
}
} // namespace

IEffectVST3View::IEffectVST3View(IEffectVST3* p) : plugin(p) {
    if (plugin) plugin->addRef();
}

IEffectVST3View::~IEffectVST3View() {
    if (!plugin) return;
    // A host that lets go of an open view without removing it still gets its window closed.
    if (editorOpen) removed();
    // Hosts open one view per instance; the list is cleared as a whole.
    plugin->views.clear();
    IEffectVST3* owner = plugin;
    plugin = nullptr;
    owner->release();
}

tresult IEffectVST3View::isPlatformTypeSupported(FIDString type) {
    // An editor that cannot make a window of its own (the headless one) offers no platform type.
    if (!plugin || !plugin->Graphics() || !plugin->EditorWindow()) return kResultFalse;
    return IsNativeType(type) ? kResultOk : kResultFalse;
}

tresult IEffectVST3View::attached(void* parent, FIDString type) {
    if (!plugin || !plugin->Graphics()) return kResultFalse;
    // The editor object exists but cannot make a window of its own here.
    IEditorWindow* window = plugin->EditorWindow();
    if (!window) return kResultFalse;
    if (IsNativeType(type)) {
        // A window that cannot be made (no display, no host run loop) is the host's to know
        // about; the editor stays closed.
        window->UseHostRunLoop(HostRunLoopFor(plugFrame));
        if (!window->AttachToParent(parent)) return kResultFalse;
    }
    systemWindow = parent;
    // Attached again without a removal in between the window moves; the editor is open already.
    if (!editorOpen) {
        editorOpen = true;
        plugin->OnEditorOpen();
    }
    return kResultOk;
}

tresult IEffectVST3View::removed() {
    // Only what this view opened is closed: a second removal, or one without attached, does nothing.
    if (editorOpen && plugin && plugin->Graphics()) {
        plugin->OnEditorClose();
        if (IEditorWindow* window = plugin->EditorWindow()) window->DetachWindow();
    }
    editorOpen = false;
    systemWindow = nullptr;
    return kResultOk;
}

tresult IEffectVST3View::getSize(ViewRect* size) {
    if (!plugin || !plugin->Graphics()) return kResultFalse;
    IEditorWindow* window = plugin->EditorWindow();
    if (!window || !size) return kResultFalse;
    *size = ViewRect{0, 0, window->EditorWidth(), window->EditorHeight()};
    return kResultOk;
}

tresult IEffectVST3View::onSize(ViewRect* newSize) {
    if (!newSize) return kResultOk;
    rect = *newSize;
    if (resizePending) {
        resizePending = false;
        if (plugin) plugin->OnWindowResize();
    }
    return kResultOk;
}
