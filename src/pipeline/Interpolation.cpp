#include "pipeline/Interpolation.h"

#include "pipeline/Lanes.h"
#include "pipeline/PipelineBuffers.h"
#include "pipeline/SysFun.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

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

// ---- Flat forms ------------------------------------------------------------

namespace {

// The three values of a gap from the samples y[0..Times-1] on a local axis with
// samples 4 apart, as EnlargeLineT computes them.
template <int Times, class T>
KORVALE_INLINE void GapValues(const T *y, T &v1, T &v2, T &v3) {
    T c[4];
    PolyCoefficientsOf<T>(Times, kX1, kX2, kX3, y, c);
    v1 = PolyValueOf<T>(c, 1.0);
    v2 = PolyValueOf<T>(c, 2.0);
    v3 = PolyValueOf<T>(c, 3.0);
}

// One line s[0..n-1] into r[0..4n-1], two gaps at a time: the samples of gaps i
// and i + 1 are loaded as vectors (lane 0 from s + i, lane 1 from s + i + 1), and
// the sample and gap values are interleaved into place.
template <int Times>
void EnlargeLineVec(const double *s, int n, int dir, double *r) {
    const int start = dir == 0 ? 2 : 1;
    const int polyEnd = n - Times;
    int i = 0;
    for (; i + 2 <= polyEnd; i += 2) {
        __m128d y[4];
        for (int t = 0; t < Times; ++t)
            y[t] = _mm_loadu_pd(s + i + t);
        __m128d v1, v2, v3;
        GapValues<Times>(y, v1, v2, v3);
        double *out = r + 4 * i + start;
        _mm_storeu_pd(out, _mm_unpacklo_pd(y[0], v1));
        _mm_storeu_pd(out + 2, _mm_unpacklo_pd(v2, v3));
        _mm_storeu_pd(out + 4, _mm_unpackhi_pd(y[0], v1));
        _mm_storeu_pd(out + 6, _mm_unpackhi_pd(v2, v3));
    }
    // The rest as EnlargeLineT does it.
    for (int k = i; k < n; ++k)
        r[4 * k + start] = s[k];
    double c[4];
    for (int k = i; k < polyEnd; ++k)
        GapValues<Times>(s + k, r[4 * k + start + 1], r[4 * k + start + 2], r[4 * k + start + 3]);
    for (int k = std::max({polyEnd, i, 0}); k <= n - 2; ++k)
        GapValues<2>(s + k, r[4 * k + start + 1], r[4 * k + start + 2], r[4 * k + start + 3]);
    Coefficients<2>(s, c);
    if (dir == 0) {
        r[1] = PolyValue(c, -1.0);
        r[0] = PolyValue(c, -2.0);
    } else {
        r[0] = PolyValue(c, -1.0);
    }
    Coefficients<2>(s + n - 2, c);
    if (dir == 0) {
        r[4 * n - 1] = PolyValue(c, 5.0);
    } else {
        r[4 * n - 2] = PolyValue(c, 5.0);
        r[4 * n - 1] = PolyValue(c, 6.0);
    }
}

// Lines of `lanes` values, `lanes` apart: line k of a grid stored row by row is
// its row k, and the column pass works on all columns at once, each column one
// lane.
struct TLines {
    const double *base;
    int lanes;
    const double *operator[](int k) const { return base + static_cast<size_t>(k) * lanes; }
};
struct TOutLines {
    double *base;
    int lanes;
    double *operator[](int k) const { return base + static_cast<size_t>(k) * lanes; }
};

// Gap lines 1..3 after line 0 of `y` (the polynomial through Times lines).
template <class V, int Times>
KORVALE_INLINE void GapLines(TLines y, double *o1, double *o2, double *o3) {
    constexpr int kN = kWidth<V>;
    const int lanes = y.lanes;
    int k = 0;
    for (; k + kN <= lanes; k += kN) {
        V v[4];
        for (int t = 0; t < Times; ++t)
            v[t] = Load<V>(y[t] + k);
        V v1, v2, v3;
        GapValues<Times>(v, v1, v2, v3);
        Store(o1 + k, v1);
        Store(o2 + k, v2);
        Store(o3 + k, v3);
    }
    for (; k < lanes; ++k) {
        double v[4];
        for (int t = 0; t < Times; ++t)
            v[t] = y[t][k];
        GapValues<Times>(v, o1[k], o2[k], o3[k]);
    }
}

// Lines at positions x0 (and x1 when `two`) of the straight line through lines
// 0 and 1 of `y`.
template <class V>
KORVALE_INLINE void LinearLines(TLines y, double x0, double *o0, bool two, double x1, double *o1) {
    constexpr int kN = kWidth<V>;
    const int lanes = y.lanes;
    int k = 0;
    for (; k + kN <= lanes; k += kN) {
        const V v[2] = {Load<V>(y[0] + k), Load<V>(y[1] + k)};
        V c[4];
        PolyCoefficientsOf<V>(2, kX1, kX2, kX3, v, c);
        Store(o0 + k, PolyValueOf<V>(c, x0));
        if (two)
            Store(o1 + k, PolyValueOf<V>(c, x1));
    }
    for (; k < lanes; ++k) {
        const double v[2] = {y[0][k], y[1][k]};
        double c[4];
        Coefficients<2>(v, c);
        o0[k] = PolyValue(c, x0);
        if (two)
            o1[k] = PolyValue(c, x1);
    }
}

// EnlargeLineT on every lane: n lines of `src` into 4n lines of `dst`.
template <class V, int Times>
KORVALE_INLINE void EnlargeLines(TLines src, int n, int dir, TOutLines dst, TRowSink *sink) {
    const int start = dir == 0 ? 2 : 1;
    const size_t bytes = sizeof(double) * static_cast<size_t>(src.lanes);
    const int polyEnd = n - Times;
    // Head: lines before the first sample.
    if (dir == 0)
        LinearLines<V>(src, -1.0, dst[1], true, -2.0, dst[0]);
    else
        LinearLines<V>(src, -1.0, dst[0], false, 0.0, nullptr);
    for (int i = 0; i <= n - 2; ++i) {
        const int at = 4 * i + start;
        std::memcpy(dst[at], src[i], bytes);
        const TLines y{src[i], src.lanes};
        if (i < polyEnd)
            GapLines<V, Times>(y, dst[at + 1], dst[at + 2], dst[at + 3]);
        else
            GapLines<V, 2>(y, dst[at + 1], dst[at + 2], dst[at + 3]);
        if (sink)
            sink->RowsDone(i == 0 ? 0 : at, at + 3);
    }
    // The last sample and the lines after it.
    const int last = 4 * (n - 1) + start;
    std::memcpy(dst[last], src[n - 1], bytes);
    const TLines tail{src[n - 2], src.lanes};
    if (dir == 0)
        LinearLines<V>(tail, 5.0, dst[4 * n - 1], false, 0.0, nullptr);
    else
        LinearLines<V>(tail, 5.0, dst[4 * n - 2], true, 6.0, dst[4 * n - 1]);
    if (sink)
        sink->RowsDone(last, 4 * n - 1);
}

template <class V>
KORVALE_INLINE void EnlargeLinesOf(TLines src, int n, int dir, int times, TOutLines dst, TRowSink *sink) {
    switch (times) {
    case 3: EnlargeLines<V, 3>(src, n, dir, dst, sink); break;
    case 4: EnlargeLines<V, 4>(src, n, dir, dst, sink); break;
    default: EnlargeLines<V, 2>(src, n, dir, dst, sink); break;
    }
}

void EnlargeLinesSse2(TLines src, int n, int dir, int times, TOutLines dst, TRowSink *sink) {
    EnlargeLinesOf<TLanes2>(src, n, dir, times, dst, sink);
}

KORVALE_AVX2 void EnlargeLinesAvx2(TLines src, int n, int dir, int times, TOutLines dst, TRowSink *sink) {
    EnlargeLinesOf<TLanes4>(src, n, dir, times, dst, sink);
}

}  // namespace

