#include "engine/output_player.h"

#include "engine/cascade_filter.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace {

using Source = PlayRequest::Source;

// A sample the host may take: finite, and never subnormal.
inline double Finite(double v) {
    const double a = std::fabs(v);
    return a <= DBL_MAX && a >= DBL_MIN ? v : 0.0;
}

std::array<double, 4> OneHot(Source s) {
    std::array<double, 4> w{};
    w[static_cast<std::size_t>(s)] = 1.0;
    return w;
}

const double* Channel(const double* in0, const double* in1, int channel) {
    return channel == 0 ? in0 : in1;
}

bool Filtered(Source s) {
    return s == Source::Reference || s == Source::Corrected;
}

} // namespace

bool OutputPlayer::Changing() const {
    return phase != Phase::Steady || mixPosition < mixLength || rawGain.Moving();
}

void OutputPlayer::Play(const PlayRequest& request, const double* in0, const double* in1, double* out0,
                        double* out1, int frames) {
    if (frames <= 0) return;
    fadeLength = FadeSamples(kCrossfadeSeconds, request.sampleRate);
    warmUpLength = FadeSamples(kWarmUpSeconds, request.sampleRate);
    gainRampLength = FadeSamples(kGainRampSeconds, request.sampleRate);
    if (!started)
        Start(request);
    else
        Follow(request);
    for (int offset = 0; offset < frames; offset += kChunk) {
        const int n = std::min(kChunk, frames - offset);
        const double* a = in0 ? in0 + offset : nullptr;
        const double* b = in1 ? in1 + offset : nullptr;
        if (phase == Phase::WarmingUp && Warm(pairs[1 - live])) {
            phase = Phase::FadingIn;
            pairFade = 0;
        }
        RunPaths(pairs[live], a, b, n, referenceOut[0], targetOut[0]);
        if (phase != Phase::Steady) RunPaths(pairs[1 - live], a, b, n, referenceOut[1], targetOut[1]);
        Mix(a, b, out0 ? out0 + offset : nullptr, out1 ? out1 + offset : nullptr, n);
        if (phase == Phase::FadingIn && pairFade >= fadeLength) {
            live = 1 - live;
            phase = Phase::Steady;
        }
    }
}

void OutputPlayer::Start(const PlayRequest& request) {
    // Nothing played before: what should play starts at once.
    PathPair& pair = pairs[live];
    for (auto& cascade : pair.cascade)
        cascade.fill(PeakingSection{});
    pair.flat[0] = pair.flat[1] = true;
    pair.referenceChannel = request.referenceChannel != 0 ? 1 : 0;
    if (request.pathsReady) Prepare(pair, request, false);
    hadPaths = request.pathsReady;
    selected = Filtered(request.source) && !request.pathsReady ? Source::Silence : request.source;
    mixFrom = mixTo = OneHot(selected);
    mixPosition = mixLength = 0;
    rawGain.Jump(request.rawGain);
    phase = Phase::Steady;
    started = true;
}

void OutputPlayer::Follow(const PlayRequest& request) {
    rawGain.MoveTo(request.rawGain, gainRampLength);
    if (request.pathsReady) hadPaths = true;

    // A new pair waits for the fade in progress to end.
    if (phase != Phase::FadingIn) {
        if (phase == Phase::WarmingUp && Plays(pairs[live], request)) {
            phase = Phase::Steady; // back to what plays before the new pair was heard
        } else {
            const PathPair& wanted = phase == Phase::WarmingUp ? pairs[1 - live] : pairs[live];
            if (!Plays(wanted, request)) {
                Prepare(pairs[1 - live], request, true);
                phase = Phase::WarmingUp;
            }
        }
    }

    // A filtered output whose design is not ready yet keeps what plays, unless nothing was ever
    // designed (then it is silent). While a new pair comes in, the selection waits for it.
    if (phase != Phase::Steady) return;
    Source want = request.source;
    if (Filtered(want) && !request.pathsReady) want = hadPaths ? selected : Source::Silence;
    if (want == selected) return;
    const double progress = FadeShape(mixPosition, mixLength);
    for (std::size_t s = 0; s < mixFrom.size(); ++s)
        mixFrom[s] += (mixTo[s] - mixFrom[s]) * progress;
    mixTo = OneHot(want);
    mixPosition = 0;
    mixLength = fadeLength;
    selected = want;
}

bool OutputPlayer::Plays(const PathPair& pair, const PlayRequest& request) const {
    if (pair.referenceChannel != (request.referenceChannel != 0 ? 1 : 0)) return false;
    if (!request.pathsReady) return true; // nothing newly designed: only the inputs can change
    if (pair.sections != request.sections || pair.targetGain != request.targetGain) return false;
    const PeakingSection* designs[2] = {request.reference, request.target};
    for (int r = 0; r < 2; ++r)
        for (int k = 0; k < pair.sections; ++k) {
            const PeakingSection& a = pair.cascade[r][static_cast<std::size_t>(k)];
            const PeakingSection& d = designs[r][k];
            if (a.b != d.b || a.a1 != d.a1 || a.a2 != d.a2) return false;
        }
    return true;
}

