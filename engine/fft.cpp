#include "engine/fft.h"

#include "engine/double_array.h"

#include <cmath>
#include <cstring>
#include <new>
#include <numbers>

// No clones under ThreadSanitizer: their resolvers run before its runtime is up and crash.
#if defined(__x86_64__) && !defined(_WIN32) && defined(__GNUC__) && !defined(__SANITIZE_THREAD__)
#define TV_HOT_KERNEL __attribute__((target_clones("arch=x86-64-v4", "avx2", "default")))
#else
#define TV_HOT_KERNEL
#endif

namespace {

constexpr int kDirectMaxOrder = 11; // up to this size one short transform does it all
constexpr int kTile = 16;
constexpr int kMaxOrder = 24; // the row twiddles below assume rows of at most 4096 points

// Twiddles of a short transform of m points, stage by stage: entries [h, 2h) hold e^(-j pi i/h)
// for i < h, so each stage reads them contiguously.
struct ShortTables {
    double* wr;
    double* wi;
    int* rev; // bit reversal of log2(m) bits
    int m;
};

int ReverseBits(int x, int bits) {
    int r = 0;
    for (int i = 0; i < bits; ++i)
        r = (r << 1) | ((x >> i) & 1);
    return r;
}

void FillShortTables(ShortTables& t, int bits) {
    const int m = 1 << bits;
    t.m = m;
    for (int h = 1; h < m; h <<= 1)
        for (int i = 0; i < h; ++i) {
            const double a = std::numbers::pi * i / h;
            t.wr[h + i] = std::cos(a);
            t.wi[h + i] = -std::sin(a);
        }
    for (int i = 0; i < m; ++i)
        t.rev[i] = ReverseBits(i, bits);
}

// Decimation in time over `rows` rows of m points each, `stride` apart, input already in bit-reversed
// order within each row, output in natural order.
TV_HOT_KERNEL
void ShortTransforms(double* __restrict re, double* __restrict im, int rows, int stride,
                     const double* __restrict wr, const double* __restrict wi, int m) {
    for (int row = 0; row < rows; ++row) {
        double* __restrict xr = re + static_cast<std::size_t>(row) * stride;
        double* __restrict xi = im + static_cast<std::size_t>(row) * stride;
        if (m >= 4) {
            // The first two stages together: twiddles 1 and -j.
            for (int b = 0; b < m; b += 4) {
                const double r0 = xr[b] + xr[b + 1], i0 = xi[b] + xi[b + 1];
                const double r1 = xr[b] - xr[b + 1], i1 = xi[b] - xi[b + 1];
                const double r2 = xr[b + 2] + xr[b + 3], i2 = xi[b + 2] + xi[b + 3];
                const double r3 = xr[b + 2] - xr[b + 3], i3 = xi[b + 2] - xi[b + 3];
                xr[b] = r0 + r2;
                xi[b] = i0 + i2;
                xr[b + 2] = r0 - r2;
                xi[b + 2] = i0 - i2;
                // (r3 + j i3) * (-j) = i3 - j r3
                xr[b + 1] = r1 + i3;
                xi[b + 1] = i1 - r3;
                xr[b + 3] = r1 - i3;
                xi[b + 3] = i1 + r3;
            }
        } else if (m == 2) {
            const double r = xr[0], i = xi[0];
            xr[0] = r + xr[1];
            xi[0] = i + xi[1];
            xr[1] = r - xr[1];
            xi[1] = i - xi[1];
        }
        int h = 4;
        // Two stages at a time (spans h and 2h): half the passes over the row.
        for (; 4 * h <= m; h <<= 2) {
            const double* __restrict c1r = wr + h;
            const double* __restrict c1i = wi + h;
            const double* __restrict c2r = wr + 2 * h;
            const double* __restrict c2i = wi + 2 * h;
            for (int b = 0; b < m; b += 4 * h) {
                double* __restrict r0 = xr + b;
                double* __restrict i0 = xi + b;
                double* __restrict r1 = r0 + h;
                double* __restrict i1 = i0 + h;
                double* __restrict r2 = r0 + 2 * h;
                double* __restrict i2 = i0 + 2 * h;
                double* __restrict r3 = r0 + 3 * h;
                double* __restrict i3 = i0 + 3 * h;
                for (int j = 0; j < h; ++j) {
                    // Span h: (0,1) and (2,3) with e^(-j pi j/h).
                    const double t1r = r1[j] * c1r[j] - i1[j] * c1i[j], t1i = r1[j] * c1i[j] + i1[j] * c1r[j];
                    const double t3r = r3[j] * c1r[j] - i3[j] * c1i[j], t3i = r3[j] * c1i[j] + i3[j] * c1r[j];
                    const double y0r = r0[j] + t1r, y0i = i0[j] + t1i, y1r = r0[j] - t1r, y1i = i0[j] - t1i;
                    const double y2r = r2[j] + t3r, y2i = i2[j] + t3i, y3r = r2[j] - t3r, y3i = i2[j] - t3i;
                    // Span 2h: (0,2) with w = e^(-j pi j/2h), (1,3) with -j*w.
                    const double u2r = y2r * c2r[j] - y2i * c2i[j], u2i = y2r * c2i[j] + y2i * c2r[j];
                    const double u3r = y3r * c2i[j] + y3i * c2r[j], u3i = y3i * c2i[j] - y3r * c2r[j];
                    r0[j] = y0r + u2r;
                    i0[j] = y0i + u2i;
                    r2[j] = y0r - u2r;
                    i2[j] = y0i - u2i;
                    r1[j] = y1r + u3r;
                    i1[j] = y1i + u3i;
                    r3[j] = y1r - u3r;
                    i3[j] = y1i - u3i;
                }
            }
        }
        for (; h < m; h <<= 1) {
            const double* __restrict cr = wr + h;
            const double* __restrict ci = wi + h;
            for (int b = 0; b < m; b += 2 * h) {
                double* __restrict ar = xr + b;
                double* __restrict ai = xi + b;
                double* __restrict br = xr + b + h;
                double* __restrict bi = xi + b + h;
                for (int j = 0; j < h; ++j) {
                    const double tr = br[j] * cr[j] - bi[j] * ci[j];
                    const double ti = br[j] * ci[j] + bi[j] * cr[j];
                    br[j] = ar[j] - tr;
                    bi[j] = ai[j] - ti;
                    ar[j] += tr;
                    ai[j] += ti;
                }
            }
        }
    }
}

// Plain blocked transpose: dst (dstRows x dstCols) = transpose of src (dstCols x dstRows).
void Transpose(const double* __restrict src, double* __restrict dst, int dstRows, int dstCols) {
    for (int c0 = 0; c0 < dstCols; c0 += kTile)
        for (int r0 = 0; r0 < dstRows; r0 += kTile) {
            const int cn = dstCols - c0 < kTile ? dstCols - c0 : kTile;
            const int rn = dstRows - r0 < kTile ? dstRows - r0 : kTile;
            for (int c = c0; c < c0 + cn; ++c) {
                const double* s = src + static_cast<std::size_t>(c) * dstRows + r0;
                for (int r = 0; r < rn; ++r)
                    dst[static_cast<std::size_t>(r0 + r) * dstCols + c] = s[r];
            }
        }
}

// e^(-j 2 pi e / n) for any e, from a fine table (e < fine) and a coarse one (multiples of fine).
struct CircleTables {
    double* fineR;
    double* fineI;
    double* coarseR;
    double* coarseI;
    int fineBits;
    long n;
};

inline void CircleLookup(const CircleTables& t, long e, double& r, double& i) {
    e &= t.n - 1;
    const long hi = e >> t.fineBits, lo = e & ((1L << t.fineBits) - 1);
    r = t.coarseR[hi] * t.fineR[lo] - t.coarseI[hi] * t.fineI[lo];
    i = t.coarseR[hi] * t.fineI[lo] + t.coarseI[hi] * t.fineR[lo];
}

constexpr int kBlock = 8; // columns gathered at once: one cache line of doubles per row

#if defined(__GNUC__)
typedef double v8d __attribute__((vector_size(64)));
#else
#error "the interleaved transforms are written with GCC vector extensions"
#endif

// Through memory, not return values, so no vector crosses a call boundary.
inline void Load8(v8d& v, const double* p) {
    std::memcpy(&v, p, sizeof v);
}
inline void Store8(double* p, const v8d& v) {
    std::memcpy(p, &v, sizeof v);
}

// Decimation in time over m positions of kBlock interleaved columns (entry [p*kBlock + b] is
// position p of column b), input in bit-reversed position order, output natural. Every butterfly
// works on all columns at once, and two stages are done per pass where the size allows.
TV_HOT_KERNEL
void InterleavedTransforms(double* __restrict xr, double* __restrict xi, const double* __restrict wr,
                           const double* __restrict wi, int m) {
    int h = 1;
    for (; 4 * h <= m; h <<= 2) {
        for (int b = 0; b < m; b += 4 * h)
            for (int j = 0; j < h; ++j) {
                const double c1r = wr[h + j], c1i = wi[h + j], c2r = wr[2 * h + j], c2i = wi[2 * h + j];
                double* p0r = xr + static_cast<std::size_t>(b + j) * kBlock;
                double* p0i = xi + static_cast<std::size_t>(b + j) * kBlock;
                const std::size_t d = static_cast<std::size_t>(h) * kBlock;
                v8d x0r, x0i, x1r, x1i, x2r, x2i, x3r, x3i;
                Load8(x0r, p0r);
                Load8(x0i, p0i);
                Load8(x1r, p0r + d);
                Load8(x1i, p0i + d);
                Load8(x2r, p0r + 2 * d);
                Load8(x2i, p0i + 2 * d);
                Load8(x3r, p0r + 3 * d);
                Load8(x3i, p0i + 3 * d);
                // Span h: (0,1) and (2,3) with e^(-j pi j/h).
                const v8d t1r = x1r * c1r - x1i * c1i, t1i = x1r * c1i + x1i * c1r;
                const v8d t3r = x3r * c1r - x3i * c1i, t3i = x3r * c1i + x3i * c1r;
                const v8d y0r = x0r + t1r, y0i = x0i + t1i, y1r = x0r - t1r, y1i = x0i - t1i;
                const v8d y2r = x2r + t3r, y2i = x2i + t3i, y3r = x2r - t3r, y3i = x2i - t3i;
                // Span 2h: (0,2) with w = e^(-j pi j/2h), (1,3) with -j*w.
                const v8d u2r = y2r * c2r - y2i * c2i, u2i = y2r * c2i + y2i * c2r;
                const v8d u3r = y3r * c2i + y3i * c2r, u3i = y3i * c2i - y3r * c2r;
                Store8(p0r, y0r + u2r);
                Store8(p0i, y0i + u2i);
                Store8(p0r + 2 * d, y0r - u2r);
                Store8(p0i + 2 * d, y0i - u2i);
                Store8(p0r + d, y1r + u3r);
                Store8(p0i + d, y1i + u3i);
                Store8(p0r + 3 * d, y1r - u3r);
                Store8(p0i + 3 * d, y1i - u3i);
            }
    }
    for (; h < m; h <<= 1)
        for (int b = 0; b < m; b += 2 * h)
            for (int j = 0; j < h; ++j) {
                const double cr = wr[h + j], ci = wi[h + j];
                double* ar = xr + static_cast<std::size_t>(b + j) * kBlock;
                double* ai = xi + static_cast<std::size_t>(b + j) * kBlock;
                const std::size_t d = static_cast<std::size_t>(h) * kBlock;
                v8d x0r, x0i, x1r, x1i;
                Load8(x0r, ar);
                Load8(x0i, ai);
                Load8(x1r, ar + d);
                Load8(x1i, ai + d);
                const v8d tr = x1r * cr - x1i * ci, ti = x1r * ci + x1i * cr;
                Store8(ar, x0r + tr);
                Store8(ai, x0i + ti);
                Store8(ar + d, x0r - tr);
                Store8(ai + d, x0i - ti);
            }
}

// Multiplies position k of the kBlock interleaved columns c .. c+kBlock-1 by e^(-j 2 pi (c+b) k / n):
// the factor e^(-j 2 pi c k / n) of the block times e^(-j 2 pi b k / n), the same for every block.
TV_HOT_KERNEL
void TwiddleInterleaved(double* __restrict xr, double* __restrict xi, int m, const double* __restrict baseR,
                        const double* __restrict baseI, const double* __restrict laneR,
                        const double* __restrict laneI) {
    for (int k = 0; k < m; ++k) {
        const std::size_t at = static_cast<std::size_t>(k) * kBlock;
        v8d lr, li, x, y;
        Load8(lr, laneR + at);
        Load8(li, laneI + at);
        const double br = baseR[k], bi = baseI[k];
        const v8d wr = lr * br - li * bi, wi = lr * bi + li * br;
        Load8(x, xr + at);
        Load8(y, xi + at);
        Store8(xr + at, x * wr - y * wi);
        Store8(xi + at, x * wi + y * wr);
    }
}

// e^(-j 2 pi j k / n) for k = 0 .. cols-1, built from two short runs (k = kh*split + kl) looked
// up on the circle.
void TwiddleRun(long j, int cols, const CircleTables& t, double* __restrict rowR, double* __restrict rowI) {
    int splitBits = 0;
    while ((1 << (2 * splitBits)) < cols)
        ++splitBits;
    const int split = 1 << splitBits; // about sqrt(cols), at most 64 for cols <= 4096
    const int runs = (cols + split - 1) / split;
    double aR[64], aI[64], bR[64], bI[64];
    for (int kl = 0; kl < split; ++kl)
        CircleLookup(t, j * kl, aR[kl], aI[kl]);
    for (int kh = 0; kh < runs; ++kh)
        CircleLookup(t, j * kh * split, bR[kh], bI[kh]);
    for (int kh = 0; kh < runs; ++kh)
        for (int kl = 0; kl < split; ++kl) {
            rowR[kh * split + kl] = bR[kh] * aR[kl] - bI[kh] * aI[kl];
            rowI[kh * split + kl] = bR[kh] * aI[kl] + bI[kh] * aR[kl];
        }
}

// Every table and working buffer of one large transform, in one allocation.
struct LargeTables {
    DoubleArray block;
    int* revs = nullptr;
    ShortTables t1{}, t2{};
    CircleTables circle{};
    double* rowR = nullptr; // e^(-j 2 pi c k / n) over k for the current block (n2)
    double* rowI = nullptr;
    double* laneR = nullptr; // e^(-j 2 pi b k / n), interleaved like the columns (n2 * kBlock)
    double* laneI = nullptr;
    double* colR = nullptr; // kBlock interleaved columns of up to n2 points
    double* colI = nullptr;
    int bits1 = 0, bits2 = 0, n1 = 0, n2 = 0;

