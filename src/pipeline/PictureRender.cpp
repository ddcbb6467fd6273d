#include "pipeline/PictureRender.h"

#include "pipeline/Lanes.h"
#include "pipeline/PipelineBuffers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <limits>
#include <stdexcept>

#include <immintrin.h>

namespace {

// Bitmap bytes (blue, green, red, then a 0) of every grey index as one
// little-endian word; index 256 stands for grey values that are not a number and
// gives black.
struct TBgrLookup {
    uint32_t Words[257];
    explicit TBgrLookup(const TColorTable &colors) {
        for (int g = 0; g < 256; ++g) {
            const uint32_t w = colors.Produces ? static_cast<uint32_t>(colors.Words[g]) : 0u;
            Words[g] = (w >> 16 & 255u) | (w & 0xFF00u) | (w & 255u) << 16;
        }
        Words[256] = 0;
    }
};

// The colours of t[0..n-1] into n bitmap pixels. A pixel's colour is that of
// grey index rnd(g), g the grey value as GrayValueOf gives it:
//   g = 0 for t <= lower, 255 for t >= upper, else (t - lower) / range * 255,
// rnd rounding half to even (the floating-point unit's default mode, which the
// conversions to an integer use); a g that is not a number gives index 256,
// black.
//
// The division is the costly part, and only the rounded index is needed here (the
// grey value itself is recomputed exactly when a pixel record is built). So g is
// first estimated without it, as f = (t - lower) * (255 / range) clamped to
// 0 .. 255. Both g and f are t - lower times 255 / range with at most four
// roundings of relative size 2^-53 each, so they differ by less than
// 255 * 8 * 2^-53 < 2.3e-13 (the clamps only move f to a bound that g reaches
// too or rounds to). Rounding f therefore gives rnd(g) unless f lies within
// that distance of a half-integer; where f lies within kNearHalf of one, or is
// not a number, the four pixels are computed the exact way instead. Outside the
// range (t <= lower, t >= upper) f is exactly 0 or 255, like g. The estimate is
// used only when the limits are finite and 255 / range is a normal number.
constexpr double kNearHalf = 1e-9;
// x + kMagic leaves rnd(x) in the low bits of the sum, for 0 <= x < 2^51.
constexpr double kMagic = 6755399441055744.0;  // 1.5 * 2^52

struct TColourRange {
    double Lower, Upper, Range, Scale;
    bool Estimate;
    TColourRange(double lower, double upper)
        : Lower(lower), Upper(upper), Range(upper - lower), Scale(255.0 / (upper - lower)),
          Estimate(std::isfinite(lower) && std::isfinite(upper) && Range > 0.0 && std::isfinite(Scale) &&
                   Scale >= std::numeric_limits<double>::min()) {}
};

// The exact index of one temperature, 0 .. 256.
inline uint32_t ExactIndex(double v, const TColourRange &r) {
    const double g = v <= r.Lower ? 0.0 : (v >= r.Upper ? 255.0 : (v - r.Lower) / r.Range * 255.0);
    return std::isnan(g) ? 256u : static_cast<uint32_t>(_mm_cvtsd_si32(_mm_set_sd(g)));
}

// The exact indices of two temperatures (two 32-bit lanes).
inline __m128i ExactIndices(__m128d v, const TColourRange &r) {
    const __m128d v255 = _mm_set1_pd(255.0);
    __m128d g = _mm_mul_pd(_mm_div_pd(_mm_sub_pd(v, _mm_set1_pd(r.Lower)), _mm_set1_pd(r.Range)), v255);
    const __m128d atTop = _mm_cmpge_pd(v, _mm_set1_pd(r.Upper));
    g = _mm_or_pd(_mm_and_pd(atTop, v255), _mm_andnot_pd(atTop, g));
    g = _mm_andnot_pd(_mm_cmple_pd(v, _mm_set1_pd(r.Lower)), g);  // 0.0 at or below the lower limit
    const __m128d nan = _mm_cmpunord_pd(g, g);
    g = _mm_or_pd(_mm_and_pd(nan, _mm_set1_pd(256.0)), _mm_andnot_pd(nan, g));
    return _mm_cvtpd_epi32(g);
}

// Four pixels from four indices (32-bit lanes, each 0 .. 256): four bytes each,
// the fourth overwritten by the next pixel.
inline void StoreFour(__m128i indices, const TBgrLookup &lookup, uint8_t *p) {
    const uint64_t lo = static_cast<uint64_t>(_mm_cvtsi128_si64(indices));
    const uint64_t hi = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(indices, indices)));
    const uint32_t w0 = lookup.Words[static_cast<uint32_t>(lo)];
    const uint32_t w1 = lookup.Words[lo >> 32];
    const uint32_t w2 = lookup.Words[static_cast<uint32_t>(hi)];
    const uint32_t w3 = lookup.Words[hi >> 32];
    std::memcpy(p, &w0, 4);
    std::memcpy(p + 3, &w1, 4);
    std::memcpy(p + 6, &w2, 4);
    std::memcpy(p + 9, &w3, 4);
}

