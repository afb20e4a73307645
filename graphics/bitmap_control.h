#pragma once

#include "graphics/control.h"
#include "graphics/image_strip.h"

// Shows one frame of an image strip, chosen by the value.
class IBitmapControl : public IControl {
  public:
    // The rectangle is one frame of the strip placed at (x, y).
    IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx, const IImageStrip& strip,
                   int blendMethod = IBlendSpec::kAlpha);

    bool Paint(IGraphics* editor) override;

    // 1-based frame for the current value: 1 for strips of fewer than two frames.
    int FrameForValue() const;
    const IImageStrip& Strip() const { return strip; }

  protected:
    IImageStrip strip;
};
