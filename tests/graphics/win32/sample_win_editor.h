#pragma once

// The sample editor in the Win32 back end: 200 x 110 pixels, drawn 25 times a second.

#include "graphics/win32/graphics_win.h"
#include "sample_window.h"

struct SampleWinEditor {
    SampleArtwork art;
    SamplePlug plug;
    IGraphicsWin editor{&plug, 200, 110, 25};
    ProbeControl* probe = BuildSampleEditor(editor, plug, art);
};
