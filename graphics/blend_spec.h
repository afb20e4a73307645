#pragma once

// How a control's images are combined with the draw surface.
struct IBlendSpec {
    enum Method { kAlpha = 0, kOpaque = 1, kAdd = 2, kDodge = 3 };

    int method = kAlpha;
    float weight = 1.0f;

    // The raster blit mode for the method; unknown methods draw as alpha copies.
    int BlitMode() const;
};

// Weight a disabled control's images are drawn with.
inline constexpr float kDisabledBlendWeight = 0.25f;
