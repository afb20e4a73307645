#include "graphics/control.h"

#include "framework/effect_base.h"
#include "graphics/graphics.h"
#include "graphics/text_control.h"

#include <cmath>
#include <string>

IControl::IControl(IEffectBase* plug_, const IPixelRect& rect, int paramIdx_, int blendMethod)
    : plug(plug_), drawRect(rect), targetRect(rect), paramIdx(paramIdx_) {
    blend.method = blendMethod;
    blend.weight = 1.0f;
}

IControl::~IControl() = default;

IParamRecord* IControl::Param() const {
    if (!plug || paramIdx < 0) return nullptr;
    return plug->GetParam(paramIdx);
}

void IControl::AddAuxParam(int idx) {
    auxParams.push_back({idx, 0.0});
}

AuxParam* IControl::GetAuxParam(int position) {
    if (position < 0 || position >= NAuxParams()) return nullptr;
    return &auxParams[size_t(position)];
}

void IControl::HandleMouseDown(int, int, const IMouseMods& mods) {
    if (mods.right) ShowValueEntryForControl();
}

void IControl::HandleDoubleClick(int, int, const IMouseMods&) {
    if (defaultValue >= 0.0) {
        value = defaultValue;
        MarkDirty(true);
    }
}

void IControl::ApplyHostValue(double v) {
    if (defaultValue < 0.0) {
        // The first value from the host is also the one a double-click returns to. A value that is
        // not a number never becomes the default: it is clamped as MarkDirty would clamp it.
        if (!std::isfinite(v)) v = ClampControlValue(v, clampLo, clampHi);
        value = v;
        defaultValue = v;
        return;
    }
    if (v != value) {
        value = v;
        MarkDirty(false);
        repaintAgain = true;
    }
}

void IControl::ApplyUserValue(double v) {
    if (v != value) {
        value = v;
        MarkDirty(true);
        repaintAgain = true;
    }
}

void IControl::ApplyHostAuxValue(int position, double v) {
    AuxParam* aux = GetAuxParam(position);
    if (!aux) return;
    if (!std::isfinite(v)) v = ClampControlValue(v, 0.0, 1.0);
    if (v != aux->value) {
        aux->value = v;
        MarkDirty(false);
        repaintAgain = true;
    }
}

void IControl::SetHidden(bool hide) {
    hidden = hide;
    repaintAgain = true;
    MarkDirty(false);
}

void IControl::SetDisabled(bool disable) {
    disabled = disable;
    blend.weight = disable ? kDisabledBlendWeight : 1.0f;
    MarkDirty(false);
}

bool IControl::HitTest(int x, int y) {
    return targetRect.Contains(x, y);
}

namespace {

std::string Cut32(std::string s) {
    if (s.size() > 32) s.resize(32);
    return s;
}

} // namespace

void IControl::MarkDirty(bool pushToPlug) {
    value = ClampControlValue(value, clampLo, clampHi);
    dirty = true;
    if (!pushToPlug || !plug || paramIdx < 0) return;
    plug->SetParameterFromUI(paramIdx, value);
    const IParamRecord* record = Param();
    if (!record) return;
    if (valueDisplay) {
        std::string text = Cut32(record->FormatForHost(record->value, false));
        text += ' ';
        text += Cut32(record->HostLabel());
        valueDisplay->SetText(text);
    }
    if (nameDisplay) nameDisplay->SetText(Cut32(record->name));
}

void IControl::MarkClean() {
    dirty = repaintAgain;
    repaintAgain = false;
}

void IControl::ShowValueEntryForControl() {
    if (paramIdx < 0 || promptDisabled) return;
    IParamRecord* record = Param();
    IPixelRect r = drawRect;
    if (!record || record->displayTexts.empty()) {
        int cx = int((double(drawRect.left) + drawRect.right) * 0.5);
        int cy = int((double(drawRect.top) + drawRect.bottom) * 0.5);
        r = IPixelRect(cx - 20, cy - 8, cx + 20, cy + 8);
    }
    if (editor) editor->ShowValueEntry(this, record, &r);
    repaintAgain = true;
}
