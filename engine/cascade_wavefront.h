#pragma once

// Internal: the wavefront form of the correction cascade for L vector lanes, included by one
// translation unit per instruction set. Everything here has internal linkage, so that the linker
// can never merge a copy built for a wider instruction set into the baseline code.

#include "engine/band_grid.h"
#include "engine/peaking_section.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <type_traits>

namespace {

template <int L> struct Lanes {
    typedef double D __attribute__((vector_size(8 * L)));
    typedef long long I __attribute__((vector_size(8 * L)));
};

// Section k = g*L + j sits in lane j of vector g. At step t it filters sample t - k; a lane whose
// sample lies outside the block computes but keeps its states. The value leaving section k moves
// to lane j + 1 (or lane 0 of vector g + 1) for the next step. Every lane does exactly the plain
// form's operations in its order, without fused multiply-adds, so the results are the same bits.
template <int L>
bool Run(PeakingSection* sections, int count, const double* x, int frames, double gain, double* out0,
         double* out1) {
    using D = typename Lanes<L>::D;
    using I = typename Lanes<L>::I;
    constexpr int kMaxVectors = (kMaxSections + L - 1) / L;
    const int vectors = (count + L - 1) / L;

    D b[kMaxVectors], a1[kMaxVectors], a2[kMaxVectors], z1[kMaxVectors], z2[kMaxVectors], v[kMaxVectors];
    for (int g = 0; g < vectors; ++g)
        for (int j = 0; j < L; ++j) {
            const int k = g * L + j;
            const PeakingSection s = k < count ? sections[k] : PeakingSection{};
            b[g][j] = s.b;
            a1[g][j] = s.a1;
            a2[g][j] = s.a2;
            z1[g][j] = s.z1;
            z2[g][j] = s.z2;
            v[g][j] = 0.0;
        }
    v[0][0] = x ? x[0] : 0.0;

    I lane;
    for (int j = 0; j < L; ++j)
        lane[j] = j;
    const D zero = {};
    const D tiny = zero + 1e-100;
    const I magnitude = (I){} + 0x7FFFFFFFFFFFFFFFLL;
    I passOn; // lane 0 from the previous vector's last lane, lane j from this vector's lane j - 1
    for (int j = 0; j < L; ++j)
        passOn[j] = j == 0 ? L - 1 : L + j - 1;

    const int lastLane = (count - 1) % L;
    bool poisoned = false;
    const int steps = frames + count - 1;
    for (int t = 0; t < steps; ++t) {
        const int lowSection = t - frames + 1; // sections below it have finished the block
        const int firstVector = lowSection > 0 ? lowSection / L : 0;
        const int endVector = t / L + 1 < vectors ? t / L + 1 : vectors;
        D previous = zero + (t + 1 < frames && x ? x[t + 1] : 0.0);
        // One vector of sections; masked: some of its lanes have no sample of this block at this
        // step, and those keep their states.
        auto section = [&](int g, auto masked) {
            const D in = v[g];
            const D w = -in * b[g];
            D y = z1[g] - w;
            const I flush = (D)((I)y & magnitude) < tiny; // keeps silent sections out of subnormals
            y = (D)((I)y & ~flush);
            const D n1 = z2[g] - y * a1[g];
            const D n2 = w - a2[g] * y;
            if constexpr (masked()) {
                const I k = lane + g * L;
                const I live = (k <= t) & (k >= lowSection);
                z1[g] = (D)(((I)n1 & live) | ((I)z1[g] & ~live));
                z2[g] = (D)(((I)n2 & live) | ((I)z2[g] & ~live));
            } else {
                z1[g] = n1;
                z2[g] = n2;
            }
            const D out = in + y;
            v[g] = __builtin_shuffle(previous, out, passOn);
            previous = out;
        };
        // Vectors [fullBegin, fullEnd) have every lane inside the block; only the ends need masks.
        const int fullBegin =
            std::clamp(lowSection > 0 ? (lowSection + L - 1) / L : 0, firstVector, endVector);
        const int fullEnd = std::clamp((t + 1) / L, fullBegin, endVector);
        for (int g = firstVector; g < fullBegin; ++g)
            section(g, std::true_type{});
        for (int g = fullBegin; g < fullEnd; ++g)
            section(g, std::false_type{});
        for (int g = fullEnd; g < endVector; ++g)
            section(g, std::true_type{});
        if (endVector < vectors) v[endVector] = __builtin_shuffle(previous, zero, passOn);
        const int i = t - (count - 1);
        if (i >= 0) {
            double o = previous[lastLane] * gain; // the last vector ran last in this step
            if (!(std::fabs(o) <= DBL_MAX)) {
                o = 0.0;
                poisoned = true;
            } else if (std::fabs(o) < DBL_MIN) {
                o = 0.0; // no subnormal number leaves the plug-in
            }
            if (out0) out0[i] = o;
            if (out1) out1[i] = o;
        }
    }
    for (int k = 0; k < count; ++k) {
        sections[k].z1 = z1[k / L][k % L];
        sections[k].z2 = z2[k / L][k % L];
    }
    return poisoned;
}

} // namespace