void EnlargeRowsFlat(const double *src, int columns, int rows, int dir, int times, double *dst) {
    if (columns < 2)
        throw std::invalid_argument("EnlargeRowsFlat: a row needs at least 2 samples, got " +
                                    std::to_string(columns));
    for (int r = 0; r < rows; ++r) {
        const double *s = src + static_cast<size_t>(r) * columns;
        double *d = dst + static_cast<size_t>(r) * 4 * columns;
        switch (times) {
        case 3: EnlargeLineVec<3>(s, columns, dir, d); break;
        case 4: EnlargeLineVec<4>(s, columns, dir, d); break;
        default: EnlargeLineVec<2>(s, columns, dir, d); break;
        }
    }
}

void EnlargeColumnsFlat(const double *src, int columns, int rows, int dir, int times, double *dst,
                        TRowSink *sink) {
    if (rows < 2)
        throw std::invalid_argument("EnlargeColumnsFlat: a column needs at least 2 samples, got " +
                                    std::to_string(rows));
    const TLines in{src, columns};
    const TOutLines out{dst, columns};
    if (HaveAvx2())
        EnlargeLinesAvx2(in, rows, dir, times, out, sink);
    else
        EnlargeLinesSse2(in, rows, dir, times, out, sink);
}

void EnlargeGridFlat(const double *src, int columns, int rows, int dir, int times, double *dst,
                     std::vector<double> &work) {
    work.resize(4 * static_cast<size_t>(columns) * static_cast<size_t>(rows));
    EnlargeRowsFlat(src, columns, rows, dir, times, work.data());
    EnlargeColumnsFlat(work.data(), 4 * columns, rows, dir, times, dst);
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

[[noreturn]] void NoWeight() {
    throw std::domain_error("PixsFilter: filter window without weight");
}

// Each weight stored this many times in a row, so that a vector of weights is one
// load.
constexpr int kSplat = 4;

// One row of the filter where the windows have the full width.
struct TFilterRow {
    const double *in;
    size_t stride;  // columns
    int i;          // the row
    int64_t h;      // half window size
    int64_t firstRow, lastRow;
    const double *splat;  // the weight table, each weight kSplat times
    int hr, tableColumns, hc;
    double total;   // the weight total of every window in this row
    bool blend;     // every window in this row is cut (fewer than pixCount^2 samples)
    double *out;    // the filtered grid
    double *steps;  // step sums of this row, by column
};

// Pixels j .. j + Q*N - 1 of the row: the same weights, and their samples lie
// next to each other in a row, so they are summed at once, each lane in the
// order of the one-pixel form (window rows outer, columns inner, sums from 0).
template <class V, int Q>
KORVALE_INLINE void FilterLanes(const TFilterRow &r, int j) {
    constexpr int kN = kWidth<V>;
    const double *centreAt = r.in + r.i * r.stride + j;
    V centre[Q], sum[Q], step[Q];
    for (int q = 0; q < Q; ++q) {
        centre[q] = Load<V>(centreAt + kN * q);
        sum[q] = V{};
        step[q] = V{};
    }
    const int64_t width = 2 * r.h + 1;
    for (int64_t m = r.firstRow; m <= r.lastRow; ++m) {
        const double *wrow =
            r.splat + kSplat * (static_cast<size_t>(m - r.i + r.hr) * r.tableColumns + (r.hc - r.h));
        const double *row = r.in + m * r.stride + (j - r.h);
        for (int64_t t = 0; t < width; ++t) {
            const V w = Load<V>(wrow + kSplat * t);
            for (int q = 0; q < Q; ++q) {
                const V v = Load<V>(row + t + kN * q);
                sum[q] = sum[q] + w * v;
                step[q] = step[q] + Abs(v - centre[q]);
            }
        }
    }
    for (int q = 0; q < Q; ++q) {
        V t = sum[q] / Splat<V>(r.total);
        if (r.blend)
            t = (Splat<V>(3.0) * centre[q] + t) / Splat<V>(4.0);
        Store(r.out + r.i * r.stride + j + kN * q, t);
        Store(r.steps + j + kN * q, step[q]);
    }
}

// Pixels j .. end - 1 of the row (full-width windows) as far as whole vectors
// reach; returns where it stopped.
template <class V, int Q>
KORVALE_INLINE int FilterInteriorOf(const TFilterRow &r, int j, int end) {
    constexpr int kN = kWidth<V>;
    for (; j + Q * kN <= end; j += Q * kN)
        FilterLanes<V, Q>(r, j);
    for (; j + kN <= end; j += kN)
        FilterLanes<V, 1>(r, j);
    return j;
}

int FilterInteriorSse2(const TFilterRow &r, int j, int end) {
    return FilterInteriorOf<TLanes2, 4>(r, j, end);
}

KORVALE_AVX2 int FilterInteriorAvx2(const TFilterRow &r, int j, int end) {
    return FilterInteriorOf<TLanes4, 4>(r, j, end);
}

}  // namespace

