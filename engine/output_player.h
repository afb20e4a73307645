#pragma once

#include "engine/band_grid.h"
#include "engine/output_fade.h"
#include "engine/peaking_section.h"

#include <array>

// What should play in one block, as the engine's fields say under the plug-in lock.
struct PlayRequest {
    enum class Source { Reference, Target, Corrected, Silence };
    Source source = Source::Silence;
    int referenceChannel = 0; // input channel of the reference microphone; the target is the other
    // The designed paths: the reference's calibration cascade and the target's correction cascade,
    // `sections` long, the corrected target times targetGain. Read only when pathsReady.
    bool pathsReady = false;
    int sections = kNormalBands;
    const PeakingSection* reference = nullptr;
    const PeakingSection* target = nullptr;
    double targetGain = 1.0;
    double rawGain = 1.0; // the raw target's "Gain"
    double sampleRate = 1.0;
};

// The audio path's output: every signal that can be switched to keeps running, and every change of
// what plays is a crossfade between two running signals.
//
// Both filtered paths run all the time (the reference through its calibration cascade, the target
// through its correction cascade; a flat cascade costs nothing), so a switch of "Outputs" is a
// crossfade alone. A new design, another resolution or swapped inputs make a new pair of paths
// beside the pair that plays: a cascade that can carry on from the running states of the same
// sections on the same input starts warm; one that cannot starts from rest and runs silently on the
// live input for the warm-up before it is faded in, so no cascade starts cold into the output.
// While a new pair warms up or fades in, a change of "Outputs" waits for it, so that what is
// selected is heard through the design that belongs to it.
//
// Audio thread only; it allocates nothing and everything it does is counted in samples, so an
// offline render gives the same bits every time.
class OutputPlayer {
  public:
    // Plays one block: in0/in1 may be null (silence); the output is written to out0 and out1, each
    // may be null.
    void Play(const PlayRequest& request, const double* in0, const double* in1, double* out0, double* out1,
              int frames);

    // Whether a change is still on its way (warm-up, crossfade, gain ramp).
    bool Changing() const;

  private:
    static constexpr int kChunk = 512;
    enum Role { kReferenceRole = 0, kTargetRole = 1 };

    // One pair of running paths and the design they play.
    struct PathPair {
        std::array<PeakingSection, kMaxSections> cascade[2];
        bool flat[2] = {true, true};
        int warmth[2] = {0, 0}; // samples the states have run on their input (up to 2^30)
        int sections = kNormalBands;
        int referenceChannel = 0;
        double targetGain = 1.0;
    };
    enum class Phase { Steady, WarmingUp, FadingIn };

    void Start(const PlayRequest& request);
    void Follow(const PlayRequest& request);
    bool Plays(const PathPair& pair, const PlayRequest& request) const;
    // The pair for what the request asks, states carried where they may be (mayCarry).
    void Prepare(PathPair& next, const PlayRequest& request, bool mayCarry);
    bool Warm(const PathPair& pair) const;
    void RunPaths(PathPair& pair, const double* in0, const double* in1, int frames, double* reference,
                  double* target);
    void Mix(const double* in0, const double* in1, double* out0, double* out1, int frames);

    bool started = false;
    bool hadPaths = false; // a designed pair of paths has played
    PathPair pairs[2];
    int live = 0;
    Phase phase = Phase::Steady;
    int pairFade = 0; // samples of the new pair's fade-in done
    // Weights of reference, raw target, corrected target and silence: a convex mix at every sample.
    std::array<double, 4> mixFrom{}, mixTo{};
    int mixPosition = 0, mixLength = 0;
    PlayRequest::Source selected = PlayRequest::Source::Silence;
    Ramp rawGain;
    int fadeLength = 1, warmUpLength = 1, gainRampLength = 1;
    // The two paths of each pair over one chunk.
    double referenceOut[2][kChunk];
    double targetOut[2][kChunk];
};
