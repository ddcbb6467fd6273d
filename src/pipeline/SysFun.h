#pragma once
// General routines of the image pipeline: rounding, polynomial coefficients,
// bitmap effects and the marker colour.

#include "pipeline/Bitmap24.h"
#include "pipeline/PixelTypes.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <type_traits>
#include <vector>

// ---- Rounding ---------------------------------------------------------------

// Nearest integer, halves to the even neighbour (127.5 -> 128, 126.5 -> 126).
// Exact for every finite double; NaN and infinities are returned unchanged.
inline double RoundHalfEven(double v) {
    // Below 2^51 adding and removing 1.5 * 2^52 leaves the nearest integer, ties to
    // even (the default rounding of the floating-point unit).
    constexpr double kMagic = 6755399441055744.0;
    if (std::fabs(v) < 2251799813685248.0)
        return (v + kMagic) - kMagic;
    if (!(std::fabs(v) < 4503599627370496.0))
        return v;  // >= 2^52, NaN, infinities
    double r = std::floor(v);
    const double frac = v - r;
    if (frac > 0.5 || (frac == 0.5 && std::fmod(r, 2.0) != 0.0))
        r += 1.0;
    return r;
}

// ---- Polynomial coefficients ----------------------------------------------

// A double as a value of T: itself, or a vector (GCC vector extension, such as
// __m128d) with every element equal to it.
template <class T>
[[gnu::always_inline]] inline T Splat(double v) {
    if constexpr (std::is_same_v<T, double>) {
        return v;
    } else {
        T r{};
        for (size_t k = 0; k < sizeof(T) / sizeof(double); ++k)
            r[k] = v;
        return r;
    }
}

// Coefficient array of GetPolyData_U: entries 0..3 are the constant, linear,
// quadratic and cubic terms; entries 4 and 5 are not written.
using TPolyCoes = std::array<double, 6>;

// Point table: row 0 the x values, row 1 the y values (at least `times` of each).
using TPointTable = std::array<TDoubles, 2>;

// The polynomial through `times` points (x0 taken as 0, x1..x3, y0..y3); `times`
// outside 2..4 counts as 2. Writes c[0..3]. Evaluating
// c0 + c1*x + c2*x^2 + c3*x^3 gives the interpolated value.
//
// T is double or a vector of doubles: the picture's enlargement runs the same
// expressions on several lines at once, element by element, so every lane gets
// the bits the scalar form gives. Always inlined, so that a vector form is
// compiled for the instruction set of the function that uses it.
template <class T>
[[gnu::always_inline]] inline void PolyCoefficientsOf(int times, double x1, double x2, double x3, const T *y,
                                                      T *c) {
    if (times < 2 || times > 4)
        times = 2;
    const T zero{};
    const T d1 = y[1] - y[0];
    c[0] = y[0];
    c[2] = zero;
    c[3] = zero;
    if (times == 2) {
        c[1] = d1 / Splat<T>(x1);
        return;
    }
    const T d2 = y[2] - y[0];
    const double den = x1 * (x2 * x2) - (x1 * x1) * x2;
    const T q = (Splat<T>(x1) * d2 - Splat<T>(x2) * d1) / Splat<T>(den);
    if (times == 3) {
        c[2] = q;
        c[1] = d1 / Splat<T>(x1) - Splat<T>(x1) * c[2];
        return;
    }
    const T d3 = y[3] - y[0];
    const double p = (x1 * (x2 * x2 * x2) - (x1 * x1 * x1) * x2) / den;
    const double m = x1 * (x3 * x3) - (x1 * x1) * x3;
    c[3] = ((Splat<T>(x1) * d3 - Splat<T>(x3) * d1) - q * Splat<T>(m)) /
           Splat<T>((x1 * (x3 * x3 * x3) - (x1 * x1 * x1) * x3) - p * m);
    c[2] = q - Splat<T>(p) * c[3];
    c[1] = (d1 - c[2] * Splat<T>(x1 * x1) - c[3] * Splat<T>(x1 * x1 * x1)) / Splat<T>(x1);
}

// c0 + c1*x + c2*x^2 + c3*x^3, summed in that order.
template <class T>
[[gnu::always_inline]] inline T PolyValueOf(const T *c, double x) {
    return c[0] + c[1] * Splat<T>(x) + c[2] * Splat<T>(x * x) + c[3] * Splat<T>(x * x * x);
}

inline void PolyCoefficients(int times, double x1, double x2, double x3, const double *y, double *c) {
    PolyCoefficientsOf<double>(times, x1, x2, x3, y, c);
}

inline double PolyValue(const double *c, double x) {
    return PolyValueOf<double>(c, x);
}

// The polynomial through the first `times` points of the table (the first x value
// is taken as 0). Throws std::invalid_argument when the table holds too few points.
void GetPolyData_U(const TPointTable &originData, int32_t times, TPolyCoes &coes);

// ---- Bitmap effects (in place, rows top to bottom, pixels left to right) ----

// c := c + (c - p) div 2 against the upper-left reference pixel, limited to 0..255.
void Sharpen(TBitmap24 &bmp);
// 3 x 3 box blur with integer division, reading values as they stand.
void Blur(TBitmap24 &bmp);
// c := 255 - c.
void Negative(TBitmap24 &bmp);
// Channels below 128 become 255 - c.
void Exposure(TBitmap24 &bmp);

// A colour word (0x00BBGGRR) that stands out against the given one.
int32_t RGBColorInverse(int32_t aColor);
