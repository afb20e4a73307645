#pragma once

// How one output gives way to the next: the lengths of every change of what plays besides the
// crossfade itself (its shape and length: framework/crossfade_shape.h), and the ramp of a value.

#include "framework/crossfade_shape.h"

// A cascade that has to start from rest runs silently on the live input this long before it is
// faded in: about five decay times of the semitone section at 100 Hz and of the lowest
// normal-resolution section, so that its start has died away in every band that speech or music
// fills.
constexpr double kWarmUpSeconds = 0.100;
// A new "Gain" moves over 5 ms: no zipper from a fader or the host's automation steps, and still
// at once to the ear.
constexpr double kGainRampSeconds = 0.005;

// A value that moves to each new target along the fade shape, sample by sample, starting from
// wherever it is when the target changes.
class Ramp {
  public:
    // Jumps to `value` at once (nothing has played yet).
    void Jump(double value);
    // Sets a new target, reached after `length` samples; the same target again changes nothing.
    void MoveTo(double target, int length);
    bool Moving() const { return position < length; }
    double Target() const { return to; }
    // The value at the next sample.
    double Next();

  private:
    double from = 1.0;
    double to = 1.0;
    double now = 1.0;
    int position = 0;
    int length = 0;
};
