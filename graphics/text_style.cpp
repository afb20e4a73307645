#include "graphics/text_style.h"

#include <cstring>

ITextStyle::ITextStyle(const char* face, int size_, IArgbColor colour, int style_, int alignment_,
                       int orientation_, int quality_)
    : size(size_), textColour(colour), style(style_), alignment(alignment_), orientation(orientation_),
      quality(quality_) {
    SetFaceName(face);
}

void ITextStyle::SetFaceName(const char* face) {
    std::memset(faceName, 0, sizeof faceName);
    if (face) std::strncpy(faceName, face, sizeof faceName - 1);
}