TStepRange TGridFilter::Run(const double *in, int columns, int rows, int32_t pixCount, int32_t meth,
                            double sigma, double *out, double *steps) {
    if (columns < 0 || rows < 0)
        throw std::invalid_argument("PixsFilter: negative grid size");
    if (columns == 0 || rows == 0)
        return {};
    const int64_t h = (static_cast<int64_t>(pixCount) - 1) / 2;  // truncates towards zero
    const int64_t fullCount = static_cast<int64_t>(pixCount) * pixCount;

    // Weights by offset; a window never reaches further than the grid.
    const int hr = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(h, rows - 1)));
    const int hc = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(h, columns - 1)));
    const int tableColumns = 2 * hc + 1;
    const size_t tableSize = static_cast<size_t>(2 * hr + 1) * tableColumns;
    fWeights.resize(tableSize);
    fSplat.resize(kSplat * tableSize);
    for (int dm = -hr; dm <= hr; ++dm)
        for (int dn = -hc; dn <= hc; ++dn) {
            const double w = FilterWeight(meth, pixCount, dm, dn, sigma);
            if (!std::isfinite(w))
                throw std::domain_error("PixsFilter: filter weight is not a finite number");
            const size_t at = static_cast<size_t>(dm + hr) * tableColumns + (dn + hc);
            fWeights[at] = w;
            for (int k = 0; k < kSplat; ++k)
                fSplat[kSplat * at + k] = w;
        }
    if (h < 0)
        NoWeight();  // every window is empty
    fSteps.resize(static_cast<size_t>(columns));
    const size_t stride = static_cast<size_t>(columns);

    // One pixel, summed in window order: rows outer, columns inner.
    auto filterOne = [&](int i, int j, int64_t firstRow, int64_t lastRow) {
        int64_t firstCol, lastCol;
        WindowBounds(j, h, columns, firstCol, lastCol);
        const double centre = in[i * stride + j];
        double sum = 0.0, total = 0.0, step = 0.0;
        for (int64_t m = firstRow; m <= lastRow; ++m) {
            const double *wrow = fWeights.data() + static_cast<size_t>(m - i + hr) * tableColumns;
            const double *row = in + m * stride;
            for (int64_t n = firstCol; n <= lastCol; ++n) {
                const double v = row[n];
                const double w = wrow[n - j + hc];
                sum += w * v;
                total += w;
                step += std::fabs(v - centre);
            }
        }
        const int64_t count = (lastRow - firstRow + 1) * (lastCol - firstCol + 1);
        if (total == 0.0)
            NoWeight();
        double t = sum / total;
        if (count < fullCount)
            t = (3.0 * centre + t) / 4.0;
        out[i * stride + j] = t;
        fSteps[j] = step;
    };

    // Columns h .. columns - 1 - h have windows of the full width.
    const int64_t firstFull = h;
    const int64_t lastFull = columns - 1 - h;
    TStepRange range;
    for (int i = 0; i < rows; ++i) {
        int64_t firstRow, lastRow;
        WindowBounds(i, h, rows, firstRow, lastRow);
        int j = 0;
        if (firstFull <= lastFull) {
            for (; j < firstFull; ++j)
                filterOne(i, j, firstRow, lastRow);
            // The weight total of a full-width window in this row, summed as
            // filterOne sums it.
            double total = 0.0;
            for (int64_t m = firstRow; m <= lastRow; ++m) {
                const double *wrow = fWeights.data() + static_cast<size_t>(m - i + hr) * tableColumns;
                for (int64_t dn = -h; dn <= h; ++dn)
                    total += wrow[dn + hc];
            }
            if (total == 0.0)
                NoWeight();
            const bool blend = (lastRow - firstRow + 1) * (2 * h + 1) < fullCount;
            const TFilterRow row{in, stride,       i,  h,     firstRow, lastRow, fSplat.data(),
                                 hr, tableColumns, hc, total, blend,    out,     fSteps.data()};
            const int end = static_cast<int>(lastFull) + 1;
            j = HaveAvx2() ? FilterInteriorAvx2(row, j, end) : FilterInteriorSse2(row, j, end);
            for (; j < end; ++j)
                filterOne(i, j, firstRow, lastRow);
        }
        for (; j < columns; ++j)
            filterOne(i, j, firstRow, lastRow);

        // The range of step sums, pixel by pixel in row order; a stored 0 counts as unset.
        for (int k = 0; k < columns; ++k) {
            const double step = fSteps[k];
            if (range.MinStep == 0.0)
                range.MinStep = step;
            if (range.MaxStep == 0.0)
                range.MaxStep = step;
            if (step < range.MinStep)
                range.MinStep = step;
            if (step > range.MaxStep)
                range.MaxStep = step;
        }
        if (steps)
            std::memcpy(steps + i * stride, fSteps.data(), sizeof(double) * stride);
    }
    return range;
}

