#pragma once

class RAST_IBitmap;

// A bitmap from the image cache seen as a row or column of equal frames. Not owning.
struct IImageStrip {
    RAST_IBitmap* bitmap = nullptr;
    int width = 0;
    int height = 0;
    int frames = 1;
    bool framesHorizontal = false;

    int FrameWidth() const { return framesHorizontal ? width / Frames() : width; }
    int FrameHeight() const { return framesHorizontal ? height : height / Frames(); }
    // Never below one, so frame arithmetic cannot divide by zero.
    int Frames() const { return frames < 1 ? 1 : frames; }
};
