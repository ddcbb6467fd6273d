#include "pipeline/PictureRender.h"

#include "pipeline/Interpolation.h"
#include "pipeline/PipelineBuffers.h"
#include "pipeline/SysFun.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>
#include <stdexcept>

#include <emmintrin.h>

namespace {

// The picture grid is written whole every frame: 512 x 384 records of 56 bytes,
// 11 MB. Records are assembled in registers two at a time (112 bytes, seven
// 16-byte blocks) and written with streaming stores, which skip reading the old
// contents into the cache. Under the sanitizers plain stores are used so that
// every write stays visible to them.
static_assert(sizeof(TPixel) == 56, "TPixel layout");
static_assert(offsetof(TPixel, X) == 0 && offsetof(TPixel, Y) == 4 && offsetof(TPixel, Useable) == 8 &&
                  offsetof(TPixel, Temperature) == 16 && offsetof(TPixel, GrayValue0) == 24 &&
                  offsetof(TPixel, ColorR) == 32 && offsetof(TPixel, ColorG) == 36 &&
                  offsetof(TPixel, ColorB) == 40 && offsetof(TPixel, Color) == 44 &&
                  offsetof(TPixel, TemperatureStep) == 48,
              "TPixel layout");

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kStreamingStores = false;
#else
constexpr bool kStreamingStores = true;
#endif

template <bool Stream>
inline void Store(__m128i *p, __m128i v) {
    if constexpr (Stream)
        _mm_stream_si128(p, v);
    else
        _mm_storeu_si128(p, v);
}

// Rows 0 .. rows - 1 (an even count) of one picture column, two records (112
// bytes, seven 16-byte blocks) at a time: X, Y, Useable true (padding 0),
// Temperature, GrayValue0, ColorR, ColorG, ColorB, Color, TemperatureStep.
template <bool Stream>
void WritePairs(TPixel *dst, int x, int rows, const double *t, const double *grey, const int32_t *color,
                double step) {
    __m128i *out = reinterpret_cast<__m128i *>(dst);
    const __m128d usable = _mm_castsi128_pd(_mm_set_epi64x(0, 1));
    const __m128d steps = _mm_set1_pd(step);
    const __m128i low8 = _mm_set1_epi32(255);
    for (int j = 0; j < rows; j += 2, out += 7) {
        const __m128d tv = _mm_loadu_pd(t + j);
        const __m128d gv = _mm_loadu_pd(grey + j);
        const __m128i cv = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(color + j));
        const __m128i r = _mm_and_si128(cv, low8);
        const __m128i g = _mm_and_si128(_mm_srli_epi32(cv, 8), low8);
        const __m128i b = _mm_and_si128(_mm_srli_epi32(cv, 16), low8);
        const __m128i rg = _mm_unpacklo_epi32(r, g);   // rA gA rB gB
        const __m128i bc = _mm_unpacklo_epi32(b, cv);  // bA cA bB cB
        Store<Stream>(out + 0, _mm_set_epi32(0, 1, j, x));
        Store<Stream>(out + 1, _mm_castpd_si128(_mm_unpacklo_pd(tv, gv)));
        Store<Stream>(out + 2, _mm_unpacklo_epi64(rg, bc));
        Store<Stream>(out + 3, _mm_unpacklo_epi64(_mm_castpd_si128(steps), _mm_set_epi32(0, 0, j + 1, x)));
        Store<Stream>(out + 4, _mm_castpd_si128(_mm_shuffle_pd(usable, tv, 2)));
        Store<Stream>(out + 5, _mm_castpd_si128(_mm_shuffle_pd(gv, _mm_castsi128_pd(rg), 3)));
        Store<Stream>(out + 6, _mm_castpd_si128(_mm_shuffle_pd(_mm_castsi128_pd(bc), steps, 1)));
    }
}