    ~LargeTables() { delete[] revs; }

    bool Make(int order) {
        bits1 = order / 2;
        bits2 = order - bits1;
        n1 = 1 << bits1;
        n2 = 1 << bits2;
        const int fineBits = (order + 1) / 2;
        const long n = 1L << order;
        const int fine = 1 << fineBits, coarse = static_cast<int>(n >> fineBits);
        const std::size_t wide = static_cast<std::size_t>(kBlock) * n2;
        const std::size_t doubles =
            2 * static_cast<std::size_t>(n1) + 2 * n2 + 2 * fine + 2 * coarse + 2 * n2 + 2 * wide + 2 * wide;
        block = DoubleArray(doubles);
        revs = new (std::nothrow) int[n1 + n2];
        if (!block || !revs) return false;
        double* p = block.get();
        t1 = {p, p + n1, revs, n1};
        p += 2 * n1;
        t2 = {p, p + n2, revs + n1, n2};
        p += 2 * n2;
        circle = {p, p + fine, p + 2 * fine, p + 2 * fine + coarse, fineBits, n};
        p += 2 * fine + 2 * coarse;
        rowR = p;
        rowI = p + n2;
        p += 2 * n2;
        laneR = p;
        laneI = p + wide;
        p += 2 * wide;
        colR = p;
        colI = p + wide;
        FillShortTables(t1, bits1);
        FillShortTables(t2, bits2);
        for (int e = 0; e < fine; ++e) {
            const double a = 2.0 * std::numbers::pi * e / static_cast<double>(n);
            circle.fineR[e] = std::cos(a);
            circle.fineI[e] = -std::sin(a);
        }
        for (int e = 0; e < coarse; ++e) {
            const double a = 2.0 * std::numbers::pi * e / static_cast<double>(coarse);
            circle.coarseR[e] = std::cos(a);
            circle.coarseI[e] = -std::sin(a);
        }
        for (int k = 0; k < n2; ++k)
            for (int b = 0; b < kBlock; ++b)
                CircleLookup(circle, static_cast<long>(b) * k, laneR[k * kBlock + b], laneI[k * kBlock + b]);
        return true;
    }
};

// The large transform, leaving X[k2 + n2*k1] at [k2*n1 + k1] of (re, im) (see fft.h).
// With t = j1 + n1*j2 and k = k2 + n2*k1:
//   X[k] = sum_j1 e^(-j2pi j1 k1/n1) e^(-j2pi j1 k2/n) sum_j2 x[t] e^(-j2pi j2 k2/n2).
// Each pass gathers kBlock columns at a time (one cache line per row), transforms them side by
// side in cache and writes them out as contiguous rows: pass 1 the inner sums with the twiddle
// into the scratch arrays (row j1, column k2), pass 2 the outer sums back into (re, im) (row k2,
// column k1). Only reads are strided; every write is a whole row.
void LargeTransform(double* re, double* im, double* sre, double* sim, const LargeTables& t) {
    const int n1 = t.n1, n2 = t.n2;
    auto gather = [&](const double* srcR, const double* srcI, int rows, int cols, int c, const int* rev) {
        for (int j = 0; j < rows; ++j) {
            const std::size_t from = static_cast<std::size_t>(j) * cols + c;
            const std::size_t to = static_cast<std::size_t>(rev[j]) * kBlock;
            std::memcpy(t.colR + to, srcR + from, kBlock * sizeof(double));
            std::memcpy(t.colI + to, srcI + from, kBlock * sizeof(double));
        }
    };
    auto emit = [&](double* dstR, double* dstI, int length, int firstRow) {
        for (int b = 0; b < kBlock; ++b) {
            double* dr = dstR + static_cast<std::size_t>(firstRow + b) * length;
            double* di = dstI + static_cast<std::size_t>(firstRow + b) * length;
            for (int k = 0; k < length; ++k) {
                dr[k] = t.colR[static_cast<std::size_t>(k) * kBlock + b];
                di[k] = t.colI[static_cast<std::size_t>(k) * kBlock + b];
            }
        }
    };
    for (int c = 0; c < n1; c += kBlock) {
        gather(re, im, n2, n1, c, t.t2.rev);
        InterleavedTransforms(t.colR, t.colI, t.t2.wr, t.t2.wi, n2);
        TwiddleRun(c, n2, t.circle, t.rowR, t.rowI);
        TwiddleInterleaved(t.colR, t.colI, n2, t.rowR, t.rowI, t.laneR, t.laneI);
        emit(sre, sim, n2, c);
    }
    for (int c = 0; c < n2; c += kBlock) {
        gather(sre, sim, n1, n2, c, t.t1.rev);
        InterleavedTransforms(t.colR, t.colI, t.t1.wr, t.t1.wi, n1);
        emit(re, im, n1, c);
    }
}

bool DirectTransform(const double* re, const double* im, double* outRe, double* outIm, int order) {
    const int m = 1 << order;
    DoubleArray tw(2 * static_cast<std::size_t>(m) + 1);
    int* rev = new (std::nothrow) int[m];
    if (!tw || !rev) {
        delete[] rev;
        return false;
    }
    ShortTables t{tw.get(), tw.get() + m, rev, m};
    FillShortTables(t, order);
    for (int i = 0; i < m; ++i) {
        outRe[i] = re[rev[i]];
        outIm[i] = im[rev[i]];
    }
    ShortTransforms(outRe, outIm, 1, m, t.wr, t.wi, m);
    delete[] rev;
    return true;
}

} // namespace