void OutputPlayer::Prepare(PathPair& next, const PlayRequest& request, bool mayCarry) {
    const PathPair& now = pairs[live];
    const bool warming = phase == Phase::WarmingUp && &next != &now;
    const int channel = request.referenceChannel != 0 ? 1 : 0;
    const int count = request.pathsReady ? std::clamp(request.sections, 1, kMaxSections) : now.sections;
    for (int r = 0; r < 2; ++r) {
        const int input = r == kReferenceRole ? channel : 1 - channel;
        const PeakingSection* design = request.pathsReady
                                           ? (r == kReferenceRole ? request.reference : request.target)
                                           : now.cascade[r].data();
        bool flat = true;
        for (int k = 0; k < count; ++k)
            flat = flat && design[k].b == 0.0;
        // Running states of the same sections on the same input carry on under the new
        // coefficients: a redrawn curve or a reloaded correction changes the sound without a restart.
        auto carries = [&](const PathPair& p) {
            const int pInput = r == kReferenceRole ? p.referenceChannel : 1 - p.referenceChannel;
            return mayCarry && !flat && !p.flat[r] && p.sections == count && pInput == input;
        };
        const PathPair* from = warming && carries(next) ? &next : carries(now) ? &now : nullptr;
        auto& cascade = next.cascade[r];
        for (int k = 0; k < count; ++k) {
            PeakingSection& s = cascade[static_cast<std::size_t>(k)];
            const PeakingSection d = design[k];
            if (from)
                s = {d.b, d.a1, d.a2, from->cascade[r][static_cast<std::size_t>(k)].z1,
                     from->cascade[r][static_cast<std::size_t>(k)].z2};
            else
                s = {d.b, d.a1, d.a2, 0.0, 0.0};
        }
        // A flat cascade passes its input untouched, from rest as well as running.
        next.warmth[r] = flat ? warmUpLength : from ? from->warmth[r] : 0;
        next.flat[r] = flat;
    }
    next.sections = count;
    next.referenceChannel = channel;
    next.targetGain = request.pathsReady ? request.targetGain : now.targetGain;
}

bool OutputPlayer::Warm(const PathPair& pair) const {
    for (int r = 0; r < 2; ++r)
        if (!pair.flat[r] && pair.warmth[r] < warmUpLength) return false;
    return true;
}

void OutputPlayer::RunPaths(PathPair& pair, const double* in0, const double* in1, int frames,
                            double* reference, double* target) {
    for (int r = 0; r < 2; ++r) {
        const double* x =
            Channel(in0, in1, r == kReferenceRole ? pair.referenceChannel : 1 - pair.referenceChannel);
        double* out = r == kReferenceRole ? reference : target;
        const double gain = r == kReferenceRole ? 1.0 : pair.targetGain;
        if (pair.flat[r]) {
            for (int i = 0; i < frames; ++i)
                out[i] = Finite((x ? x[i] : 0.0) * gain);
            continue;
        }
        // A non-finite input sample would otherwise stay in the section states for good.
        if (RunCascade(pair.cascade[r].data(), pair.sections, x, frames, gain, out, nullptr))
            for (int k = 0; k < pair.sections; ++k)
                pair.cascade[r][static_cast<std::size_t>(k)].z1 =
                    pair.cascade[r][static_cast<std::size_t>(k)].z2 = 0.0;
        pair.warmth[r] = std::min(pair.warmth[r] + frames, 1 << 30); // frames is at most one chunk
    }
}

void OutputPlayer::Mix(const double* in0, const double* in1, double* out0, double* out1, int frames) {
    const PathPair& now = pairs[live];
    const PathPair& next = pairs[1 - live];
    const double* raw = Channel(in0, in1, 1 - now.referenceChannel);
    const double* nextRaw = Channel(in0, in1, 1 - next.referenceChannel);
    auto put = [&](int i, double v) {
        if (out0) out0[i] = v;
        if (out1) out1[i] = v;
    };
    if (phase == Phase::Steady && mixPosition >= mixLength && !rawGain.Moving()) {
        // Nothing changing: the selected signal as it is.
        const double g = rawGain.Target();
        for (int i = 0; i < frames; ++i) {
            switch (selected) {
            case Source::Reference:
                put(i, referenceOut[0][i]);
                break;
            case Source::Target:
                put(i, Finite((raw ? raw[i] : 0.0) * g));
                break;
            case Source::Corrected:
                put(i, targetOut[0][i]);
                break;
            case Source::Silence:
                put(i, 0.0);
                break;
            }
        }
        return;
    }
    for (int i = 0; i < frames; ++i) {
        const double progress = FadeShape(mixPosition, mixLength);
        if (mixPosition < mixLength) ++mixPosition;
        double w[3];
        for (int s = 0; s < 3; ++s)
            w[s] = mixFrom[static_cast<std::size_t>(s)] +
                   (mixTo[static_cast<std::size_t>(s)] - mixFrom[static_cast<std::size_t>(s)]) * progress;
        const double g = rawGain.Next();
        double v =
            w[0] * referenceOut[0][i] + w[1] * Finite((raw ? raw[i] : 0.0) * g) + w[2] * targetOut[0][i];
        if (phase == Phase::FadingIn) {
            const double f = FadeShape(pairFade, fadeLength);
            if (pairFade < fadeLength) ++pairFade;
            const double u = w[0] * referenceOut[1][i] + w[1] * Finite((nextRaw ? nextRaw[i] : 0.0) * g) +
                             w[2] * targetOut[1][i];
            v = (1.0 - f) * v + f * u;
        }
        put(i, Finite(v));
    }
}