// Writes rows 0 .. rows - 1 of one picture column.
void WriteColumn(TPixel *dst, int x, int rows, const double *t, const double *grey, const int32_t *color,
                 double step) {
    const int pairs = rows & ~1;
    if (kStreamingStores && reinterpret_cast<uintptr_t>(dst) % 16 == 0)
        WritePairs<true>(dst, x, pairs, t, grey, color, step);
    else
        WritePairs<false>(dst, x, pairs, t, grey, color, step);
    if (pairs < rows) {
        TPixel &p = dst[pairs];
        p.X = x;
        p.Y = pairs;
        p.Useable = true;
        p.Temperature = t[pairs];
        p.GrayValue0 = grey[pairs];
        p.Color = color[pairs];
        p.ColorR = p.Color & 255;
        p.ColorG = (p.Color >> 8) & 255;
        p.ColorB = (p.Color >> 16) & 255;
        p.TemperatureStep = step;
    }
}

// Colour words by grey value, with a 257th entry 0 for grey values that are not
// a number; all 0 when the method produces no colours.
struct TColourLookup {
    int32_t Words[257];
    explicit TColourLookup(const TColorTable &colors) {
        for (int g = 0; g < 256; ++g)
            Words[g] = colors.Produces ? colors.Words[g] : 0;
        Words[256] = 0;
    }
};

// Grey values of a column (0 at or below lower, 255 at or above upper, else the
// position in the range) and their colour words. Two rows at a time with SSE2:
// the same IEEE operations as one at a time, so the same results. The conversion
// to an integer rounds half to even (the floating-point unit's default mode); a
// grey value that is not a number converts to a negative integer and gets the
// colour 0.
void ColourColumn(const double *t, int rows, double lower, double upper, const TColourLookup &lookup,
                  double *grey, int32_t *color) {
    const __m128d vLower = _mm_set1_pd(lower);
    const __m128d vUpper = _mm_set1_pd(upper);
    const __m128d vRange = _mm_set1_pd(upper - lower);
    const __m128d v255 = _mm_set1_pd(255.0);
    alignas(16) uint32_t index[4];
    int j = 0;
    for (; j + 2 <= rows; j += 2) {
        const __m128d v = _mm_loadu_pd(t + j);
        __m128d g = _mm_mul_pd(_mm_div_pd(_mm_sub_pd(v, vLower), vRange), v255);
        const __m128d atTop = _mm_cmpge_pd(v, vUpper);
        g = _mm_or_pd(_mm_and_pd(atTop, v255), _mm_andnot_pd(atTop, g));
        g = _mm_andnot_pd(_mm_cmple_pd(v, vLower), g);  // 0.0 at or below the lower limit
        _mm_storeu_pd(grey + j, g);
        _mm_store_si128(reinterpret_cast<__m128i *>(index), _mm_cvtpd_epi32(g));
        color[j] = lookup.Words[index[0] > 256u ? 256u : index[0]];
        color[j + 1] = lookup.Words[index[1] > 256u ? 256u : index[1]];
    }
    for (; j < rows; ++j) {
        const double v = t[j];
        const double g = v <= lower ? 0.0 : (v >= upper ? 255.0 : (v - lower) / (upper - lower) * 255.0);
        grey[j] = g;
        color[j] = std::isnan(g) ? 0 : lookup.Words[static_cast<int>(RoundHalfEven(g))];
    }
}

}  // namespace

