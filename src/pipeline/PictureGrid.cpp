#include "pipeline/PictureGrid.h"

#include "pipeline/SysFun.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include <emmintrin.h>

namespace {

// A grid is written whole: 512 x 384 records of 56 bytes, 11 MB. Records are
// assembled in registers two at a time (112 bytes, seven 16-byte blocks) and
// written with streaming stores, which skip reading the old contents into the
// cache. Under the sanitizers plain stores are used so that every write stays
// visible to them.
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

// Rows 0 .. rows - 1 (an even count) of one grid column, two records at a time:
// X, Y, Useable true (padding 0), Temperature, GrayValue0, ColorR, ColorG, ColorB,
// Color, TemperatureStep.
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

// Writes rows 0 .. rows - 1 of one grid column.
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

inline int32_t ColorOfGray(const TColorTable &colors, double g) {
    if (!colors.Produces || std::isnan(g))
        return 0;
    return colors.Words[static_cast<int>(RoundHalfEven(g))];
}

// Grey values of a column (0 at or below lower, 255 at or above upper, else the
// position in the range) and their colour words, two rows at a time: the same
// IEEE operations as GrayValueOf, so the same results. The conversion to an
// integer rounds half to even (the floating-point unit's default mode); a grey
// value that is not a number converts to a negative integer and gets colour 0.
void ColourColumn(const double *t, int rows, double lower, double upper, const TColorTable &colors,
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
        color[j] = colors.Produces && index[0] <= 255u ? colors.Words[index[0]] : 0;
        color[j + 1] = colors.Produces && index[1] <= 255u ? colors.Words[index[1]] : 0;
    }
    for (; j < rows; ++j) {
        grey[j] = GrayValueOf(t[j], lower, upper);
        color[j] = ColorOfGray(colors, grey[j]);
    }
}

}  // namespace

double TPictureValues::Gray(int x, int y) const {
    return TemperatureStep ? 0.0 : GrayValueOf(Temperature(x, y), LowerLimit, UpperLimit);
}

int32_t TPictureValues::Color(int x, int y) const {
    return TemperatureStep ? 0 : ColorOfGray(Colors, Gray(x, y));
}

TPixel TPictureValues::Pixel(int x, int y) const {
    TPixel p;
    p.X = x;
    p.Y = y;
    p.Useable = true;
    p.Temperature = Temperature(x, y);
    p.GrayValue0 = Gray(x, y);
    p.Color = Color(x, y);
    p.ColorR = p.Color & 255;
    p.ColorG = (p.Color >> 8) & 255;
    p.ColorB = (p.Color >> 16) & 255;
    p.TemperatureStep = StepValue;
    return p;
}

void TPictureValues::FillGrid(TPixels &grid) const {
    const int columns = Width > 0 && Height > 0 ? Width : 0;
    const int rows = columns > 0 ? Height : 0;
    if (static_cast<int>(grid.size()) != columns)
        grid.resize(static_cast<size_t>(columns));
    for (auto &column : grid)
        if (static_cast<int>(column.size()) != rows)
            column.resize(static_cast<size_t>(rows));
    // Blocks of kBlock columns: their temperatures are read a row at a time (one
    // cache line), turned into columns, coloured and written column by column.
    constexpr int kBlock = 8;
    const size_t n = static_cast<size_t>(rows);
    std::vector<double> t(kBlock * n), grey(kBlock * n, 0.0);
    std::vector<int32_t> color(kBlock * n, 0);
    for (int x0 = 0; x0 < columns; x0 += kBlock) {
        const int width = std::min(kBlock, columns - x0);
        for (int y = 0; y < rows; ++y) {
            const double *row = Temps.data() + static_cast<size_t>(y) * Width + x0;
            for (int k = 0; k < width; ++k)
                t[k * n + y] = row[k];
        }
        for (int k = 0; k < width; ++k) {
            if (!TemperatureStep)
                ColourColumn(&t[k * n], rows, LowerLimit, UpperLimit, Colors, &grey[k * n], &color[k * n]);
            WriteColumn(grid[x0 + k].data(), x0 + k, rows, &t[k * n], &grey[k * n], &color[k * n], StepValue);
        }
    }
    if (kStreamingStores)
        _mm_sfence();  // streamed records complete before the grid is handed on
}

TLazyPixels::TLazyPixels(std::shared_ptr<const TPixels> grid) {
    Set(std::move(grid));
}

TLazyPixels::TLazyPixels(const TLazyPixels &other) {
    Set(other.Shared());
}

TLazyPixels &TLazyPixels::operator=(const TLazyPixels &other) {
    if (this != &other) {
        std::shared_ptr<const TPixels> grid = other.Shared();
        std::lock_guard<std::mutex> lock(fMutex);
        fValues = nullptr;
        fPool.reset();
        Set(std::move(grid));
    }
    return *this;
}

TLazyPixels &TLazyPixels::operator=(std::shared_ptr<const TPixels> grid) {
    std::lock_guard<std::mutex> lock(fMutex);
    fValues = nullptr;
    fPool.reset();
    Set(std::move(grid));
    return *this;
}

void TLazyPixels::Set(std::shared_ptr<const TPixels> grid) {
    fGrid = std::move(grid);
    fBuilt.store(fGrid.get(), std::memory_order_release);
}

void TLazyPixels::Bind(const TPictureValues *values, std::shared_ptr<TPool> pool) {
    std::lock_guard<std::mutex> lock(fMutex);
    fValues = values;
    fPool = std::move(pool);
    Set(nullptr);
}

void TLazyPixels::Drop() {
    std::shared_ptr<const TPixels> grid;  // released after the lock
    std::lock_guard<std::mutex> lock(fMutex);
    grid = std::move(fGrid);
    Set(nullptr);
}

const TPixels *TLazyPixels::get() const {
    if (const TPixels *built = fBuilt.load(std::memory_order_acquire))
        return built;
    std::lock_guard<std::mutex> lock(fMutex);
    if (!fGrid && fValues) {
        std::unique_ptr<TPixels> grid = fPool ? fPool->Take() : nullptr;
        if (!grid)
            grid = std::make_unique<TPixels>();
        fValues->FillGrid(*grid);
        if (fPool)
            fGrid = fPool->Share(std::move(grid));
        else
            fGrid = std::shared_ptr<const TPixels>(std::move(grid));
        fBuilt.store(fGrid.get(), std::memory_order_release);
    }
    return fGrid.get();
}

std::shared_ptr<const TPixels> TLazyPixels::Shared() const {
    get();
    return fGrid;
}
