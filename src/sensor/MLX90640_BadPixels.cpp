// Replacement of listed defective pixels from their neighbours.
#include "sensor/MLX90640_API.h"

#include <cmath>
#include <limits>
#include <vector>

namespace {

// Mode 1: the diagonal neighbours, which share the pixel's chess-pattern subpage.
double FromDiagonals(const double *too, int p, int line, int column) {
    if (line == 0) {
        if (column == 0)
            return too[33];
        if (column == 31)
            return too[62];
        return (too[p + 31] + too[p + 33]) / 2.0;
    }
    if (line == 23) {
        if (column == 0)
            return too[705];
        if (column == 31)
            return too[734];
        return (too[p - 33] + too[p - 31]) / 2.0;
    }
    if (column == 0)
        return (too[p - 31] + too[p + 33]) / 2.0;
    if (column == 31)
        return (too[p - 33] + too[p + 31]) / 2.0;
    const double around[4] = {too[p - 33], too[p - 31], too[p + 31], too[p + 33]};
    return GetMedian(around, 4);
}

// Other modes: the neighbours in the same line, which share the pixel's
// interleaved-pattern subpage.
double FromLine(const double *too, int p, int column, const TParamsMLX90640 &params) {
    if (column == 0)
        return too[p + 1];
    if (column == 31)
        return too[p - 1];
    if (column == 1 || column == 30)
        return (too[p - 1] + too[p + 1]) / 2.0;
    if (IsPixelBad(p - 2, params) == 1 || IsPixelBad(p + 2, params) == 1)
        return (too[p - 1] + too[p + 1]) / 2.0;
    // Extrapolate from the side with the smaller step; the right side on a tie.
    const double ap0 = too[p + 1] - too[p + 2];
    const double ap1 = too[p - 1] - too[p - 2];
    if (std::fabs(ap0) > std::fabs(ap1))
        return too[p - 1] + ap1;
    return too[p + 1] + ap0;
}

}  // namespace

void MLX90640_BadPixelsCorrection(const uint16_t *pixels, double *too, int mode,
                                  const TParamsMLX90640 &params) {
    for (int k = 0; k < 5 && pixels[k] != 0xFFFF; ++k) {
        const int p = pixels[k];
        // The record's lists only ever hold 0..767; any other number would send the
        // neighbour look-ups outside the 768 values, so it is passed over.
        if (p > 767)
            continue;
        const int line = p / 32;
        const int column = p - 32 * line;
        too[p] = mode == 1 ? FromDiagonals(too, p, line, column) : FromLine(too, p, column, params);
    }
}

int IsPixelBad(int pixel, const TParamsMLX90640 &params) {
    for (int k = 0; k < 5; ++k)
        if (pixel == params.outlierPixels[k] || pixel == params.brokenPixels[k])
            return 1;
    return 0;
}

double GetMedian(const double *values, int n) {
    // No values, no median (an empty count would otherwise read before the array).
    if (n <= 0)
        return std::numeric_limits<double>::quiet_NaN();
    std::vector<double> v(values, values + n);
    for (int i = 0; i < n - 1; ++i)
        for (int j = i + 1; j < n; ++j)
            if (v[j] < v[i]) {
                const double t = v[i];
                v[i] = v[j];
                v[j] = t;
            }
    if (n % 2 == 0)
        return (v[n / 2] + v[n / 2 - 1]) / 2.0;
    return v[(n - 1) / 2];
}