bool TPictureRenderer::Render(const TPixels &origin, const TPictureSettings &settings, TPixels &grid,
                              TBitmap24 &bmp) {
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
            fOrigin[static_cast<size_t>(c) * rows + r] = origin[c][r].Temperature;
    const int midColumns = 4 * columns;
    const int midRows = 4 * rows;
    fPass1.resize(static_cast<size_t>(midColumns) * midRows);
    EnlargeGridFlat(fOrigin.data(), columns, rows, 0, settings.PointsFirst, fPass1.data());
    if (settings.Filter) {
        const TStepRange range = FilterFlat(fPass1, midColumns, midRows, settings.FilterPixsCount,
                                            settings.FilterMethod, settings.GaussSigma, nullptr);
        minStep = range.MinStep;
        maxStep = range.MaxStep;
    }

    // Second pass (Dir 1): rows of the intermediate grid, then each picture column,
    // coloured and written into the picture grid; the bitmap receives the colours
    // of every 16 columns row by row.
    const int picColumns = 4 * midColumns;
    const int picRows = 4 * midRows;
    fRows2.resize(static_cast<size_t>(picColumns) * midRows);
    EnlargeRowsFlat(fPass1.data(), midColumns, midRows, 1, settings.PointsSecond, fRows2.data());
    fColumn.resize(static_cast<size_t>(picRows));

    if (static_cast<int>(grid.size()) != picColumns)
        grid.resize(static_cast<size_t>(picColumns));
    for (auto &column : grid)
        if (static_cast<int>(column.size()) != picRows)
            column.resize(static_cast<size_t>(picRows));

    const bool toBitmap = picColumns >= bmp.Width() && picRows >= bmp.Height();
    const int bmpColumns = toBitmap ? bmp.Width() : 0;
    const int bmpRows = toBitmap ? bmp.Height() : 0;
    uint8_t *bits = bmp.Bits();
    const size_t stride = static_cast<size_t>(bmp.BytesPerLine());

    const double lower = settings.LowerLimit;
    const double upper = settings.UpperLimit;
    // Step display mode: every new pixel's step is 0, so all get the same value.
    double stepValue = 0.0;
    if (settings.TemperatureStep) {
        const double q = (0.0 - minStep) / (maxStep - minStep);
        stepValue = std::isfinite(q) ? q : 0.0;
    }

    // Colours of a block of picture columns, copied into the bitmap row by row.
    constexpr int kBlock = 16;
    const TColourLookup lookup(settings.Colors);
    fGrey.resize(static_cast<size_t>(picRows));
    fColors.resize(static_cast<size_t>(kBlock) * picRows);
    if (settings.TemperatureStep) {
        // Grey value and colour are not computed in this mode: they stay 0.
        std::fill(fGrey.begin(), fGrey.end(), 0.0);
        std::fill(fColors.begin(), fColors.end(), 0);
    }
    for (int c0 = 0; c0 < picColumns; c0 += kBlock) {
        const int c1 = std::min(c0 + kBlock, picColumns);
        for (int c = c0; c < c1; ++c) {
            int32_t *colors = fColors.data() + static_cast<size_t>(c - c0) * picRows;
            EnlargeLine(fRows2.data() + static_cast<size_t>(c) * midRows, midRows, 1, settings.PointsSecond,
                        fColumn.data());
            if (!settings.TemperatureStep)
                ColourColumn(fColumn.data(), picRows, lower, upper, lookup, fGrey.data(), colors);
            WriteColumn(grid[c].data(), c, picRows, fColumn.data(), fGrey.data(), colors,
                        settings.TemperatureStep ? stepValue : 0.0);
        }
        const int b1 = std::min(c1, bmpColumns);
        const size_t rowBytes = 3 * static_cast<size_t>(b1 > c0 ? b1 - c0 : 0);
        for (int y = 0; y < bmpRows && rowBytes > 0; ++y) {
            uint8_t row[3 * kBlock];
            const int32_t *colors = fColors.data() + y;
            for (size_t k = 0; k < rowBytes; k += 3, colors += picRows) {
                row[k] = static_cast<uint8_t>(*colors >> 16);
                row[k + 1] = static_cast<uint8_t>(*colors >> 8);
                row[k + 2] = static_cast<uint8_t>(*colors);
            }
            uint8_t *dst = bits + static_cast<size_t>(y) * stride + 3 * static_cast<size_t>(c0);
            if (rowBytes == sizeof row)
                std::memcpy(dst, row, sizeof row);  // whole blocks: a fixed-size copy
            else
                std::memcpy(dst, row, rowBytes);
        }
    }
    if (kStreamingStores)
        _mm_sfence();  // streamed records complete before publication
    return toBitmap;
}
