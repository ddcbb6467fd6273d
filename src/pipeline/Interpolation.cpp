#include "pipeline/Interpolation.h"

#include "pipeline/PipelineBuffers.h"
#include "pipeline/SysFun.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include <emmintrin.h>

namespace {

// Local axis of a line: neighbouring samples 4 units apart.
constexpr double kX1 = 4.0;
constexpr double kX2 = 8.0;
constexpr double kX3 = 12.0;

template <int Times>
inline void Coefficients(const double *y, double *c) {
    PolyCoefficients(Times, kX1, kX2, kX3, y, c);
}

// Fills the three gap positions after a sample at position `pos`.
inline void FillGap(const double *c, double *r, int pos) {
    r[pos + 1] = PolyValue(c, 1.0);
    r[pos + 2] = PolyValue(c, 2.0);
    r[pos + 3] = PolyValue(c, 3.0);
}

template <int Times>
void EnlargeLineT(const double *s, int n, int dir, double *r) {
    const int start = dir == 0 ? 2 : 1;
    for (int i = 0; i < n; ++i)
        r[4 * i + start] = s[i];

    double c[4];
    // Gaps after samples 0 .. n - Times - 1: the polynomial through Times samples.
    const int polyEnd = n - Times;
    for (int i = 0; i < polyEnd; ++i) {
        Coefficients<Times>(s + i, c);
        FillGap(c, r, 4 * i + start);
    }
    // The last Times - 1 gaps (all gaps of a shorter line): straight lines.
    for (int i = std::max(polyEnd, 0); i <= n - 2; ++i) {
        Coefficients<2>(s + i, c);
        FillGap(c, r, 4 * i + start);
    }
    // Head: the line through the first two samples, extended backwards.
    Coefficients<2>(s, c);
    if (dir == 0) {
        r[1] = PolyValue(c, -1.0);
        r[0] = PolyValue(c, -2.0);
    } else {
        r[0] = PolyValue(c, -1.0);
    }
    // End: the line through the last two samples, extended forwards.
    Coefficients<2>(s + n - 2, c);
    if (dir == 0) {
        r[4 * n - 1] = PolyValue(c, 5.0);
    } else {
        r[4 * n - 2] = PolyValue(c, 5.0);
        r[4 * n - 1] = PolyValue(c, 6.0);
    }
}

}  // namespace

void EnlargeLine(const double *s, int n, int dir, int times, double *r) {
    if (n < 2)
        throw std::invalid_argument("EnlargeLine: a line needs at least 2 samples, got " + std::to_string(n));
    switch (times) {
    case 3: EnlargeLineT<3>(s, n, dir, r); break;
    case 4: EnlargeLineT<4>(s, n, dir, r); break;
    default: EnlargeLineT<2>(s, n, dir, r); break;
    }
}

TDoubles PolynomialInterpolationArr(const TDoubles &sourceDatas, int32_t dir, int32_t times) {
    TDoubles result(sourceDatas.size() * 4, 0.0);
    EnlargeLine(sourceDatas.data(), static_cast<int>(sourceDatas.size()), dir, times, result.data());
    return result;
}

TPixels PolynomialInterpolation(const TPixels &sourcePixs, int32_t dir, int32_t termsCount) {
    const int columns = static_cast<int>(sourcePixs.size());
    const int rows = columns > 0 ? static_cast<int>(sourcePixs[0].size()) : 0;
    for (const auto &column : sourcePixs)
        if (static_cast<int>(column.size()) != rows)
            throw std::invalid_argument("PolynomialInterpolation: columns of different length");

    TPixels result = MakePixels(4 * columns, 4 * rows);
    TDoubles line;
    TDoubles enlarged;
    // Rows of the source into rows 0 .. rows - 1 of the result.
    line.resize(static_cast<size_t>(columns));
    enlarged.resize(4 * static_cast<size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            line[c] = sourcePixs[c][r].Temperature;
        try {
            EnlargeLine(line.data(), columns, dir, termsCount, enlarged.data());
        } catch (const std::exception &) {
            continue;  // this line keeps what it had
        }
        for (int c = 0; c < 4 * columns; ++c)
            result[c][r].Temperature = enlarged[c];
    }
    // Every result column from its first `rows` values.
    line.resize(static_cast<size_t>(rows));
    enlarged.resize(4 * static_cast<size_t>(rows));
    for (int c = 0; c < 4 * columns; ++c) {
        for (int r = 0; r < rows; ++r)
            line[r] = result[c][r].Temperature;
        try {
            EnlargeLine(line.data(), rows, dir, termsCount, enlarged.data());
        } catch (const std::exception &) {
            continue;
        }
        for (int r = 0; r < 4 * rows; ++r)
            result[c][r].Temperature = enlarged[r];
    }
    return result;
}

