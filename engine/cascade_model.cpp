#include "engine/cascade_model.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

constexpr int kMaxRun = 120;
constexpr double kSmallestNormal = 2.2250738585072014e-308;
constexpr double kLargestFinite = 1.7976931348623157e308;

double PlainRow(int n, const double* t, const double* Ksq, const double* P) {
    double prod = 1.0;
    for (int s = 0; s < n; ++s)
        prod *= 1.0 + P[s] / (1.0 + Ksq[s] * t[s]);
    return std::sqrt(prod);
}

#if defined(__GNUC__)
typedef double v8d __attribute__((vector_size(64)));
typedef long long v8i __attribute__((vector_size(64)));

// Lane shuffles with constant indices, in each compiler's own spelling (clang builds the fuzzing tree).
#if defined(__clang__)
#define TV_SHUFFLE(v, ...) __builtin_shufflevector(v, v, __VA_ARGS__)
#define TV_SHUFFLE2(a, b, ...) __builtin_shufflevector(a, b, __VA_ARGS__)
#else
#define TV_SHUFFLE(v, ...) __builtin_shuffle(v, v8i{__VA_ARGS__})
#define TV_SHUFFLE2(a, b, ...) __builtin_shuffle(a, b, v8i{__VA_ARGS__})
#endif

// Through a reference, not a return value, so no vector crosses a call boundary.
inline void Load8(v8d& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}

// No clones under ThreadSanitizer: their resolvers run before its runtime is up and crash.
#if defined(__x86_64__) && !defined(_WIN32) && !defined(__SANITIZE_THREAD__)
#define TV_MODEL_CLONES __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define TV_MODEL_CLONES
#endif

// The model over all rows, two rows at a time so that both share the loads of Ksq and P and one
// division. Eight lanes; each lane multiplies every eighth term of a row into a numerator and a
// denominator, with two independent pairs per row so the multiplications do not wait on each
// other. A denominator factor lies between 1 and about 1e9*(1+g), and the products of two lanes
// (30 terms at high resolution) stay finite for every gain below about 1e4, far beyond a usable
// correction; a row that leaves the finite range anyway comes out non-finite and the caller
// recomputes it term by term.
TV_MODEL_CLONES
void FastRows(int n, const double* T, const double* Ksq, const double* P, double* A) {
    const v8d one = {1, 1, 1, 1, 1, 1, 1, 1};
    double Q[kMaxRun]; // 1 + P, so that numerator and denominator terms are one fused step each
    for (int s = 0; s < n; ++s)
        Q[s] = 1.0 + P[s];
    auto tail = [&](double prod, const double* t) {
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
            v8d k, q, x, y;
            Load8(k, Ksq + s);
            Load8(q, Q + s);
            Load8(x, ta + s);
            Load8(y, tb + s);
            da *= one + k * x;
            na *= q + k * x;
            db *= one + k * y;
            nb *= q + k * y;
        };
        int g = 0;
        for (; g + 2 <= groups; g += 2) {
            step(g * 8, na0, da0, nb0, db0);
            step(g * 8 + 8, na1, da1, nb1, db1);
        }
        if (g < groups) step(g * 8, na0, da0, nb0, db0);
        // Both rows through one division: each row's eight lanes folded to four, the two rows side
        // by side, then each half multiplied together.
        v8d na = na0 * na1, da = da0 * da1, nb = nb0 * nb1, db = db0 * db1;
        na *= TV_SHUFFLE(na, 4, 5, 6, 7, 0, 1, 2, 3);
        da *= TV_SHUFFLE(da, 4, 5, 6, 7, 0, 1, 2, 3);
        nb *= TV_SHUFFLE(nb, 4, 5, 6, 7, 0, 1, 2, 3);
        db *= TV_SHUFFLE(db, 4, 5, 6, 7, 0, 1, 2, 3);
        v8d ratio = TV_SHUFFLE2(na, nb, 0, 1, 2, 3, 8, 9, 10, 11) / TV_SHUFFLE2(da, db, 0, 1, 2, 3, 8, 9, 10, 11);
        ratio *= TV_SHUFFLE(ratio, 2, 3, 0, 1, 6, 7, 4, 5);
        ratio *= TV_SHUFFLE(ratio, 1, 0, 3, 2, 5, 4, 7, 6);
        A[r] = tail(ratio[0], ta);
        A[r + 1] = tail(ratio[4], tb);
    }
    for (; r < n; ++r) {
        const double* ta = T + static_cast<long>(r) * n;
        v8d na = one, da = one;
        for (int g = 0; g < groups; ++g) {
            v8d k, q, x;
            Load8(k, Ksq + g * 8);
            Load8(q, Q + g * 8);
            Load8(x, ta + g * 8);
            da *= one + k * x;
            na *= q + k * x;
        }
        v8d ratio = na / da;
        ratio *= TV_SHUFFLE(ratio, 4, 5, 6, 7, 0, 1, 2, 3);
        ratio *= TV_SHUFFLE(ratio, 2, 3, 0, 1, 6, 7, 4, 5);
        ratio *= TV_SHUFFLE(ratio, 1, 0, 3, 2, 5, 4, 7, 6);
        A[r] = tail(ratio[0], ta);
    }
}

