#pragma once

#include "graphics/control.h"
#include "graphics/image_strip.h"

#include <vector>

// A column of buttons drawn from a two-frame strip (frame 0 off, frame 1 on); the value picks one.
class IRadioButtonsControl : public IControl {
  public:
    // Buttons are stacked from the top of `rect` with equal gaps down to its bottom. A group needs
    // two buttons to have a gap and a value step; one button sits at the top and always means 0,
    // and a group of none has nothing to draw or hit.
    IRadioButtonsControl(IEffectBase* plug, const IPixelRect& rect, int paramIdx, int nButtons,
                         const IImageStrip& strip);

    void HandleMouseDown(int x, int y, const IMouseMods& mods) override;
    bool Paint(IGraphics* editor) override;

    int NButtons() const { return int(buttons.size()); }
    const IPixelRect& Button(int i) const { return buttons[size_t(i)]; }
    // Index of the button the current value selects; -1 when there are no buttons.
    int SelectedButton() const;
    // Value that selects button i.
    double ValueForButton(int i) const;

  protected:
    std::vector<IPixelRect> buttons;
    IImageStrip strip;
};
