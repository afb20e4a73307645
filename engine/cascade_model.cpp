#include "engine/cascade_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxRun = 120;

double PlainRow(int n, const double* t, const double* Ksq, const double* P) {
    double prod = 1.0;
    for (int s = 0; s < n; ++s)
        prod *= 1.0 + P[s] / (1.0 + Ksq[s] * t[s]);
    return std::sqrt(prod);
}

#if defined(__GNUC__)
typedef double v8d __attribute__((vector_size(64)));
typedef long long v8i __attribute__((vector_size(64)));

// Through a reference, not a return value, so no vector crosses a call boundary.
inline void Load8(v8d& v, const double* p) { std::memcpy(&v, p, sizeof v); }

#if defined(__x86_64__) && !defined(_WIN32)
#define TV_MODEL_CLONES __attribute__((target_clones("avx512f", "avx2", "default")))
#else
#define TV_MODEL_CLONES
#endif

// The model over all rows, two rows at a time so that both share the loads of Ksq and P.
// Eight lanes; each lane multiplies every eighth term of a row into a numerator and a denominator,
// with two independent pairs per row so the multiplications do not wait on each other, and one
// division per row. Every factor of a denominator lies between 1 and about 1e9*(1+g), so a lane's
// product of 15 terms stays finite for every gain below about 1e10; a row that leaves the finite
// range anyway comes out non-finite and the caller recomputes it term by term.
TV_MODEL_CLONES
void FastRows(int n, const double* T, const double* Ksq, const double* P, double* A) {
    const v8d one = {1, 1, 1, 1, 1, 1, 1, 1};
    auto finish = [&](v8d num, v8d den, const double* t) {
        v8d ratio = num / den;
        ratio *= __builtin_shuffle(ratio, v8i{4, 5, 6, 7, 0, 1, 2, 3});
        ratio *= __builtin_shuffle(ratio, v8i{2, 3, 0, 1, 6, 7, 4, 5});
        ratio *= __builtin_shuffle(ratio, v8i{1, 0, 3, 2, 5, 4, 7, 6});
        double prod = ratio[0];
        for (int s = n & ~7; s < n; ++s)
            prod *= 1.0 + P[s] / (1.0 + Ksq[s] * t[s]);
        return std::sqrt(prod);
    };
    const int groups = n >> 3;
    int r = 0;
    for (; r + 2 <= n; r += 2) {
        const double* ta = T + static_cast<long>(r) * n;
        const double* tb = ta + n;
        v8d na0 = one, na1 = one, da0 = one, da1 = one, nb0 = one, nb1 = one, db0 = one, db1 = one;
        auto step = [&](int s, v8d& na, v8d& da, v8d& nb, v8d& db) {
            v8d k, pp, x, y;
            Load8(k, Ksq + s);
            Load8(pp, P + s);
            Load8(x, ta + s);
            Load8(y, tb + s);
            const v8d ea = one + k * x, eb = one + k * y;
            da *= ea;
            na *= ea + pp;
            db *= eb;
            nb *= eb + pp;
        };
        int g = 0;
        for (; g + 2 <= groups; g += 2) {
            step(g * 8, na0, da0, nb0, db0);
            step(g * 8 + 8, na1, da1, nb1, db1);
        }
        if (g < groups)
            step(g * 8, na0, da0, nb0, db0);
        A[r] = finish(na0 * na1, da0 * da1, ta);
        A[r + 1] = finish(nb0 * nb1, db0 * db1, tb);
    }
    for (; r < n; ++r) {
        const double* ta = T + static_cast<long>(r) * n;
        v8d na = one, da = one;
        for (int g = 0; g < groups; ++g) {
            v8d k, pp, x;
            Load8(k, Ksq + g * 8);
            Load8(pp, P + g * 8);
            Load8(x, ta + g * 8);
            const v8d e = one + k * x;
            da *= e;
            na *= e + pp;
        }
        A[r] = finish(na, da, ta);
    }
}

// x^(1/5) for a run of values: a first guess from the exponent bits, then Newton steps
// y <- (4y + x/y^4)/5, each of which about squares the relative error (up to 6e-2 at the start).
TV_MODEL_CLONES
void FifthRoots(int n, const double* x, double* y) {
    for (int k = 0; k < n; ++k) {
        // Guess from the high word (sign, exponent, top of the mantissa): its exponent part divided
        // by five, in 32-bit integers so that the loop vectorises.
        uint64_t bits;
        std::memcpy(&bits, &x[k], sizeof bits);
        const int32_t high = static_cast<int32_t>(bits >> 32) - 0x3FF00000;
        const uint64_t guessBits = static_cast<uint64_t>(static_cast<uint32_t>(high / 5 + 0x3FF00000)) << 32;
        double r;
        std::memcpy(&r, &guessBits, sizeof r);
        for (int i = 0; i < 4; ++i) {
            const double r2 = r * r;
            r = 0.8 * r + 0.2 * x[k] / (r2 * r2);
        }
        y[k] = r;
    }
}
#else
void FastRows(int n, const double* T, const double* Ksq, const double* P, double* A) {
    for (int r = 0; r < n; ++r)
        A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}
void FifthRoots(int n, const double* x, double* y) {
    for (int k = 0; k < n; ++k)
        y[k] = std::pow(x[k], 0.2);
}
#endif

} // namespace

void ModelCascadeMagnitudes(int n, const double* T, const double* Ksq, const double* P, double* A) {
    FastRows(n, T, Ksq, P, A);
    for (int r = 0; r < n; ++r)
        if (!std::isfinite(A[r]))
            A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}

void ModelCascadeMagnitudesPlain(int n, const double* T, const double* Ksq, const double* P, double* A) {
    for (int r = 0; r < n; ++r)
        A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}

double FifthRoot(double x) {
    double y;
    FifthRoots(1, &x, &y);
    if (!(x >= 2.2250738585072014e-308 && x <= 1.7976931348623157e308)) // zero, subnormal, Inf, NaN, negative
        y = std::pow(x, 0.2);
    return y;
}

void FitPass(int n, const double* T, const double* X, const double* E, double* g, double* P, double* Ksq, double* A,
             double* Y) {
    n = std::clamp(n, 0, kMaxRun);
    const double widthSq = 0.01 * n * n; // K = 0.1*n*sqrt(1+g), squared
    double ratio[kMaxRun] = {}, root[kMaxRun] = {};
    for (int k = 0; k < n; ++k)
        ratio[k] = 1.0 + E[k];
    FifthRoots(n, ratio, root);
    for (int k = 0; k < n; ++k) {
        if (!(ratio[k] >= 2.2250738585072014e-308 && ratio[k] <= 1.7976931348623157e308))
            root[k] = std::pow(ratio[k], 0.2);
        g[k] = std::max(-0.9999, root[k] * (1.0 + g[k]) - 1.0);
        P[k] = g[k] * (g[k] + 2.0);
        Ksq[k] = widthSq * (1.0 + g[k]);
    }
    ModelCascadeMagnitudes(n, T, Ksq, P, A);
    for (int r = 0; r < n; ++r)
        Y[r] = A[r] * X[r];
}
