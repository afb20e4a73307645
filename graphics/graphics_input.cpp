#include "framework/effect_base.h"
#include "graphics/control.h"
#include "graphics/graphics.h"
#include "graphics/modal_panel.h"

// Pointer and key dispatch of the editor core.

int IGraphics::FindControlAt(int x, int y) {
    for (int i = NControls() - 1; i >= 0; --i) {
        IControl* c = controls[size_t(i)].get();
        if (c->IsHidden() || c->IsDisabled()) continue;
        if (c->HitTest(x, y)) return i;
    }
    return -1;
}

void IGraphics::ReleaseCapture() {
    captureIdx = -1;
    lastX = -1;
    lastY = -1;
}

IControl* IGraphics::PointerTarget(int x, int y) {
    if (IControl* captured = GetControl(captureIdx)) return captured;
    return GetControl(FindControlAt(x, y));
}

bool IGraphics::HostOffersMenuFor(int paramIdx) const {
    // A record that was never defined only carries an editor control (a progress strip, a drawing
    // area); the host has nothing to offer for it, and the control keeps its right button.
    const IParamRecord* record = plug ? plug->GetParam(paramIdx) : nullptr;
    return record && record->type != IParamRecord::kTypeNone;
}

void IGraphics::MouseDown(int x, int y, const IMouseMods& mods) {
    ReleaseCapture();
    if (!panels.empty()) {
        if (mods.left) panels.back()->Click(*this, x, y, false);
        SweepPanels();
        return;
    }
    int idx = FindControlAt(x, y);
    IControl* c = GetControl(idx);
    if (!c) return;
    captureIdx = idx;
    lastX = x;
    lastY = y;
    int paramIdx = c->ParamIdx();
    if (plug && plug->GetBindingKind() == 1 && mods.right && paramIdx >= 0 && HostOffersMenuFor(paramIdx)) {
        // The host offers its own menu for automatable parameters; the control never sees the press.
        ReleaseCapture();
        plug->PopupHostContextMenu(paramIdx, x, y);
        return;
    }
    if (plug && paramIdx >= 0) plug->BeginParamGesture(paramIdx);
    c->HandleMouseDown(x, y, mods);
}

void IGraphics::MouseUp(int x, int y, const IMouseMods& mods) {
    if (!panels.empty()) return;
    IControl* c = PointerTarget(x, y);
    ReleaseCapture();
    if (!c) return;
    int paramIdx = c->ParamIdx();
    c->HandleMouseUp(x, y, mods);
    if (plug && paramIdx >= 0) plug->EndParamGesture(paramIdx);
}

void IGraphics::MouseDrag(int x, int y, const IMouseMods& mods) {
    if (!panels.empty()) return;
    IControl* c = GetControl(captureIdx);
    if (!c || (x == lastX && y == lastY)) return;
    int dx = x - lastX, dy = y - lastY;
    lastX = x;
    lastY = y;
    c->HandleMouseDrag(x, y, dx, dy, mods);
}

bool IGraphics::MouseOver(int x, int y, const IMouseMods& mods) {
    if (!handleMouseOver || !panels.empty()) return false;
    int idx = captureIdx;
    if (!GetControl(idx)) {
        idx = -1;
        for (int i = NControls() - 1; i >= 0; --i) {
            IControl* c = controls[size_t(i)].get();
            if (c->IsHidden() || (c->IsDisabled() && !c->MouseOverWhenDisabled())) continue;
            if (c->HitTest(x, y)) {
                idx = i;
                break;
            }
        }
    }
    IControl* target = GetControl(idx);
    if (!target) return true;
    lastX = x;
    lastY = y;
    target->HandleMouseOver(x, y, mods);
    if (mouseOverIdx != idx) {
        if (IControl* previous = GetControl(mouseOverIdx)) previous->HandleMouseOut();
    }
    mouseOverIdx = idx;
    return true;
}

void IGraphics::MouseLeave() {
    for (auto& c : controls)
        c->HandleMouseOut();
    mouseOverIdx = -1;
}

void IGraphics::MouseDoubleClick(int x, int y, const IMouseMods& mods) {
    ReleaseCapture();
    if (!panels.empty()) {
        if (mods.left) panels.back()->Click(*this, x, y, true);
        SweepPanels();
        return;
    }
    int idx = FindControlAt(x, y);
    IControl* c = GetControl(idx);
    if (!c) return;
    if (c->DoubleClickAsSingleClick()) {
        captureIdx = idx;
        lastX = x;
        lastY = y;
        c->HandleMouseDown(x, y, mods);
    } else {
        c->HandleDoubleClick(x, y, mods);
    }
}

void IGraphics::MouseWheel(int x, int y, const IMouseMods& mods, int steps) {
    if (!panels.empty()) {
        panels.back()->Wheel(*this, steps);
        SweepPanels();
        return;
    }
    if (IControl* c = PointerTarget(x, y)) c->HandleWheel(x, y, mods, steps);
}

bool IGraphics::KeyDown(int x, int y, int keyCode) {
    // A panel reads its keys through PanelKeyDown; the controls below get none meanwhile.
    if (!panels.empty()) return true;
    int idx = GetControl(captureIdx) ? captureIdx : FindControlAt(x, y);
    // The background never takes keys: they go to the key catcher instead.
    IControl* target = idx > 0 ? GetControl(idx) : keyCatcher;
    if (!target) return false;
    return target->HandleKey(x, y, keyCode);
}