void EnlargeRowsFlat(const double *src, int columns, int rows, int dir, int times, double *dst) {
    std::vector<double> line(static_cast<size_t>(columns));
    std::vector<double> enlarged(4 * static_cast<size_t>(columns));
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c)
            line[c] = src[static_cast<size_t>(c) * rows + r];
        EnlargeLine(line.data(), columns, dir, times, enlarged.data());
        for (int c = 0; c < 4 * columns; ++c)
            dst[static_cast<size_t>(c) * rows + r] = enlarged[c];
    }
}

void EnlargeGridFlat(const double *src, int columns, int rows, int dir, int times, double *dst) {
    std::vector<double> rowPass(4 * static_cast<size_t>(columns) * rows);
    EnlargeRowsFlat(src, columns, rows, dir, times, rowPass.data());
    for (int c = 0; c < 4 * columns; ++c)
        EnlargeLine(rowPass.data() + static_cast<size_t>(c) * rows, rows, dir, times,
                    dst + static_cast<size_t>(c) * 4 * rows);
}

// ---- Smoothing filter -----------------------------------------------------

namespace {

// Window bounds along one axis for position i of `count`, half size h: centred on
// i and shrunk near the edges (half size min(h, i, count - 1 - i)).
inline void WindowBounds(int64_t i, int64_t h, int64_t count, int64_t &first, int64_t &last) {
    first = i - h;
    last = i + h;
    if (first < 0) {
        first = 0;
        last = std::min(2 * i, count - 1);
    }
    if (last > count - 1) {
        last = count - 1;
        first = std::max(2 * i - (count - 1), int64_t{0});
    }
}

constexpr double kE = 2.71828183;
constexpr double kTwoPi = 6.28318;

double FilterWeight(int32_t meth, int32_t pixCount, int dm, int dn, double sigma) {
    switch (meth) {
    case 1: return static_cast<double>(static_cast<int64_t>(pixCount) - std::abs(dm + dn));
    case 2: {
        const double s2 = sigma * sigma;
        return std::pow(kE, -static_cast<double>(dn * dn + dm * dm) / 2.0 / s2) / kTwoPi / s2;
    }
    default: return 1.0;  // plain average, also for a method the window cannot name
    }
}

}  // namespace

