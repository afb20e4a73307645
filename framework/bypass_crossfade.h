#pragma once

#include <vector>

// Bypass as a crossfade. While the switch moves, the processed block and the plain copy of the
// input both play, weighted as every crossfade of the plug-in is (framework/crossfade_shape.h):
// engaging or leaving bypass never cuts a waveform. The plug-in
// keeps processing while bypassed, so its filters are already running with the live input when
// the bypass is left and there is no start-up transient to hide.
class BypassCrossfade {
  public:
    // Room for `frames` dry samples on each of `channels` outputs (host threads: may allocate).
    void Reserve(int channels, int frames);
    // The next block starts fully on one side, without a fade (processing starts or restarts).
    void Snap(bool bypassed);
    // Fully processed, nothing to fade: the block plays as it is.
    bool FullyProcessed(bool bypassed) const { return !bypassed && position == 0; }
    // Before the block: keeps each output's dry signal (input c, or silence), since hosts may hand
    // the same buffers for input and output. Channels or frames beyond the reserve are not kept.
    void KeepDry(double* const* inputs, int inputCount, int outputCount, int frames);
    // After the block: moves each output toward the dry signal (bypassed) or away from it, one
    // step per frame, at `sampleRate`. At the dry end the output is the dry signal bit for bit.
    void Blend(double* const* outputs, int outputCount, int frames, bool bypassed, double sampleRate);

  private:
    std::vector<std::vector<double>> dry;
    int position = 0; // 0 = processed only ... fadeFrames = dry only
    int fadeFrames = 1;
};
