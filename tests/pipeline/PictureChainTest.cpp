// The per-frame picture chain (TPictureRenderer: flat grids, lane-wise passes and
// filter, colours straight into the bitmap) against the step-by-step chain, bit
// for bit, over the settings the window offers and the edge cases of the
// colouring; each with the four-lane and the two-lane kernels.
#include "pipeline/PictureReference.h"
#include "pipeline/SysFun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>
#include <vector>

namespace {

// A sensor grid with structure at every scale: a gradient, a hot spot and
// pixel-to-pixel noise, 13 .. 45 degrees.
TPixels Scene(int columns, int rows) {
    TPixels g = MakePixels(columns, rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r) {
            const double dx = c - columns / 3.0, dy = r - rows / 2.0;
            g[c][r].Temperature = 20.0 + 0.3 * r + 18.0 * std::exp(-(dx * dx + dy * dy) / 6.0) +
                                  4.0 * std::sin(c * 1.7 + r * 2.3);
        }
    return g;
}

TPictureSettings Settings(TInterMethod first, TInterMethod second, TColorScheme scheme = {}) {
    TPictureSettings s;
    s.PointsFirst = InterMethodPoints(first);
    s.PointsSecond = InterMethodPoints(second);
    s.LowerLimit = 15.0;
    s.UpperLimit = 40.0;
    s.Colors = BuildColorTable(scheme);
    return s;
}

TColorScheme Palette(TGrayColor_SubMeth palette) {
    TColorScheme scheme;
    scheme.Method = CM_GrayColor;
    scheme.Palette = palette;
    return scheme;
}

// Renders `origin` both ways and compares everything; a filter that cannot run
// must fail both ways, leaving the picture and the bitmap alone.
void ExpectChainMatches(const TPixels &origin, const TPictureSettings &s, const std::string &what) {
    SCOPED_TRACE(what);
    const int width = 16 * static_cast<int>(origin.size());
    const int height = 16 * static_cast<int>(origin[0].size());
    ForEachLaneWidth([&] {
        TPictureRenderer renderer;
        TPictureValues got;
        TBitmap24 bmp(width, height);
        bmp.Fill(0x00123456);
        minStep = 0.25;
        maxStep = 8.0;
        bool failed = false;
        try {
            ASSERT_TRUE(renderer.Render(origin, s, got, bmp));
        } catch (const std::domain_error &) {
            failed = true;
        }
        const double gotMin = minStep, gotMax = maxStep;
        minStep = 0.25;
        maxStep = 8.0;
        if (failed) {
            EXPECT_THROW(ReferencePicture(origin, s), std::domain_error);
            EXPECT_TRUE(got.Empty());
            EXPECT_EQ(bmp.Pixel(7, 7), 0x00123456);
            EXPECT_EQ(gotMin, 0.25);
            return;
        }
        const TPixels want = ReferencePicture(origin, s);
        EXPECT_TRUE(SameBits(gotMin, minStep));
        EXPECT_TRUE(SameBits(gotMax, maxStep));
        ExpectSamePicture(got, bmp, want);
    });
}

TEST(PictureChain, EveryInterpolationPair) {
    const TPixels origin = Scene(9, 7);
    for (const TInterMethod first : {IM_Poly1, IM_Poly2, IM_Poly3})
        for (const TInterMethod second : {IM_Poly1, IM_Poly2, IM_Poly3})
            ExpectChainMatches(origin, Settings(first, second, Palette(GCM_Pseudo2)),
                               "methods " + std::to_string(first) + " " + std::to_string(second));
}

TEST(PictureChain, FullSizeStartUpAndHeavySettings) {
    const TPixels origin = Scene(32, 24);
    ExpectChainMatches(origin, Settings(IM_Poly1, IM_Poly1, Palette(GCM_Pseudo2)), "start-up");
    TColorScheme continuous;
    continuous.Method = CM_ContinuColor;
    continuous.ClassNum = 2;
    TPictureSettings heavy = Settings(IM_Poly3, IM_Poly3, continuous);
    heavy.Filter = true;
    heavy.FilterMethod = 2;
    heavy.FilterPixsCount = 9;
    ExpectChainMatches(origin, heavy, "heavy");
}

// Every method, odd and even sides, 0 and 1, a side larger than the grid, and
// grid widths whose full-width windows leave remainders after whole vectors.
TEST(PictureChain, FilterMethodsSidesAndSigmas) {
    for (const auto &[columns, rows] : {std::pair{9, 7}, std::pair{13, 5}}) {
        const TPixels origin = Scene(columns, rows);
        for (const int meth : {0, 1, 2, -1})
            for (const int side : {0, 1, 2, 3, 4, 5, 9, 200})
                for (const double sigma : {1.5, 0.7}) {
                    if (meth != 2 && sigma != 1.5)
                        continue;
                    TPictureSettings s = Settings(IM_Poly3, IM_Poly2, Palette(GCM_Rainbow1));
                    s.Filter = true;
                    s.FilterMethod = meth;
                    s.FilterPixsCount = side;
                    s.GaussSigma = sigma;
                    ExpectChainMatches(origin, s,
                                       std::to_string(columns) + " x " + std::to_string(rows) + " method " +
                                           std::to_string(meth) + " side " + std::to_string(side) +
                                           " sigma " + std::to_string(sigma));
                }
    }
}

TEST(PictureChain, FilterThatCannotRunFailsBothWays) {
    const TPixels origin = Scene(9, 7);
    TPictureSettings s = Settings(IM_Poly2, IM_Poly1, Palette(GCM_Gray));
    s.Filter = true;
    for (const auto &[meth, side, sigma] : {std::tuple{1, 0, 1.5}, std::tuple{2, 3, 0.0},
                                            std::tuple{2, 5, std::nan("")}, std::tuple{0, -3, 1.5}}) {
        s.FilterMethod = meth;
        s.FilterPixsCount = side;
        s.GaussSigma = sigma;
        ExpectChainMatches(origin, s, "method " + std::to_string(meth) + " side " + std::to_string(side));
    }
}

TEST(PictureChain, EveryPaletteAndContinuousColouring) {
    const TPixels origin = Scene(9, 7);
    for (int p = GCM_Pseudo1; p <= GCM_Gray; ++p)
        ExpectChainMatches(origin, Settings(IM_Poly2, IM_Poly3, Palette(static_cast<TGrayColor_SubMeth>(p))),
                           "palette " + std::to_string(p));
    for (const int classNum : {1, 2, 3})
        for (const TContinuColor_K k : {CCK_1_5, CCK_1_0, CCK_0_1}) {
            TColorScheme scheme;
            scheme.Method = CM_ContinuColor;
            scheme.Coefficient = k;
            scheme.ClassNum = classNum;
            ExpectChainMatches(origin, Settings(IM_Poly1, IM_Poly2, scheme),
                               "continuous " + std::to_string(classNum) + " k " + std::to_string(k));
        }
    // Methods without colours: grey values, colour word 0, a black bitmap.
    for (const TTempToColorConverMeth method : {CM_DenLayer, CM_PixConver, CM_CompColor}) {
        TColorScheme scheme;
        scheme.Method = method;
        ExpectChainMatches(origin, Settings(IM_Poly1, IM_Poly1, scheme), "method " + std::to_string(method));
    }
}

TEST(PictureChain, StepDisplayMode) {
    const TPixels origin = Scene(9, 7);
    TPictureSettings s = Settings(IM_Poly3, IM_Poly1, Palette(GCM_Metal1));
    s.TemperatureStep = true;
    ExpectChainMatches(origin, s, "without filter");  // the earlier range
    s.Filter = true;
    s.FilterPixsCount = 5;
    ExpectChainMatches(origin, s, "after the filter");
}

// The smallest temperature whose grey value rounds to at least k (1 <= k <= 255)
// inside lower .. upper, found by halving between neighbouring doubles.
double Threshold(int k, double lower, double upper) {
    auto index = [&](double v) { return static_cast<int>(RoundHalfEven(GrayValueOf(v, lower, upper))); };
    double lo = lower, hi = upper;  // index(lo) < k <= index(hi)
    for (;;) {
        const double mid = lo + (hi - lo) / 2.0;
        if (mid <= lo || mid >= hi)
            return hi;
        (index(mid) >= k ? hi : lo) = mid;
    }
}

// Temperatures on both sides of every rounding boundary of the grey value, a
// hair (1e-8 grey levels) away from them, at the limits and beyond, not a number
// and infinite: the sensor samples reach their picture pixels unchanged with the
// filter off, so each is coloured as it is.
TEST(PictureChain, ColoursAtEveryRoundingBoundaryAndOddValues) {
    const double limits[][2] = {{20.0, 40.0}, {0.0, 35.0}, {-17.3, 62.9}, {0.1, 0.1 + 1e-9}, {-250.0, 1e6}};
    for (const auto &[lower, upper] : limits) {
        std::vector<double> values;
        for (int k = 1; k <= 255; ++k) {
            const double t = Threshold(k, lower, upper);
            const double hair = 1e-8 * (upper - lower) / 255.0;
            for (const double v : {t, std::nextafter(t, -1e300), t + hair, t - hair})
                values.push_back(v);
        }
        const double inf = std::numeric_limits<double>::infinity();
        for (const double v : {lower, upper, std::nextafter(lower, inf), std::nextafter(upper, -inf),
                               lower - 1.0, upper + 1e300, -1e300, inf, -inf, std::nan("")})
            values.push_back(v);
        // 32 x 24 samples, 768 > 1030 values: spread over several grids.
        for (size_t first = 0; first < values.size(); first += 768) {
            TPixels origin = MakePixels(32, 24);
            for (size_t k = 0; k < 768; ++k)
                origin[k % 32][k / 32].Temperature = values[(first + k) % values.size()];
            TPictureSettings s = Settings(IM_Poly1, IM_Poly1, Palette(GCM_Rainbow3));
            s.LowerLimit = lower;
            s.UpperLimit = upper;
            ExpectChainMatches(origin, s, "limits " + std::to_string(lower) + " " + std::to_string(upper));
        }
    }
}

// Limits where the division-free estimate is not used: equal, swapped, infinite.
TEST(PictureChain, OddColourRanges) {
    const TPixels origin = Scene(9, 7);
    const double inf = std::numeric_limits<double>::infinity();
    const double limits[][2] = {{25.0, 25.0}, {40.0, 20.0}, {-inf, 30.0}, {20.0, inf}, {-1e308, 1e308}};
    for (const auto &[lower, upper] : limits) {
        TPictureSettings s = Settings(IM_Poly2, IM_Poly2, Palette(GCM_Toral));
        s.LowerLimit = lower;
        s.UpperLimit = upper;
        ExpectChainMatches(origin, s, "limits " + std::to_string(lower) + " " + std::to_string(upper));
    }
}

}  // namespace
