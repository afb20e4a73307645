#pragma once

// A small editor made of the standard controls and one probe, built the same way in the test
// program (for in-process and headless renders) and in the test module (behind the real binding).

#include "graphics/pixel_rect.h"

class IEffectBase;
class IGraphics;
class ProbeControl;

inline constexpr int kSceneWidth = 240;
inline constexpr int kSceneHeight = 120;
// Parameters: 0 "Mode" (three steps, the radio group), 1 "Level" (the fader), 2 "Meter", 3 "Free".
inline constexpr int kSceneParams = 4;
inline constexpr IPixelRect kSceneRadio{170, 10, 182, 70};
inline constexpr IPixelRect kSceneText{10, 8, 140, 28};
inline constexpr IPixelRect kSceneProbe{10, 60, 90, 100};
inline constexpr int kSceneFaderX = 110, kSceneFaderY = 100, kSceneFaderLength = 100;

void DefineSceneParameters(IEffectBase& plug);
// Adds the controls; the probe (which takes keys and records calls) is returned.
ProbeControl* BuildScene(IGraphics& editor, IEffectBase& plug);
// The centre of radio button i.
void RadioButtonCentre(int i, int& x, int& y);