// The step-by-step form: every pixel on its own, from a copy of the grid.
void PixsFilter(TPixels &pixs, int32_t pixCount, int32_t meth, double sigma) {
    const int columns = static_cast<int>(pixs.size());
    const int rows = columns > 0 ? static_cast<int>(pixs[0].size()) : 0;
    for (const auto &column : pixs)
        if (static_cast<int>(column.size()) != rows)
            throw std::invalid_argument("PixsFilter: columns of different length");
    const int64_t h = (static_cast<int64_t>(pixCount) - 1) / 2;  // truncates towards zero
    const int64_t fullCount = static_cast<int64_t>(pixCount) * pixCount;
    // Every weight a window inside the grid can use, checked before anything changes.
    const int hr = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(h, rows - 1)));
    const int hc = static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(h, columns - 1)));
    for (int dm = -hr; dm <= hr; ++dm)
        for (int dn = -hc; dn <= hc; ++dn)
            if (!std::isfinite(FilterWeight(meth, pixCount, dm, dn, sigma)))
                throw std::domain_error("PixsFilter: filter weight is not a finite number");

    const TPixels copy = pixs;
    TPixels result = pixs;
    double minSteps = 0.0, maxSteps = 0.0;
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < columns; ++j) {
            int64_t firstRow, lastRow, firstCol, lastCol;
            WindowBounds(i, h, rows, firstRow, lastRow);
            WindowBounds(j, h, columns, firstCol, lastCol);
            const double centre = copy[j][i].Temperature;
            double sum = 0.0, total = 0.0, step = 0.0;
            int64_t count = 0;
            for (int64_t m = firstRow; m <= lastRow; ++m)
                for (int64_t n = firstCol; n <= lastCol; ++n) {
                    const double v = copy[n][m].Temperature;
                    const double w =
                        FilterWeight(meth, pixCount, static_cast<int>(m - i), static_cast<int>(n - j), sigma);
                    sum += w * v;
                    total += w;
                    step += std::fabs(v - centre);
                    ++count;
                }
            if (total == 0.0)
                NoWeight();
            double t = sum / total;
            if (count < fullCount)
                t = (3.0 * centre + t) / 4.0;
            result[j][i].Temperature = t;
            result[j][i].TemperatureStep = step;
            // A stored 0 counts as unset.
            if (minSteps == 0.0)
                minSteps = step;
            if (maxSteps == 0.0)
                maxSteps = step;
            if (step < minSteps)
                minSteps = step;
            if (step > maxSteps)
                maxSteps = step;
        }
    pixs.swap(result);
    minStep = minSteps;
    maxStep = maxSteps;
}
