#pragma once

#include "canvas.h"

#include <string>

// Anti-aliased text through FreeType, with faces found by fontconfig.
class TextFace {
  public:
    // A fontconfig pattern such as "DejaVu Sans" or "DejaVu Sans:bold"; pixel size of the em.
    TextFace(const char* pattern, int pixelSize);
    ~TextFace();
    TextFace(const TextFace&) = delete;
    TextFace& operator=(const TextFace&) = delete;

    bool Loaded() const { return face != nullptr; }
    // Advance width of the text in pixels.
    float Measure(const std::string& text) const;
    // Height of capital letters above the baseline.
    float CapHeight() const;

    enum Align { Left, Centre, Right };
    // Draws the text with its baseline at `baseline`; x is the left edge, the centre or the right
    // edge by `align`. Returns the left edge used.
    float Draw(Canvas& canvas, const std::string& text, float x, float baseline, Colour colour,
               Align align = Left) const;
    // Draws the text with its capitals vertically centred on `middle`.
    float DrawCentredOn(Canvas& canvas, const std::string& text, float x, float middle, Colour colour,
                        Align align = Left) const;

  private:
    void* library = nullptr;
    void* face = nullptr;
};
