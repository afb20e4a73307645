#pragma once

#include "graphics/control.h"

class CorrectionEngine;
class IGraphics;

// The response display: draws the engine's three display curves (wanted response in green, measured
// difference in grey, corrected result in white on top) over the plot of the background picture,
// and lets the user draw the wanted response with the mouse while the corrected target is heard.
//
// The left button draws freehand; the right button sets an anchor band on the press and, while
// dragged, lays the bands between the anchor and the pointer on a straight line in decibels. The
// 33 normal-resolution points are edited in either resolution; the release redesigns the correction.
// Runs on the editor thread; it reads the engine's curves as a snapshot and edits the drawn curve
// through the engine, which holds the plug-in lock for it: a state or preset restore may write them
// on another thread.
class IMyPlots : public IControl {
  public:
    IMyPlots(IEffectBase* plug, CorrectionEngine& engine, const IPixelRect& rect, int paramIdx);
    ~IMyPlots() override;

    void HandleMouseDown(int x, int y, const IMouseMods& mods) override;
    void HandleMouseUp(int x, int y, const IMouseMods& mods) override;
    void HandleMouseDrag(int x, int y, int dx, int dy, const IMouseMods& mods) override;
    bool Paint(IGraphics* editor) override;

    bool Dragging() const { return dragging; }
    int AnchorBand() const { return anchorBand; }

  private:
    enum class EditMode { Freehand, Anchor, Line };

    // Mouse drawing changes the wanted response only while the corrected target is heard.
    void EditAt(int x, int y, EditMode mode);

    CorrectionEngine& engine;
    bool dragging = false;
    int anchorBand = 0;
};
