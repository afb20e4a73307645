#pragma once

#include "engine/measurement_quality.h"
#include "engine/protected_curve.h"
#include "graphics/pixel_rect.h"
#include "raster/bitmap.h"

class IGraphics;

// What the response display adds after a measurement whose quality is known: bands of low
// confidence shaded behind the curves, markers with the value where a curve leaves the plot, and
// the status line. A measurement of unknown quality (a loaded file) gets none of it.
// `target` is the part `origin` of the editor's surface (editor coordinates).

// Darkens the plot's columns of each normal band by how little of its correction the rule keeps.
void ShadeLowConfidence(RAST_IBitmap& target, const IPixelRect& origin, const double* coherence,
                        const ProtectionRule& rule);

// Where a curve of n ratios lies beyond +-20 dB: for each run of such knots a small triangle at
// the plot's edge in the curve's colour, and its most extreme value ("+30").
void MarkCurveBeyondPlot(IGraphics& editor, RAST_IBitmap& target, const IPixelRect& origin,
                         const double* ratios, int n, RAST_Pixel colour);

// The status line along the bottom of the plot, right-aligned (the calibration file's name is at
// the top, and the roll-offs that leave the plot lie mostly at its left).
void DrawStatusLine(IGraphics& editor, RAST_IBitmap& target, const IPixelRect& origin, const char* text);