// Pixels x .. n - 1 one at a time, exactly; the last pixel of the row as three bytes.
inline void ColourTail(const double *t, int x, int n, const TColourRange &r, const TBgrLookup &lookup,
                       uint8_t *dst) {
    for (; x < n; ++x) {
        const uint32_t w = lookup.Words[ExactIndex(t[x], r)];
        std::memcpy(dst + 3 * static_cast<size_t>(x), &w, x + 1 < n ? 4 : 3);
    }
}

void ColourRowSse2(const double *t, int n, const TColourRange &r, const TBgrLookup &lookup, uint8_t *dst) {
    const __m128d lower = _mm_set1_pd(r.Lower);
    const __m128d scale = _mm_set1_pd(r.Scale);
    const __m128d zero = _mm_setzero_pd();
    const __m128d v255 = _mm_set1_pd(255.0);
    const __m128d magic = _mm_set1_pd(kMagic);
    const __m128d signBit = _mm_set1_pd(-0.0);
    const __m128d nearHalf = _mm_set1_pd(0.5 - kNearHalf);
    int x = 0;
    for (; x + 5 <= n; x += 4) {  // pixels x .. x + 3, none of them the last
        const __m128d v0 = _mm_loadu_pd(t + x);
        const __m128d v1 = _mm_loadu_pd(t + x + 2);
        __m128i indices;
        bool exact = !r.Estimate;
        if (r.Estimate) {
            // max(0, f) and min(255, f) keep a not-a-number f (the second operand).
            const __m128d f0 = _mm_min_pd(v255, _mm_max_pd(zero, _mm_mul_pd(_mm_sub_pd(v0, lower), scale)));
            const __m128d f1 = _mm_min_pd(v255, _mm_max_pd(zero, _mm_mul_pd(_mm_sub_pd(v1, lower), scale)));
            const __m128d y0 = _mm_add_pd(f0, magic);
            const __m128d y1 = _mm_add_pd(f1, magic);
            const __m128d off0 = _mm_andnot_pd(signBit, _mm_sub_pd(f0, _mm_sub_pd(y0, magic)));
            const __m128d off1 = _mm_andnot_pd(signBit, _mm_sub_pd(f1, _mm_sub_pd(y1, magic)));
            // "not at most": also true for a distance that is not a number.
            exact =
                _mm_movemask_pd(_mm_or_pd(_mm_cmpnle_pd(off0, nearHalf), _mm_cmpnle_pd(off1, nearHalf))) != 0;
            indices = _mm_castps_si128(
                _mm_shuffle_ps(_mm_castpd_ps(y0), _mm_castpd_ps(y1), _MM_SHUFFLE(2, 0, 2, 0)));
        }
        if (exact)
            indices = _mm_unpacklo_epi64(ExactIndices(v0, r), ExactIndices(v1, r));
        StoreFour(indices, lookup, dst + 3 * static_cast<size_t>(x));
    }
    ColourTail(t, x, n, r, lookup, dst);
}

// The same four pixels at a time in one AVX register.
KORVALE_AVX2 void ColourRowAvx2(const double *t, int n, const TColourRange &r, const TBgrLookup &lookup,
                                uint8_t *dst) {
    const __m256d lower = _mm256_set1_pd(r.Lower);
    const __m256d scale = _mm256_set1_pd(r.Scale);
    const __m256d zero = _mm256_setzero_pd();
    const __m256d v255 = _mm256_set1_pd(255.0);
    const __m256d magic = _mm256_set1_pd(kMagic);
    const __m256d signBit = _mm256_set1_pd(-0.0);
    const __m256d nearHalf = _mm256_set1_pd(0.5 - kNearHalf);
    const __m256i lowHalves = _mm256_setr_epi32(0, 2, 4, 6, 0, 2, 4, 6);
    int x = 0;
    for (; x + 5 <= n; x += 4) {
        const __m256d v = _mm256_loadu_pd(t + x);
        __m128i indices;
        bool exact = !r.Estimate;
        if (r.Estimate) {
            const __m256d f =
                _mm256_min_pd(v255, _mm256_max_pd(zero, _mm256_mul_pd(_mm256_sub_pd(v, lower), scale)));
            const __m256d y = _mm256_add_pd(f, magic);
            const __m256d off = _mm256_andnot_pd(signBit, _mm256_sub_pd(f, _mm256_sub_pd(y, magic)));
            exact = _mm256_movemask_pd(_mm256_cmp_pd(off, nearHalf, _CMP_NLE_UQ)) != 0;
            indices = _mm256_castsi256_si128(_mm256_permutevar8x32_epi32(_mm256_castpd_si256(y), lowHalves));
        }
        if (exact)
            indices = _mm_unpacklo_epi64(ExactIndices(_mm256_castpd256_pd128(v), r),
                                         ExactIndices(_mm256_extractf128_pd(v, 1), r));
        StoreFour(indices, lookup, dst + 3 * static_cast<size_t>(x));
    }
    ColourTail(t, x, n, r, lookup, dst);
}