// x^(1/5) for a run of positive normal values, without a division: Newton steps for the inverse
// root z = x^(-1/5), z <- z*(6 - x*z^5)/5, each of which about squares the relative error (at
// most 6e-2 from the first guess), then x^(1/5) = x*z^4.
TV_MODEL_CLONES
void FifthRoots(int n, const double* x, double* y) {
    for (int k = 0; k < n; ++k) {
        // First guess from the high word (sign, exponent, top of the mantissa): the exponent part
        // divided by minus five, in 32-bit integers so that the loop vectorises.
        uint64_t bits;
        std::memcpy(&bits, &x[k], sizeof bits);
        const int32_t high = static_cast<int32_t>(bits >> 32) - 0x3FF00000;
        const uint64_t guessBits = static_cast<uint64_t>(static_cast<uint32_t>(0x3FF00000 - high / 5)) << 32;
        double z;
        std::memcpy(&z, &guessBits, sizeof z);
        for (int i = 0; i < 5; ++i) {
            const double z2 = z * z;
            z = z * (1.2 - 0.2 * x[k] * (z2 * z2 * z));
        }
        const double z2 = z * z;
        y[k] = x[k] * (z2 * z2);
    }
}

// The per-band part of a pass: new gains and the terms the model needs.
TV_MODEL_CLONES
void UpdateGains(int n, const double* root, double widthSq, double* g, double* P, double* Ksq) {
    for (int k = 0; k < n; ++k) {
        const double v = root[k] * (1.0 + g[k]) - 1.0;
        const double gk = v > -0.9999 ? v : -0.9999;
        g[k] = gk;
        P[k] = gk * (gk + 2.0);
        Ksq[k] = widthSq * (1.0 + gk);
    }
}
#else
void FastRows(int n, const double* T, const double* Ksq, const double* P, double* A) {
    for (int r = 0; r < n; ++r)
        A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}
void UpdateGains(int n, const double* root, double widthSq, double* g, double* P, double* Ksq) {
    for (int k = 0; k < n; ++k) {
        g[k] = std::max(-0.9999, root[k] * (1.0 + g[k]) - 1.0);
        P[k] = g[k] * (g[k] + 2.0);
        Ksq[k] = widthSq * (1.0 + g[k]);
    }
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
        if (!std::isfinite(A[r])) A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}

void ModelCascadeMagnitudesPlain(int n, const double* T, const double* Ksq, const double* P, double* A) {
    for (int r = 0; r < n; ++r)
        A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}

double FifthRoot(double x) {
    double y;
    FifthRoots(1, &x, &y);
    if (!(x >= kSmallestNormal && x <= kLargestFinite)) // zero, subnormal, Inf, NaN, negative
        y = std::pow(x, 0.2);
    return y;
}

void FitPass(int n, const double* T, const double* X, const double* E, double* g, double* P, double* Ksq,
             double* A, double* Y) {
    n = std::clamp(n, 0, kMaxRun);
    const double widthSq = 0.01 * n * n; // K = 0.1*n*sqrt(1+g), squared
    double ratio[kMaxRun] = {}, root[kMaxRun] = {};
    bool unusual = false;
    for (int k = 0; k < n; ++k) {
        ratio[k] = 1.0 + E[k];
        unusual |= !(ratio[k] >= kSmallestNormal && ratio[k] <= kLargestFinite); // 0, subnormal, Inf, NaN
    }
    FifthRoots(n, ratio, root);
    if (unusual)
        for (int k = 0; k < n; ++k)
            if (!(ratio[k] >= kSmallestNormal && ratio[k] <= kLargestFinite))
                root[k] = std::pow(ratio[k], 0.2);
    UpdateGains(n, root, widthSq, g, P, Ksq);
    ModelCascadeMagnitudes(n, T, Ksq, P, A);
    for (int r = 0; r < n; ++r)
        Y[r] = A[r] * X[r];
}
