#pragma once
// The picture chain computed step by step with the separate operations
// (PolynomialInterpolation, PixsFilter, PolynomialInterpolation, the picture-grid
// colouring, the bitmap copy), and bit-for-bit comparisons of what the
// per-frame chain publishes against it.

#include "pipeline/ColorMap.h"
#include "pipeline/Interpolation.h"
#include "pipeline/Lanes.h"
#include "pipeline/PictureGrid.h"
#include "pipeline/PictureRender.h"
#include "pipeline/PipelineBuffers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

// Runs `body` with the four-lane kernels (where the processor has AVX2), then
// with the two-lane ones.
template <class F>
void ForEachLaneWidth(F body) {
    for (const bool avx2 : {true, false}) {
        if (avx2 && !ProcessorHasAvx2())
            continue;
        Avx2Allowed() = avx2;
        SCOPED_TRACE(avx2 ? "four lanes (AVX2)" : "two lanes (SSE2)");
        body();
    }
    Avx2Allowed() = true;
}

inline bool SameBits(double a, double b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
}

// Every field, doubles bit for bit (so that not-a-number values compare too).
inline bool SameRecord(const TPixel &a, const TPixel &b) {
    return a.X == b.X && a.Y == b.Y && a.Useable == b.Useable && SameBits(a.Temperature, b.Temperature) &&
           SameBits(a.GrayValue0, b.GrayValue0) && a.ColorR == b.ColorR && a.ColorG == b.ColorG &&
           a.ColorB == b.ColorB && a.Color == b.Color && SameBits(a.TemperatureStep, b.TemperatureStep);
}

inline std::string Describe(const TPixel &p) {
    return "X " + std::to_string(p.X) + " Y " + std::to_string(p.Y) + " T " + std::to_string(p.Temperature) +
           " grey " + std::to_string(p.GrayValue0) + " colour " + std::to_string(p.Color) + " step " +
           std::to_string(p.TemperatureStep);
}

// The picture grid of `origin` step by step; minStep / maxStep as the filter
// leaves them. Throws where PixsFilter throws.
inline TPixels ReferencePicture(const TPixels &origin, const TPictureSettings &s) {
    TPixels mid = PolynomialInterpolation(origin, 0, s.PointsFirst);
    if (s.Filter)
        PixsFilter(mid, s.FilterPixsCount, s.FilterMethod, s.GaussSigma);
    TPixels want = PolynomialInterpolation(mid, 1, s.PointsSecond);
    for (size_t i = 0; i < want.size(); ++i)
        for (size_t j = 0; j < want[i].size(); ++j) {
            TPixel &p = want[i][j];
            p.X = static_cast<int32_t>(i);
            p.Y = static_cast<int32_t>(j);
            p.Useable = true;
            if (!s.TemperatureStep) {
                ColorPixel(p, s.LowerLimit, s.UpperLimit, s.Colors);
            } else {
                const double q = (p.TemperatureStep - minStep) / (maxStep - minStep);
                if (std::isfinite(q))
                    p.TemperatureStep = q;
            }
        }
    return want;
}

// The picture values, their accessors, the grid built from them and the bitmap
// (pixel (x, y) for x, y inside it) against the step-by-step grid.
inline void ExpectSamePicture(const TPictureValues &got, const TBitmap24 &bmp, const TPixels &want) {
    ASSERT_EQ(got.Width, static_cast<int>(want.size()));
    ASSERT_GT(got.Width, 0);
    ASSERT_EQ(got.Height, static_cast<int>(want[0].size()));
    ASSERT_EQ(got.Temps.size(), static_cast<size_t>(got.Width) * got.Height);
    TPixels grid;
    got.FillGrid(grid);
    ASSERT_EQ(grid.size(), want.size());
    for (int x = 0; x < got.Width; ++x) {
        ASSERT_EQ(grid[x].size(), want[x].size());
        for (int y = 0; y < got.Height; ++y) {
            const TPixel &w = want[x][y];
            ASSERT_TRUE(SameBits(got.Temps[static_cast<size_t>(y) * got.Width + x], w.Temperature))
                << x << " " << y << ": " << got.Temperature(x, y) << " want " << Describe(w);
            ASSERT_TRUE(SameRecord(got.Pixel(x, y), w))
                << x << " " << y << ": " << Describe(got.Pixel(x, y)) << " want " << Describe(w);
            ASSERT_TRUE(SameRecord(grid[x][y], w))
                << x << " " << y << ": " << Describe(grid[x][y]) << " want " << Describe(w);
            ASSERT_EQ(got.Color(x, y), w.Color);
            ASSERT_TRUE(SameBits(got.Gray(x, y), w.GrayValue0));
            if (x < bmp.Width() && y < bmp.Height()) {
                ASSERT_EQ(bmp.Pixel(x, y), w.ColorB << 16 | w.ColorG << 8 | w.ColorR)
                    << x << " " << y << ": " << Describe(w);
            }
        }
    }
}