TStepRange FilterFlat(std::vector<double> &values, int columns, int rows, int32_t pixCount, int32_t meth,
                      double sigma, std::vector<double> *steps) {
    const size_t cells = static_cast<size_t>(columns) * static_cast<size_t>(rows);
    if (columns <= 0 || rows <= 0 || values.size() < cells) {
        if (columns < 0 || rows < 0 || values.size() < cells)
            throw std::invalid_argument("FilterFlat: grid size does not match");
        return {};
    }
    const int64_t h = (static_cast<int64_t>(pixCount) - 1) / 2;  // truncates towards zero
    const int64_t fullCount = static_cast<int64_t>(pixCount) * pixCount;

    // Weights by offset; a window never reaches further than the grid.
    const int hr = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(h, rows - 1)));
    const int hc = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(h, columns - 1)));
    const int tableColumns = 2 * hc + 1;
    std::vector<double> weights(static_cast<size_t>(2 * hr + 1) * tableColumns);
    for (int dm = -hr; dm <= hr; ++dm)
        for (int dn = -hc; dn <= hc; ++dn) {
            const double w = FilterWeight(meth, pixCount, dm, dn, sigma);
            if (!std::isfinite(w))
                throw std::domain_error("PixsFilter: filter weight is not a finite number");
            weights[static_cast<size_t>(dm + hr) * tableColumns + (dn + hc)] = w;
        }

    std::vector<double> out(cells);
    std::vector<double> stepOut(cells);
    const double *src = values.data();

    // One pixel, summed in window order: rows outer, columns inner.
    auto filterOne = [&](int i, int j, int64_t firstRow, int64_t lastRow, int64_t firstCol, int64_t lastCol) {
        const size_t at = static_cast<size_t>(j) * rows + i;
        const double centre = src[at];
        double sum = 0.0, total = 0.0, step = 0.0;
        for (int64_t m = firstRow; m <= lastRow; ++m) {
            const double *wrow = weights.data() + static_cast<size_t>(m - i + hr) * tableColumns;
            for (int64_t n = firstCol; n <= lastCol; ++n) {
                const double v = src[static_cast<size_t>(n) * rows + m];
                const double w = wrow[n - j + hc];
                sum += w * v;
                total += w;
                step += std::fabs(v - centre);
            }
        }
        const int64_t count = (lastRow >= firstRow && lastCol >= firstCol)
                                  ? (lastRow - firstRow + 1) * (lastCol - firstCol + 1)
                                  : 0;
        if (total == 0.0)
            throw std::domain_error("PixsFilter: filter window without weight");
        double t = sum / total;
        if (count < fullCount)
            t = (3.0 * centre + t) / 4.0;
        out[at] = t;
        stepOut[at] = step;
    };

    // Two vertically neighbouring pixels whose windows both have the full height
    // h: the same weights, and their samples lie next to each other in a column,
    // so both are summed at once, each lane in the same order as filterOne.
    const __m128d signBit = _mm_set1_pd(-0.0);
    auto filterPair = [&](int i, int j, int64_t firstCol, int64_t lastCol) {
        const size_t at = static_cast<size_t>(j) * rows + i;
        const __m128d centre = _mm_loadu_pd(src + at);
        __m128d sum = _mm_setzero_pd(), step = _mm_setzero_pd();
        double total = 0.0;
        for (int64_t dm = -h; dm <= h; ++dm) {
            const double *wrow = weights.data() + static_cast<size_t>(dm + hr) * tableColumns;
            for (int64_t n = firstCol; n <= lastCol; ++n) {
                const __m128d v = _mm_loadu_pd(src + static_cast<size_t>(n) * rows + (i + dm));
                const double w = wrow[n - j + hc];
                sum = _mm_add_pd(sum, _mm_mul_pd(_mm_set1_pd(w), v));
                total += w;
                step = _mm_add_pd(step, _mm_andnot_pd(signBit, _mm_sub_pd(v, centre)));
            }
        }
        const int64_t count = (2 * h + 1) * (lastCol - firstCol + 1);
        if (total == 0.0)
            throw std::domain_error("PixsFilter: filter window without weight");
        __m128d t = _mm_div_pd(sum, _mm_set1_pd(total));
        if (count < fullCount)
            t = _mm_div_pd(_mm_add_pd(_mm_mul_pd(_mm_set1_pd(3.0), centre), t), _mm_set1_pd(4.0));
        _mm_storeu_pd(out.data() + at, t);
        _mm_storeu_pd(stepOut.data() + at, step);
    };

    for (int j = 0; j < columns; ++j) {
        int64_t firstCol, lastCol;
        WindowBounds(j, h, columns, firstCol, lastCol);
        for (int i = 0; i < rows;) {
            // Rows h .. rows - 1 - h have windows of the full height.
            if (h >= 0 && i >= h && i + 1 + h <= rows - 1) {
                filterPair(i, j, firstCol, lastCol);
                i += 2;
            } else {
                int64_t firstRow, lastRow;
                WindowBounds(i, h, rows, firstRow, lastRow);
                filterOne(i, j, firstRow, lastRow, firstCol, lastCol);
                ++i;
            }
        }
    }

    // The range of step sums, pixel by pixel in row order; a stored 0 counts as unset.
    TStepRange range;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            const double step = stepOut[static_cast<size_t>(j) * rows + i];
            if (range.MinStep == 0.0)
                range.MinStep = step;
            if (range.MaxStep == 0.0)
                range.MaxStep = step;
            if (step < range.MinStep)
                range.MinStep = step;
            if (step > range.MaxStep)
                range.MaxStep = step;
        }
    values.swap(out);
    if (steps)
        steps->swap(stepOut);
    return range;
}

void PixsFilter(TPixels &pixs, int32_t pixCount, int32_t meth, double sigma) {
    const int columns = static_cast<int>(pixs.size());
    const int rows = columns > 0 ? static_cast<int>(pixs[0].size()) : 0;
    for (const auto &column : pixs)
        if (static_cast<int>(column.size()) != rows)
            throw std::invalid_argument("PixsFilter: columns of different length");
    std::vector<double> values(static_cast<size_t>(columns) * rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            values[static_cast<size_t>(c) * rows + r] = pixs[c][r].Temperature;
    std::vector<double> steps;
    const TStepRange range = FilterFlat(values, columns, rows, pixCount, meth, sigma, &steps);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            pixs[c][r].Temperature = values[static_cast<size_t>(c) * rows + r];
            pixs[c][r].TemperatureStep = steps[static_cast<size_t>(c) * rows + r];
        }
    minStep = range.MinStep;
    maxStep = range.MaxStep;
}
