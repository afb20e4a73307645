#pragma once

// How one output gives way to the next: the lengths and the shape of every change of what plays.
//
// A crossfade moves between two running signals with weights that always sum to one (equal gain),
// so its output never exceeds the larger of the two, whether they are correlated (the raw and the
// corrected target, one design and the next) or not (the reference and the target). An equal-power
// fade would lift correlated signals by 3 dB in its middle, and every switch here has at least one
// side correlated with the other. The raised-cosine shape starts and ends with zero slope, so the
// fade adds no corner to either signal.

// 20 ms: long enough that the fade's own spectrum stays below a few tens of hertz (no click above
// the lowest bands), short enough that an A/B comparison feels immediate.
constexpr double kCrossfadeSeconds = 0.020;
// A cascade that has to start from rest runs silently on the live input this long before it is
// faded in: about five decay times of the semitone section at 100 Hz and of the lowest
// normal-resolution section, so that its start has died away in every band that speech or music
// fills.
constexpr double kWarmUpSeconds = 0.100;
// A new "Gain" moves over 5 ms: no zipper from a fader or the host's automation steps, and still
// at once to the ear.
constexpr double kGainRampSeconds = 0.005;

// Progress 0..1 of a raised-cosine fade at step `position` of `length` (1 from `length` on).
double FadeShape(int position, int length);

// Samples of a length in seconds at the working rate, at least one.
int FadeSamples(double seconds, double sampleRate);

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
