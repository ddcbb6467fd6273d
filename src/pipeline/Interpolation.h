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
// Grids of doubles stored row by row: value (c, r) at v[r * columns + c]. They
// give the same values as PolynomialInterpolation and PixsFilter, bit for bit:
// the same arithmetic in the same order for every value, run on several values
// at once where their computations are independent.

// The row pass of PolynomialInterpolation: dst (4*columns x rows) receives every
// row of src (columns x rows) enlarged. Throws std::invalid_argument when
// columns < 2.
void EnlargeRowsFlat(const double *src, int columns, int rows, int dir, int times, double *dst);

// Hears of the rows of a column pass as they are finished.
class TRowSink {
public:
    // Rows first .. last (inclusive) of the result are final.
    virtual void RowsDone(int first, int last) = 0;

protected:
    ~TRowSink() = default;
};

// The column pass: dst (columns x 4*rows) receives every column of src enlarged,
// a whole result row at a time; `sink`, if given, hears of every row once it is
// final, every row exactly once, in no fixed order. Throws std::invalid_argument
// when rows < 2.
void EnlargeColumnsFlat(const double *src, int columns, int rows, int dir, int times, double *dst,
                        TRowSink *sink = nullptr);

// Both passes: dst receives 4*columns x 4*rows; `work` holds the row pass.
void EnlargeGridFlat(const double *src, int columns, int rows, int dir, int times, double *dst,
                     std::vector<double> &work);

// Range of the step sums of a filter run.
struct TStepRange {
    double MinStep = 0.0;
    double MaxStep = 0.0;
};

// PixsFilter on a flat grid, keeping its work arrays between runs.
class TGridFilter {
public:
    // Writes the filtered grid into `out` and, when `steps` is not null, each
    // pixel's step sum into `steps` (both columns x rows, neither may overlap
    // `in`). Returns the range of step sums as PixsFilter leaves it in minStep /
    // maxStep (which this does not touch). Throws as PixsFilter does; `out` and
    // `steps` may then hold part of a result.
    TStepRange Run(const double *in, int columns, int rows, int32_t pixCount, int32_t meth, double sigma,
                   double *out, double *steps);

private:
    std::vector<double> fWeights;  // by offset: rows -hr..hr, columns -hc..hc
    std::vector<double> fSplat;    // the same, each weight four times (one load per vector)
    std::vector<double> fSteps;    // one row of step sums
};
