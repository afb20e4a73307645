#include "graphics/radio_buttons_control.h"

#include "graphics/graphics.h"

#include <cmath>

IRadioButtonsControl::IRadioButtonsControl(IEffectBase* plug, const IPixelRect& rect, int paramIdx_, int n,
                                           const IImageStrip& s)
    : IControl(plug, rect, paramIdx_, IBlendSpec::kAlpha), strip(s) {
    if (n < 1) return;
    int h = int(double(strip.height) / strip.Frames());
    int g = n > 1 ? int(double(rect.bottom - double(n) * h - rect.top) / (n - 1)) : 0;
    for (int i = 0; i < n; ++i) {
        int top = rect.top + i * (h + g);
        buttons.emplace_back(rect.left, top, rect.left + strip.width, top + h);
    }
}

double IRadioButtonsControl::ValueForButton(int i) const {
    int n = NButtons();
    return n > 1 ? double(i) / (n - 1) : 0.0;
}

int IRadioButtonsControl::SelectedButton() const {
    int n = NButtons();
    if (n < 1) return -1;
    double v = std::isfinite(value) ? value : ClampControlValue(value, 0.0, 1.0);
    double pick = (n - 1) * v + 0.5;
    if (pick < 0.0) return 0;
    int s = pick >= n ? n - 1 : int(pick);
    return s > n - 1 ? n - 1 : s;
}

void IRadioButtonsControl::HandleMouseDown(int x, int y, const IMouseMods& mods) {
    if (mods.right) {
        ShowValueEntryForControl();
        return;
    }
    for (int i = 0; i < NButtons(); ++i) {
        if (buttons[size_t(i)].Contains(x, y)) {
            value = ValueForButton(i);
            break;
        }
    }
    MarkDirty(true);
}

bool IRadioButtonsControl::Paint(IGraphics* editor) {
    if (!editor) return true;
    int selected = SelectedButton();
    for (int i = 0; i < NButtons(); ++i) {
        int srcX = 0, srcY = 0;
        if (i == selected && strip.Frames() > 1) {
            if (strip.framesHorizontal)
                srcX = int(double(strip.width) / strip.Frames() + 0.5);
            else
                srcY = int(double(strip.height) / strip.Frames() + 0.5);
        }
        editor->DrawImage(strip, buttons[size_t(i)], srcX, srcY, &blend);
    }
    return true;
}
