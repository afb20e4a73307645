#pragma once

#include "canvas.h"

// Pictures of the editor for the help pages, composed from the editor's own images the way the
// controls lay them out.
namespace art {

// A new instance: inputs as wired, corrected target heard, normal resolution, gain at 0 dB.
Canvas ComposeFreshEditor();
// A recording under way: the target microphone heard, the progress strip part-way.
Canvas ComposeRecording();
// Inputs swapped and high resolution chosen.
Canvas ComposeHighResolution();
// The About box over the display.
Canvas ComposeAboutBox();

} // namespace art
