#include "engine/fft.h"

#include "engine/double_array.h"

#include <cmath>
#include <cstring>
#include <numbers>

#if defined(__x86_64__) && !defined(_WIN32) && defined(__GNUC__)
#define TV_HOT_KERNEL __attribute__((target_clones("avx2", "default")))
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

// Decimation in time over `rows` consecutive rows of m points each, input already in bit-reversed
// order within each row, output in natural order.
TV_HOT_KERNEL
void ShortTransforms(double* __restrict re, double* __restrict im, int rows, const double* __restrict wr,
                     const double* __restrict wi, int m) {
    for (int row = 0; row < rows; ++row) {
        double* __restrict xr = re + static_cast<std::size_t>(row) * m;
        double* __restrict xi = im + static_cast<std::size_t>(row) * m;
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
        for (int h = 4; h < m; h <<= 1) {
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

// dst[r][c] = src[rev[c]][r]: src has dstCols rows of dstRows entries. Tiles keep both sides in
// cache; the bit reversal of the next short transform rides along for free.
void ReversingTranspose(const double* __restrict src, double* __restrict dst, int dstRows, int dstCols,
                        const int* rev) {
    for (int c0 = 0; c0 < dstCols; c0 += kTile)
        for (int r0 = 0; r0 < dstRows; r0 += kTile) {
            const int cn = dstCols - c0 < kTile ? dstCols - c0 : kTile;
            const int rn = dstRows - r0 < kTile ? dstRows - r0 : kTile;
            for (int c = c0; c < c0 + cn; ++c) {
                const double* s = src + static_cast<std::size_t>(rev[c]) * dstRows + r0;
                for (int r = 0; r < rn; ++r)
                    dst[static_cast<std::size_t>(r0 + r) * dstCols + c] = s[r];
            }
        }
}

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

// Multiplies row j of a rows x cols matrix by e^(-j 2 pi j k / n), n = rows*cols, k the column.
// The twiddle of row j is built from two short runs, (j*split*kh) and (j*kl) with
// k = kh*split + kl, each looked up in a fine and a coarse table of the whole circle.
struct CircleTables {
    double* fineR; // e^(-j 2 pi e / n), e < fineSize
    double* fineI;
    double* coarseR; // e^(-j 2 pi e*fineSize / n), e < n/fineSize
    double* coarseI;
    int fineBits;
    int n;
};

inline void CircleLookup(const CircleTables& t, long e, double& r, double& i) {
    e &= t.n - 1;
    const long hi = e >> t.fineBits, lo = e & ((1L << t.fineBits) - 1);
    r = t.coarseR[hi] * t.fineR[lo] - t.coarseI[hi] * t.fineI[lo];
    i = t.coarseR[hi] * t.fineI[lo] + t.coarseI[hi] * t.fineR[lo];
}

TV_HOT_KERNEL
void TwiddleRows(double* __restrict re, double* __restrict im, int rows, int cols, const CircleTables& t,
                 double* __restrict rowR, double* __restrict rowI) {
    int splitBits = 0;
    while ((1 << (2 * splitBits)) < cols)
        ++splitBits;
    const int split = 1 << splitBits; // about sqrt(cols)
    const int runs = (cols + split - 1) / split;
    double aR[64], aI[64], bR[64], bI[64];
    for (int j = 1; j < rows; ++j) {
        for (int kl = 0; kl < split; ++kl)
            CircleLookup(t, static_cast<long>(j) * kl, aR[kl], aI[kl]);
        for (int kh = 0; kh < runs; ++kh)
            CircleLookup(t, static_cast<long>(j) * kh * split, bR[kh], bI[kh]);
        for (int kh = 0; kh < runs; ++kh)
            for (int kl = 0; kl < split; ++kl) {
                rowR[kh * split + kl] = bR[kh] * aR[kl] - bI[kh] * aI[kl];
                rowI[kh * split + kl] = bR[kh] * aI[kl] + bI[kh] * aR[kl];
            }
        double* __restrict xr = re + static_cast<std::size_t>(j) * cols;
        double* __restrict xi = im + static_cast<std::size_t>(j) * cols;
        for (int k = 0; k < cols; ++k) {
            const double r = xr[k] * rowR[k] - xi[k] * rowI[k];
            const double i = xr[k] * rowI[k] + xi[k] * rowR[k];
            xr[k] = r;
            xi[k] = i;
        }
    }
}

} // namespace

bool FftOutOfPlace(double* re, double* im, double* outRe, double* outIm, int order) {
    if (order < 0 || order > kMaxOrder || !re || !im || !outRe || !outIm)
        return false;
    const long n = 1L << order;
    if (order <= kDirectMaxOrder) {
        const int m = static_cast<int>(n);
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
        ShortTransforms(outRe, outIm, 1, t.wr, t.wi, m);
        delete[] rev;
        return true;
    }

    const int bits1 = order / 2, bits2 = order - bits1;
    const int n1 = 1 << bits1, n2 = 1 << bits2; // n = n1 * n2, n2 >= n1
    const int fineBits = (order + 1) / 2;
    const int fine = 1 << fineBits, coarse = static_cast<int>(n >> fineBits);
    // One block for every table: short twiddles of both sizes, the circle, one row of twiddles.
    const std::size_t doubles = 2 * static_cast<std::size_t>(n1) + 2 * n2 + 2 * fine + 2 * coarse + 2 * n2;
    DoubleArray block(doubles);
    int* revs = new (std::nothrow) int[n1 + n2];
    if (!block || !revs) {
        delete[] revs;
        return false;
    }
    double* p = block.get();
    ShortTables t1{p, p + n1, revs, n1};
    p += 2 * n1;
    ShortTables t2{p, p + n2, revs + n1, n2};
    p += 2 * n2;
    CircleTables circle{p, p + fine, p + 2 * fine, p + 2 * fine + coarse, fineBits, static_cast<int>(n)};
    p += 2 * fine + 2 * coarse;
    double* rowR = p;
    double* rowI = p + n2;
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

    // Input index t = j1 + n1*j2 (n2 rows of n1), output index k = k2 + n2*k1.
    // 1. n1 transforms of n2 points over j2, one per j1.
    ReversingTranspose(re, outRe, n1, n2, t2.rev);
    ReversingTranspose(im, outIm, n1, n2, t2.rev);
    ShortTransforms(outRe, outIm, n1, t2.wr, t2.wi, n2);
    // 2. Twiddle e^(-j 2 pi j1 k2 / n).
    TwiddleRows(outRe, outIm, n1, n2, circle, rowR, rowI);
    // 3. n2 transforms of n1 points over j1, one per k2.
    ReversingTranspose(outRe, re, n2, n1, t1.rev);
    ReversingTranspose(outIm, im, n2, n1, t1.rev);
    ShortTransforms(re, im, n2, t1.wr, t1.wi, n1);
    // 4. Row k2, column k1 holds X[k2 + n2*k1]: transpose into natural order.
    Transpose(re, outRe, n1, n2);
    Transpose(im, outIm, n1, n2);
    delete[] revs;
    return true;
}

bool Fft(double* re, double* im, int order) {
    if (order < 0 || order > kMaxOrder || !re || !im)
        return false;
    const std::size_t n = std::size_t{1} << order;
    DoubleArray scratch(2 * n);
    if (!scratch)
        return false;
    if (!FftOutOfPlace(re, im, scratch.get(), scratch.get() + n, order))
        return false;
    std::memcpy(re, scratch.get(), n * sizeof(double));
    std::memcpy(im, scratch.get() + n, n * sizeof(double));
    return true;
}