TransposedLayout FftTransposedLayout(int order) {
    if (order <= kDirectMaxOrder) return {1 << order, 1};
    return {1 << (order - order / 2), 1 << (order / 2)};
}

bool FftTransposed(double* re, double* im, double* scratchRe, double* scratchIm, int order) {
    if (order < 0 || order > kMaxOrder || !re || !im || !scratchRe || !scratchIm) return false;
    const std::size_t n = std::size_t{1} << order;
    if (order <= kDirectMaxOrder) {
        // Small sizes come out in natural order, which is the layout with a single column.
        if (!DirectTransform(re, im, scratchRe, scratchIm, order)) return false;
        std::memcpy(re, scratchRe, n * sizeof(double));
        std::memcpy(im, scratchIm, n * sizeof(double));
        return true;
    }
    LargeTables t;
    if (!t.Make(order)) return false;
    LargeTransform(re, im, scratchRe, scratchIm, t);
    return true;
}

struct FftPlan::Tables {
    LargeTables large;
};

FftPlan::FftPlan() = default;
FftPlan::~FftPlan() = default;

bool FftPlan::Make(int o) {
    tables.reset();
    order = -1;
    if (o < 0 || o > kMaxOrder) return false;
    if (o > kDirectMaxOrder) {
        tables.reset(new (std::nothrow) Tables);
        if (!tables || !tables->large.Make(o)) {
            tables.reset();
            return false;
        }
    }
    order = o;
    return true;
}

