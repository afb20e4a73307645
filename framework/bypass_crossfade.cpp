#include "framework/bypass_crossfade.h"

#include "framework/crossfade_shape.h"

#include <algorithm>

void BypassCrossfade::Reserve(int channels, int frames) {
    channels = std::max(0, channels);
    frames = std::max(0, frames);
    if (static_cast<int>(dry.size()) < channels) dry.resize(static_cast<std::size_t>(channels));
    for (std::vector<double>& d : dry)
        if (static_cast<int>(d.size()) < frames) d.resize(static_cast<std::size_t>(frames), 0.0);
}

void BypassCrossfade::Snap(bool bypassed) {
    position = bypassed ? fadeFrames : 0;
}

void BypassCrossfade::KeepDry(double* const* inputs, int inputCount, int outputCount, int frames) {
    const int channels = std::min(outputCount, static_cast<int>(dry.size()));
    for (int c = 0; c < channels; ++c) {
        std::vector<double>& d = dry[static_cast<std::size_t>(c)];
        const int n = std::min(frames, static_cast<int>(d.size()));
        const double* in = c < inputCount && inputs ? inputs[c] : nullptr;
        if (in)
            std::copy_n(in, n, d.begin());
        else
            std::fill_n(d.begin(), n, 0.0);
    }
}

void BypassCrossfade::Blend(double* const* outputs, int outputCount, int frames, bool bypassed,
                            double sampleRate) {
    const int length = FadeSamples(kCrossfadeSeconds, sampleRate);
    if (length != fadeFrames) {
        // A new rate keeps the fade's progress, not its frame count.
        const bool atDryEnd = position == fadeFrames;
        position = atDryEnd ? length : std::min(position, length);
        fadeFrames = length;
    }
    const int channels = std::min(outputCount, static_cast<int>(dry.size()));
    const int start = position;
    const int step = bypassed ? 1 : -1;
    const int end = bypassed ? fadeFrames : 0;
    for (int c = 0; c < channels; ++c) {
        double* out = outputs ? outputs[c] : nullptr;
        if (!out) continue;
        const double* d = dry[static_cast<std::size_t>(c)].data();
        const int n = std::min(frames, static_cast<int>(dry[static_cast<std::size_t>(c)].size()));
        int p = start;
        for (int f = 0; f < n; ++f) {
            if (p != end) p += step;
            if (p == fadeFrames) {
                out[f] = d[f]; // the input bit for bit, not a sum that rounds
            } else if (p != 0) {
                out[f] += FadeShape(p, fadeFrames) * (d[f] - out[f]);
            }
        }
    }
    // Every channel moved by the same steps; the fade's position follows the block.
    position = bypassed ? std::min(fadeFrames, start + frames) : std::max(0, start - frames);
}