// Colours the bitmap rows of the picture as the second pass finishes them.
class TBitmapRows final : public TRowSink {
public:
    TBitmapRows(const TPictureValues &picture, TBitmap24 &bmp)
        : fPicture(picture), fBmp(bmp), fLookup(picture.Colors),
          fRange(picture.LowerLimit, picture.UpperLimit),
          fBlack(picture.TemperatureStep || !picture.Colors.Produces), fAvx2(HaveAvx2()) {}

    void RowsDone(int first, int last) override {
        const int end = std::min(last, fBmp.Height() - 1);
        const int width = fBmp.Width();
        for (int y = first; y <= end; ++y) {
            uint8_t *row = fBmp.ScanLine(y);
            if (fBlack) {
                std::memset(row, 0, 3 * static_cast<size_t>(width));  // no colours given: colour word 0
            } else {
                const double *t = fPicture.Temps.data() + static_cast<size_t>(y) * fPicture.Width;
                if (fAvx2)
                    ColourRowAvx2(t, width, fRange, fLookup, row);
                else
                    ColourRowSse2(t, width, fRange, fLookup, row);
            }
        }
    }

private:
    const TPictureValues &fPicture;
    TBitmap24 &fBmp;
    const TBgrLookup fLookup;
    const TColourRange fRange;
    const bool fBlack;
    const bool fAvx2;
};

}  // namespace

bool TPictureRenderer::Render(const TPixels &origin, const TPictureSettings &settings,
                              TPictureValues &picture, TBitmap24 &bmp) {
    const int columns = static_cast<int>(origin.size());
    const int rows = columns > 0 ? static_cast<int>(origin[0].size()) : 0;
    if (columns < 2 || rows < 2)
        throw std::invalid_argument("Picture: the sensor grid needs at least 2 x 2 pixels");
    for (const auto &column : origin)
        if (static_cast<int>(column.size()) != rows)
            throw std::invalid_argument("Picture: sensor grid columns of different length");

    // First pass (Dir 0) into the intermediate grid, then the optional filter.
    fOrigin.resize(static_cast<size_t>(columns) * rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            fOrigin[static_cast<size_t>(r) * columns + c] = origin[c][r].Temperature;
    const int midColumns = 4 * columns;
    const int midRows = 4 * rows;
    fMid.resize(static_cast<size_t>(midColumns) * midRows);
    EnlargeGridFlat(fOrigin.data(), columns, rows, 0, settings.PointsFirst, fMid.data(), fWork);
    const double *mid = fMid.data();
    if (settings.Filter) {
        fFiltered.resize(fMid.size());
        const TStepRange range =
            fFilter.Run(mid, midColumns, midRows, settings.FilterPixsCount, settings.FilterMethod,
                        settings.GaussSigma, fFiltered.data(), nullptr);
        minStep = range.MinStep;
        maxStep = range.MaxStep;
        mid = fFiltered.data();
    }

    // Second pass (Dir 1): the rows of the intermediate grid, then all picture
    // columns at once, row by row; each finished band of rows is coloured into the
    // bitmap while it is still in the cache.
    const int picColumns = 4 * midColumns;
    const int picRows = 4 * midRows;
    picture.Width = picColumns;
    picture.Height = picRows;
    picture.Temps.resize(static_cast<size_t>(picColumns) * picRows);
    picture.LowerLimit = settings.LowerLimit;
    picture.UpperLimit = settings.UpperLimit;
    picture.Colors = settings.Colors;
    picture.TemperatureStep = settings.TemperatureStep;
    picture.StepValue = 0.0;
    if (settings.TemperatureStep) {
        // Every new pixel's step is 0, so all get the same value.
        const double q = (0.0 - minStep) / (maxStep - minStep);
        picture.StepValue = std::isfinite(q) ? q : 0.0;
    }

    fWork.resize(static_cast<size_t>(picColumns) * midRows);
    EnlargeRowsFlat(mid, midColumns, midRows, 1, settings.PointsSecond, fWork.data());
    const bool toBitmap = picColumns >= bmp.Width() && picRows >= bmp.Height();
    TBitmapRows bitmapRows(picture, bmp);
    EnlargeColumnsFlat(fWork.data(), picColumns, midRows, 1, settings.PointsSecond, picture.Temps.data(),
                       toBitmap ? &bitmapRows : nullptr);
    return toBitmap;
}

bool TPictureRenderer::Render(const TPixels &origin, const TPictureSettings &settings, TPixels &grid,
                              TBitmap24 &bmp) {
    const bool toBitmap = Render(origin, settings, fValues, bmp);
    fValues.FillGrid(grid);
    return toBitmap;
}
