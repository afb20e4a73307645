#include "graphics/bitmap_control.h"

#include "graphics/graphics.h"

#include <cmath>

IBitmapControl::IBitmapControl(IEffectBase* plug, int x, int y, int paramIdx_, const IImageStrip& s,
                               int blendMethod)
    : IControl(plug, IPixelRect(x, y, x + s.FrameWidth(), y + s.FrameHeight()), paramIdx_, blendMethod),
      strip(s) {}

int IBitmapControl::FrameForValue() const {
    int n = strip.Frames();
    if (n < 2) return 1;
    double v = std::isfinite(value) ? value : ClampControlValue(value, 0.0, 1.0);
    double pick = (n - 1) * v + 0.5;
    if (pick < 0.0) return 1;
    if (pick >= n) return n;
    int i = int(pick) + 1;
    return i > n ? n : i;
}

bool IBitmapControl::Paint(IGraphics* editor) {
    int n = strip.Frames();
    int i = FrameForValue();
    int srcX = 0, srcY = 0;
    if (i >= 2) {
        if (strip.framesHorizontal)
            srcX = int(double(strip.width) * (i - 1) / n + 0.5);
        else
            srcY = int(double(strip.height) * (i - 1) / n + 0.5);
    }
    if (editor) editor->DrawImage(strip, drawRect, srcX, srcY, &blend);
    return true;
}
