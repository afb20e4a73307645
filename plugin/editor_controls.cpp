#include "plugin/editor_controls.h"

#include "graphics/graphics.h"
#include "plugin/parameter_action_target.h"
#include "raster/blit.h"
#include "raster/sys_bitmap.h"

#include <cmath>

// ---- IMyButton ----

IMyButton::IMyButton(IEffectBase* plug, IParameterActionTarget* a, const IPixelRect& rect, int paramIdx_,
                     int action, int blendMethod)
    : IControl(plug, rect, paramIdx_, blendMethod), actions(a), actionIdx(action) {}

void IMyButton::HandleMouseDown(int, int, const IMouseMods&) {
    // The action sees the value from before the press.
    if (actions) actions->DoParameterAction(actionIdx);
    value = value < 0.5 ? 1.0 : 0.0;
    MarkDirty(true);
}

bool IMyButton::Paint(IGraphics*) {
    return true;
}

// ---- IMyRadioButton ----

IMyRadioButton::IMyRadioButton(IEffectBase* plug, IParameterActionTarget* a, int x, int y, int paramIdx_,
                               const IImageStrip& s, int action)
    : IBitmapControl(plug, x, y, paramIdx_, s, IBlendSpec::kAlpha), actions(a), actionIdx(action) {}

void IMyRadioButton::Step() {
    const int n = strip.Frames();
    value += n < 2 ? 1.0 : 1.0 / (n - 1);
    if (value > 1.001) value = 0.0;
    MarkDirty(true);
    if (actions) actions->DoParameterAction(actionIdx);
    SetRepaintAgain();
}

void IMyRadioButton::HandleMouseDown(int, int, const IMouseMods&) {
    Step();
}

void IMyRadioButton::HandleDoubleClick(int, int, const IMouseMods&) {
    Step();
}

// ---- IMyRadioButtonsControl ----

IMyRadioButtonsControl::IMyRadioButtonsControl(IEffectBase* plug, IParameterActionTarget* a,
                                               const IPixelRect& rect, int paramIdx_, int n,
                                               const IImageStrip& s, int action)
    : IRadioButtonsControl(plug, rect, paramIdx_, n, s), actions(a), actionIdx(action) {}

void IMyRadioButtonsControl::HandleMouseDown(int x, int y, const IMouseMods& mods) {
    if (mods.right) {
        IControl::HandleMouseDown(x, y, mods);
        return;
    }
    const int n = NButtons();
    for (int i = 0; i < n; ++i) {
        const IPixelRect& b = buttons[size_t(i)];
        if (b.Empty()) continue;
        if (b.Contains(x, y)) {
            value = n > 1 ? double(i) / (n - 1) : 0.0;
            break;
        }
    }
    MarkDirty(true);
    if (actions) actions->DoParameterAction(actionIdx);
    SetRepaintAgain();
}

// ---- IMyFaderControl ----

IMyFaderControl::IMyFaderControl(IEffectBase* plug, IParameterActionTarget* a, int x, int y, int length_,
                                 int paramIdx_, const IImageStrip& h, int action, bool horiz)
    : IFaderControl(plug, x, y, length_, paramIdx_, h, horiz), actions(a), actionIdx(action),
      horizontal(horiz ? 1 : 0), trackX(x), trackY(y), trackLength(length_) {}

void IMyFaderControl::SnapToPointer(int x, int y) {
    if (horizontal) {
        const int w = handle.FrameWidth();
        const double travel = double(length - w);
        if (travel <= 0.0) return;
        // In doubles: pointer positions far outside the editor cannot overflow.
        value = (double(x) - drawRect.left - w / 2) / travel;
    } else {
        const int h = handle.FrameHeight();
        const double travel = double(length - h);
        if (travel <= 0.0) return;
        value = 1.0 - (double(y) - drawRect.top - h / 2) / travel;
    }
    MarkDirty(true);
    if (actions) actions->DoParameterAction(actionIdx);
}

void IMyFaderControl::HandleWheel(int, int, const IMouseMods& mods, int steps) {
    if (!horizontal) return;
    value += steps * (mods.shift || mods.control ? 0.001 : 0.01);
    MarkDirty(true);
    if (actions) actions->DoParameterAction(actionIdx);
}

void IMyFaderControl::HandleDoubleClick(int, int, const IMouseMods&) {
    if (!horizontal) return;
    if (defaultValue >= 0.0) {
        value = defaultValue;
        MarkDirty(true);
    }
    if (actions) actions->DoParameterAction(actionIdx);
}

bool IMyFaderControl::Paint(IGraphics* editor) {
    if (!editor) return true;
    const double v = std::isfinite(value) ? value : ClampControlValue(value, 0.0, 1.0);
    if (horizontal) {
        const int width = int(trackLength * v + trackX) - trackX;
        FillRectangle(editor->DrawSurface(), trackX, trackY + 5, width, 2, kTrackColour, 1.0f, ModeCopy);
    } else {
        const int height = int(trackLength * v);
        FillRectangle(editor->DrawSurface(), trackX + 5, trackY + trackLength - height, 2, height,
                      kTrackColour, 1.0f, ModeCopy);
    }
    return editor->DrawImage(handle, HandleRect(), 0, 0, &blend);
}

// ---- IDummyControl ----

IDummyControl::IDummyControl(IEffectBase* plug, const IPixelRect& rect)
    : IControl(plug, rect, -1, IBlendSpec::kAlpha) {}

bool IDummyControl::Paint(IGraphics*) {
    return true;
}
