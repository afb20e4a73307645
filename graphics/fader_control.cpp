#include "graphics/fader_control.h"

#include "graphics/graphics.h"

#include <cmath>

namespace {

IPixelRect FaderRect(int x, int y, int length, const IImageStrip& h, bool horizontal) {
    if (horizontal) return IPixelRect(x, y, x + length, y + h.FrameHeight());
    return IPixelRect(x, y, x + h.FrameWidth(), y + length);
}

} // namespace

IFaderControl::IFaderControl(IEffectBase* plug, int x, int y, int length_, int paramIdx_,
                             const IImageStrip& h, bool horizontal)
    : IControl(plug, FaderRect(x, y, length_, h, horizontal), paramIdx_, IBlendSpec::kAlpha), length(length_),
      headroom(horizontal ? h.FrameWidth() : h.FrameHeight()), handle(h),
      direction(horizontal ? kHorizontal : kVertical) {}

IPixelRect IFaderControl::HandleRect(double v) const {
    if (v < 0.0) v = value;
    if (!std::isfinite(v)) v = ClampControlValue(v, 0.0, 1.0);
    IPixelRect r(drawRect.left, drawRect.top, drawRect.left + handle.FrameWidth(),
                 drawRect.top + handle.FrameHeight());
    double travel = double(length - headroom);
    if (direction == kHorizontal) {
        int shift = int(travel * v);
        r.left += shift;
        r.right += shift;
    } else {
        int shift = int(travel * (1.0 - v));
        r.top += shift;
        r.bottom += shift;
    }
    return r;
}

void IFaderControl::HandleMouseDown(int x, int y, const IMouseMods& mods) {
    if (mods.right)
        ShowValueEntryForControl();
    else
        SnapToPointer(x, y);
}

void IFaderControl::HandleMouseDrag(int x, int y, int, int, const IMouseMods&) {
    SnapToPointer(x, y);
}

bool IFaderControl::HitTest(int x, int y) {
    if (handleOnly) return HandleRect().Contains(x, y);
    return targetRect.Contains(x, y);
}

void IFaderControl::SnapToPointer(int x, int y) {
    double travel = double(length - headroom);
    if (travel <= 0.0) return;
    // In doubles, so pointer positions far outside the editor cannot overflow.
    if (direction == kHorizontal)
        value = (double(x) - drawRect.left - handle.FrameWidth() / 2) / travel;
    else
        value = 1.0 - (double(y) - drawRect.top - handle.FrameHeight() / 2) / travel;
    MarkDirty(true);
}

bool IFaderControl::Paint(IGraphics* editor) {
    if (!editor) return true;
    return editor->DrawImage(handle, HandleRect(), 0, 0, &blend);
}
