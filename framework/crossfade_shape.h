#pragma once

// The shape and length of every crossfade the plug-in plays: what the engine plays giving way to
// the next, and the host's bypass.
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

// Progress 0..1 of a raised-cosine fade at step `position` of `length` (1 from `length` on).
double FadeShape(int position, int length);

// Samples of a length in seconds at the working rate, at least one.
int FadeSamples(double seconds, double sampleRate);
