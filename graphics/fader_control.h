#pragma once

#include "graphics/control.h"
#include "graphics/image_strip.h"

// A handle moved along a track. The value is the handle's position: 0 at the left (horizontal) or
// the bottom (vertical) end.
class IFaderControl : public IControl {
  public:
    enum Direction { kVertical = 0, kHorizontal = 1 };

    // Horizontal: the rectangle is `length` wide and one handle high, and the handle's width is the
    // headroom. Vertical: one handle wide and `length` high, with the handle's height as headroom.
    IFaderControl(IEffectBase* plug, int x, int y, int length, int paramIdx, const IImageStrip& handle,
                  bool horizontal = true);

    void HandleMouseDown(int x, int y, const IMouseMods& mods) override;
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseMods& mods) override;
    bool HitTest(int x, int y) override;
    bool Paint(IGraphics* editor) override;

    // Moves the handle under the pointer. Appended after the control operations.
    virtual void SnapToPointer(int x, int y);

    // The handle's rectangle for value v; a negative v means the current value.
    IPixelRect HandleRect(double v = -1.0) const;

    int Length() const { return length; }
    int Headroom() const { return headroom; }
    int Direction() const { return direction; }
    void SetHandleOnlyHit(bool on) { handleOnly = on; }

  protected:
    int length;
    int headroom;
    IImageStrip handle;
    int direction;
    bool handleOnly = false;
};
