#pragma once
// Polynomial enlargement of pixel grids by 4 in each direction, and the smoothing
// filter that may run between the two passes of the sensor image object.
//
// A line s[0..n-1] becomes r[0..4n-1]; samples sit 4 units apart. Dir 0 puts
// sample i at 4i + 2, any other Dir at 4i + 1. The gaps are filled with the
// polynomial through `times` samples starting at the gap's left sample; the last
// times - 1 gaps and the extrapolated ends use the straight line through their
// two neighbouring samples.

#include "pipeline/PixelTypes.h"

#include <cstdint>
#include <vector>

// Enlarges s[0..n-1] into r[0..4n-1]. `times` outside 2..4 counts as 2; a line
// shorter than `times` is enlarged linearly. Throws std::invalid_argument when
// n < 2 (there is no line through one sample).
void EnlargeLine(const double *s, int n, int dir, int times, double *r);

// The same on a resizable array: returns a line four times as long.
TDoubles PolynomialInterpolationArr(const TDoubles &sourceDatas, int32_t dir, int32_t times);

// A grid four times as wide and high: rows of the source first (into rows 0..R-1
// of the result), then every result column. A line that cannot be enlarged keeps
// what it had. Only Temperature is written; every other field of the result is
// 0 / false. Throws std::invalid_argument for a grid whose columns differ in length.
TPixels PolynomialInterpolation(const TPixels &sourcePixs, int32_t dir, int32_t termsCount);

// Weighted moving average over a square window of side pixCount, in place.
// meth 0 plain average, 1 weighted by anti-diagonal, 2 Gaussian with `sigma`;
// any other method weighs every sample 1 (the plain average). Writes each pixel's
// Temperature and TemperatureStep and the module-level minStep / maxStep.
// Throws std::domain_error when a weight is not finite or a window has no
// weight (pixCount below 1 with meth 1, a sigma of 0, an empty window), leaving
// `pixs` and minStep / maxStep unchanged.
void PixsFilter(TPixels &pixs, int32_t pixCount, int32_t meth, double sigma);

// ---- Flat forms used per frame ----------------------------------------------
// Grids of doubles stored column by column: value (c, r) at v[c * rows + r].

// The row pass of PolynomialInterpolation: src is columns x rows, dst receives
// 4*columns x rows.
void EnlargeRowsFlat(const double *src, int columns, int rows, int dir, int times, double *dst);

// Both passes: dst receives 4*columns x 4*rows.
void EnlargeGridFlat(const double *src, int columns, int rows, int dir, int times, double *dst);

// Result of FilterFlat's step sums.
struct TStepRange {
    double MinStep = 0.0;
    double MaxStep = 0.0;
};

// PixsFilter on a flat grid: `values` is replaced by the filtered grid; `steps`
// (columns x rows, may be null) receives each pixel's step sum. Returns the
// range of step sums as PixsFilter leaves it in minStep / maxStep. Throws as
// PixsFilter does, before anything is written.
TStepRange FilterFlat(std::vector<double> &values, int columns, int rows, int32_t pixCount, int32_t meth,
                      double sigma, std::vector<double> *steps);
