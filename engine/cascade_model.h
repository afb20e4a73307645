#pragma once

// Magnitude of the whole cascade at every band centre, the inner loop of the design:
//   A_r = sqrt( prod_s (1 + P_s / (1 + Ksq_s * T[r][s])) ),  r, s = 0..n-1,
// with T the n x n row-major interaction terms, Ksq_s the squared width factor and P_s = (1+g_s)^2 - 1.

// Fast form: the factors are multiplied as numerator and denominator products in short blocks,
// so there is one division per block instead of one per term. Rows whose blocked products leave
// the finite range are recomputed with the plain form.
void ModelCascadeMagnitudes(int n, const double* T, const double* Ksq, const double* P, double* A);

// The formula term by term; the yardstick for the fast form.
void ModelCascadeMagnitudesPlain(int n, const double* T, const double* Ksq, const double* P, double* A);

// (x)^(1/5) for x >= 0, to within a few units in the last place. The design moves every gain a fifth of the
// way (in log terms) toward its band's error each pass.
double FifthRoot(double x);

// One update of the fit over n <= 120 bands: every gain moves a fifth of the way (in log terms) toward
// removing its band's relative error E, never below -0.9999; then P, Ksq and the modelled
// response Y_r = A_r * X_r follow from the new gains.
void FitPass(int n, const double* T, const double* X, const double* E, double* g, double* P, double* Ksq,
             double* A, double* Y);
