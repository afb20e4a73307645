#pragma once

// Test helper: encodes PNG images with libpng, and rewrites chunk CRCs after a test has tampered
// with chunk contents.

#include <cstdint>
#include <vector>

struct PngImage {
    int width = 0, height = 0;
    int depth = 8;
    int colourType = 0; // PNG colour type 0, 2, 3, 4 or 6
    bool interlaced = false;
    // Raw samples, row by row, channels interleaved (palette images: indices).
    std::vector<uint16_t> samples;
    std::vector<uint8_t> palette;        // r, g, b triples
    std::vector<uint8_t> paletteAlpha;   // tRNS for palette images
    bool hasTransparentColour = false;   // tRNS for grey / RGB images
    uint16_t transparent[3] = {0, 0, 0}; // grey in [0], or r, g, b

    int Channels() const;
};

std::vector<unsigned char> EncodePng(const PngImage& image);

// Recomputes the CRC of every complete chunk after the signature.
void FixChunkCrcs(std::vector<unsigned char>& png);
