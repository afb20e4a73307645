#pragma once

#include "graphics/bitmap_control.h"
#include "graphics/control.h"
#include "graphics/fader_control.h"
#include "graphics/radio_buttons_control.h"

class IParameterActionTarget;

// The application's own controls. Each passes its new value to the plug-in and the host and then
// asks the plug-in to act (IParameterActionTarget), each in its own order.

// An invisible push button over a face painted in the background: acts first, then toggles its
// value between 0 and 1 and reports it.
class IMyButton : public IControl {
  public:
    IMyButton(IEffectBase* plug, IParameterActionTarget* actions, const IPixelRect& rect, int paramIdx,
              int actionIdx, int blendMethod = IBlendSpec::kOpaque);
    void HandleMouseDown(int x, int y, const IMouseMods& mods) override;
    bool Paint(IGraphics* editor) override;

  private:
    IParameterActionTarget* actions;
    int actionIdx;
};

// A picture that steps through its frames on every click (the input selector: two frames, so each
// click swaps the inputs).
class IMyRadioButton : public IBitmapControl {
  public:
    IMyRadioButton(IEffectBase* plug, IParameterActionTarget* actions, int x, int y, int paramIdx,
                   const IImageStrip& strip, int actionIdx);
    void HandleMouseDown(int x, int y, const IMouseMods& mods) override;
    void HandleDoubleClick(int x, int y, const IMouseMods& mods) override;

  private:
    void Step();
    IParameterActionTarget* actions;
    int actionIdx;
};

// A column of radio marks. A press between marks keeps the value but still acts; the right button
// opens the value entry instead and does not act.
class IMyRadioButtonsControl : public IRadioButtonsControl {
  public:
    IMyRadioButtonsControl(IEffectBase* plug, IParameterActionTarget* actions, const IPixelRect& rect,
                           int paramIdx, int nButtons, const IImageStrip& strip, int actionIdx);
    void HandleMouseDown(int x, int y, const IMouseMods& mods) override;

  private:
    IParameterActionTarget* actions;
    int actionIdx;
};

// The gain fader: a handle on a track with a coloured line from the track's start to the handle.
// The pointer snaps the handle's centre; the wheel moves it by 0.01 per step (0.001 with shift or
// control); a double-click returns it to its default.
class IMyFaderControl : public IFaderControl {
  public:
    IMyFaderControl(IEffectBase* plug, IParameterActionTarget* actions, int x, int y, int length,
                    int paramIdx, const IImageStrip& handle, int actionIdx, bool horizontal = true);
    void HandleDoubleClick(int x, int y, const IMouseMods& mods) override;
    void HandleWheel(int x, int y, const IMouseMods& mods, int steps) override;
    bool Paint(IGraphics* editor) override;
    void SnapToPointer(int x, int y) override;

    static constexpr unsigned kTrackColour = 0xff00b8c2u; // (0, 184, 194), opaque

  private:
    IParameterActionTarget* actions;
    int actionIdx;
    int horizontal;
    int trackX;
    int trackY;
    int trackLength;
};

// Invisible: its value is the signal that a recording is complete. The draw cycle that delivers
// the completion sets it to kAnalysisTriggerValue, then resets it and runs the analysis
// (IMicCorrector::OnDrawCycle). Painting it draws nothing and starts nothing.
class IDummyControl : public IControl {
  public:
    IDummyControl(IEffectBase* plug, const IPixelRect& rect);
    bool Paint(IGraphics* editor) override;
};