bool FftPlan::Transposed(double* re, double* im, double* scratchRe, double* scratchIm) const {
    if (order < 0 || !re || !im || !scratchRe || !scratchIm) return false;
    if (!tables) return FftTransposed(re, im, scratchRe, scratchIm, order);
    LargeTransform(re, im, scratchRe, scratchIm, tables->large);
    return true;
}

bool FftOutOfPlace(double* re, double* im, double* outRe, double* outIm, int order) {
    if (order < 0 || order > kMaxOrder || !re || !im || !outRe || !outIm) return false;
    if (order <= kDirectMaxOrder) return DirectTransform(re, im, outRe, outIm, order);
    LargeTables t;
    if (!t.Make(order)) return false;
    LargeTransform(re, im, outRe, outIm, t);
    Transpose(re, outRe, t.n1, t.n2);
    Transpose(im, outIm, t.n1, t.n2);
    return true;
}

bool Fft(double* re, double* im, int order) {
    if (order < 0 || order > kMaxOrder || !re || !im) return false;
    const std::size_t n = std::size_t{1} << order;
    DoubleArray scratch(2 * n);
    if (!scratch) return false;
    if (!FftOutOfPlace(re, im, scratch.get(), scratch.get() + n, order)) return false;
    std::memcpy(re, scratch.get(), n * sizeof(double));
    std::memcpy(im, scratch.get() + n, n * sizeof(double));
    return true;
}
