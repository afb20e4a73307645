#pragma once

#include <memory>

// Forward complex transform X_k = sum_t x_t e^(-j 2 pi k t / n) of n = 2^order points, held as
// separate real and imaginary arrays, unscaled, results in natural order.
//
// Large sizes run as two passes of short transforms, columns gathered a cache line at a time,
// so every short transform works in cache. The tables (twiddles, bit reversal) are allocated per call
// through AllocateDoubles; when they cannot be allocated the call returns false and leaves the
// output undefined.

// The transform, with the result left in (re, im) in a transposed layout that saves the final
// reordering pass: for the layout {rows, cols} of this order, X[k2 + rows*k1] is found at index
// k2*cols + k1 (k2 < rows, k1 < cols). Small orders have one column, i.e. natural order.
struct TransposedLayout {
    int rows;
    int cols;
};
TransposedLayout FftTransposedLayout(int order);
// The scratch arrays (n doubles each, not overlapping the data) are overwritten.
bool FftTransposed(double* re, double* im, double* scratchRe, double* scratchIm, int order);

// The tables of one order, made once for many transforms of that size (the segments of an
// analysis), where FftTransposed makes them on every call.
class FftPlan {
  public:
    FftPlan();
    ~FftPlan();
    FftPlan(const FftPlan&) = delete;
    FftPlan& operator=(const FftPlan&) = delete;
    // False when the tables could not be allocated (or the order is out of range).
    bool Make(int order);
    // As FftTransposed, for the order made.
    bool Transposed(double* re, double* im, double* scratchRe, double* scratchIm) const;

  private:
    struct Tables;
    std::unique_ptr<Tables> tables;
    int order = -1;
};

// Out of place: the result goes to (outRe, outIm), which must not overlap the input; the input
// arrays are overwritten (used as working space). order 0..24.
bool FftOutOfPlace(double* re, double* im, double* outRe, double* outIm, int order);

// In place; allocates its own working space as well.
bool Fft(double* re, double* im, int order);
