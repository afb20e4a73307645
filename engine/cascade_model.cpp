#include "engine/cascade_model.h"

#include <cmath>
#include <cstring>

namespace {

double PlainRow(int n, const double* t, const double* Ksq, const double* P) {
    double prod = 1.0;
    for (int s = 0; s < n; ++s)
        prod *= 1.0 + P[s] / (1.0 + Ksq[s] * t[s]);
    return std::sqrt(prod);
}

#if defined(__GNUC__)
typedef double v4d __attribute__((vector_size(32)));

// Through a reference, not a return value, so no vector crosses a call boundary.
inline void Load4(v4d& v, const double* p) { std::memcpy(&v, p, sizeof v); }

// Sixteen terms per block: four lanes hold four terms each, so no lane product can overflow for
// any gain the design can reach, and the one vector division per block is cheap.
#if defined(__x86_64__) && !defined(_WIN32)
__attribute__((target_clones("avx2", "default")))
#endif
double FastRow(int n, const double* t, const double* Ksq, const double* P) {
    const v4d one = {1.0, 1.0, 1.0, 1.0};
    v4d acc = one;
    int s = 0;
    for (; s + 16 <= n; s += 16) {
        v4d num[4], den[4];
        for (int j = 0; j < 4; ++j) {
            v4d k, tt, pp;
            Load4(k, Ksq + s + 4 * j);
            Load4(tt, t + s + 4 * j);
            Load4(pp, P + s + 4 * j);
            const v4d e = one + k * tt;
            den[j] = e;
            num[j] = e + pp;
        }
        acc *= ((num[0] * num[1]) * (num[2] * num[3])) / ((den[0] * den[1]) * (den[2] * den[3]));
    }
    double prod = (acc[0] * acc[1]) * (acc[2] * acc[3]);
    for (; s < n; ++s)
        prod *= 1.0 + P[s] / (1.0 + Ksq[s] * t[s]);
    return std::sqrt(prod);
}
#else
double FastRow(int n, const double* t, const double* Ksq, const double* P) { return PlainRow(n, t, Ksq, P); }
#endif

} // namespace

void ModelCascadeMagnitudes(int n, const double* T, const double* Ksq, const double* P, double* A) {
    for (int r = 0; r < n; ++r) {
        const double* row = T + static_cast<long>(r) * n;
        double a = FastRow(n, row, Ksq, P);
        if (!std::isfinite(a))
            a = PlainRow(n, row, Ksq, P);
        A[r] = a;
    }
}

void ModelCascadeMagnitudesPlain(int n, const double* T, const double* Ksq, const double* P, double* A) {
    for (int r = 0; r < n; ++r)
        A[r] = PlainRow(n, T + static_cast<long>(r) * n, Ksq, P);
}

double FifthRoot(double x) { return std::pow(x, 0.2); }
