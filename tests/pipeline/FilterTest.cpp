// The smoothing filter between the two interpolation passes.
#include "pipeline/Interpolation.h"
#include "pipeline/PictureReference.h"
#include "pipeline/PipelineBuffers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <stdexcept>

namespace {

// rows x columns grid from a row-major list of values.
TPixels Grid(int columns, int rows, const std::vector<double> &rowMajor) {
    TPixels g = MakePixels(columns, rows);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            g[c][r].Temperature = rowMajor[r * columns + c];
    return g;
}

TPixels Impulse(int columns, int rows, int col, int row) {
    TPixels g = MakePixels(columns, rows);
    g[col][row].Temperature = 1.0;
    return g;
}

// The filter written out sample by sample, weights computed where they are used.
TPixels ReferenceFilter(const TPixels &in, int pixCount, int meth, double sigma) {
    const int C = static_cast<int>(in.size());
    const int R = static_cast<int>(in[0].size());
    TPixels out = in;
    const int h = (pixCount - 1) / 2;
    for (int i = 0; i < R; ++i)
        for (int j = 0; j < C; ++j) {
            int f = i - h, l = i + h;
            if (f < 0) {
                f = 0;
                l = std::min(2 * i, R - 1);
            }
            if (l > R - 1) {
                l = R - 1;
                f = std::max(2 * i - (R - 1), 0);
            }
            int fc = j - h, lc = j + h;
            if (fc < 0) {
                fc = 0;
                lc = std::min(2 * j, C - 1);
            }
            if (lc > C - 1) {
                lc = C - 1;
                fc = std::max(2 * j - (C - 1), 0);
            }
            const double centre = in[j][i].Temperature;
            double sum = 0, total = 0, step = 0;
            int count = 0;
            for (int m = f; m <= l; ++m)
                for (int n = fc; n <= lc; ++n) {
                    double w = 1.0;
                    if (meth == 1)
                        w = pixCount - std::abs((m + n) - (i + j));
                    if (meth == 2)
                        w = std::pow(2.71828183, -static_cast<double>((n - j) * (n - j) + (m - i) * (m - i)) /
                                                     2.0 / (sigma * sigma)) /
                            6.28318 / (sigma * sigma);
                    const double v = in[n][m].Temperature;
                    sum += w * v;
                    total += w;
                    step += std::fabs(v - centre);
                    ++count;
                }
            double t = sum / total;
            if (count < pixCount * pixCount)
                t = (3 * centre + t) / 4;
            out[j][i].Temperature = t;
            out[j][i].TemperatureStep = step;
        }
    return out;
}

TEST(Filter, PlainAverageWithEdgeBlends) {
    const std::vector<double> v = {1, 2,  3,  4,  //
                                   5, 6,  7,  8,  //
                                   9, 10, 11, 12};
    TPixels g = Grid(4, 3, v);
    PixsFilter(g, 3, 0, 1.5);
    // Interior pixel (row 1, column 1): mean of its 3 x 3 neighbourhood.
    EXPECT_DOUBLE_EQ(g[1][1].Temperature, (1 + 2 + 3 + 5 + 6 + 7 + 9 + 10 + 11) / 9.0);
    // Corners: a 1 x 1 window, then the edge blend (3v + v) / 4: unchanged.
    EXPECT_DOUBLE_EQ(g[0][0].Temperature, 1.0);
    EXPECT_DOUBLE_EQ(g[3][2].Temperature, 12.0);
    // Top edge, not a corner: a 1 x 3 window, then blended with the centre.
    EXPECT_DOUBLE_EQ(g[1][0].Temperature, (3 * 2 + (1 + 2 + 3) / 3.0) / 4);
    // Left edge, row 1: a 3 x 1 window.
    EXPECT_DOUBLE_EQ(g[0][1].Temperature, (3 * 5 + (1 + 5 + 9) / 3.0) / 4);
    // Step sums: |v - centre| over the window.
    EXPECT_DOUBLE_EQ(g[1][1].TemperatureStep, 5 + 4 + 3 + 1 + 0 + 1 + 3 + 4 + 5);
    EXPECT_DOUBLE_EQ(g[0][0].TemperatureStep, 0.0);
}

TEST(Filter, EvenSideUsesTheOddWindowBelowAndAlwaysBlends) {
    const std::vector<double> v = {1, 2,  3,  4,  //
                                   5, 6,  7,  8,  //
                                   9, 10, 11, 12};
    TPixels g = Grid(4, 3, v);
    PixsFilter(g, 4, 0, 1.5);
    const double mean = (1 + 2 + 3 + 5 + 6 + 7 + 9 + 10 + 11) / 9.0;
    EXPECT_DOUBLE_EQ(g[1][1].Temperature, (3 * 6 + mean) / 4);  // 9 < 16 samples
}

TEST(Filter, GaussianWeightsForSigmaOnePointFive) {
    TPixels g = Impulse(7, 7, 3, 3);
    PixsFilter(g, 3, 2, 1.5);
    const double centre = g[3][3].Temperature;
    ASSERT_GT(centre, 0.0);
    EXPECT_NEAR(g[4][3].Temperature / centre, std::exp(-1 / 4.5), 1e-7);
    EXPECT_NEAR(g[3][2].Temperature / centre, 0.8007, 1e-4);
    EXPECT_NEAR(g[4][4].Temperature / centre, 0.6412, 1e-4);
    // The centre value is its weight share of the whole window.
    const double e1 = std::exp(-1 / 4.5), e2 = std::exp(-2 / 4.5);
    EXPECT_NEAR(centre, 1.0 / (1 + 4 * e1 + 4 * e2), 1e-7);
}

TEST(Filter, WeightedAverageWeighsAntiDiagonals) {
    // Side 3: weight 3 - |dm + dn|; a full window weighs 1 + 4 + 9 + 4 + 1 = 19.
    TPixels g = Impulse(7, 7, 3, 3);
    PixsFilter(g, 3, 1, 1.5);
    EXPECT_DOUBLE_EQ(g[3][3].Temperature, 3.0 / 19);
    EXPECT_DOUBLE_EQ(g[4][2].Temperature, 3.0 / 19);  // impulse on the anti-diagonal
    EXPECT_DOUBLE_EQ(g[2][2].Temperature, 1.0 / 19);  // impulse one step down-right
    EXPECT_DOUBLE_EQ(g[3][2].Temperature, 2.0 / 19);
}

TEST(Filter, UnknownMethodIsThePlainAverage) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> dist(0.0, 50.0);
    TPixels a = MakePixels(12, 9);
    for (auto &column : a)
        for (TPixel &px : column)
            px.Temperature = dist(rng);
    TPixels b = a;
    PixsFilter(a, 5, -1, 1.5);
    PixsFilter(b, 5, 0, 1.5);
    EXPECT_EQ(a, b);
}

TEST(Filter, ConstantGridStaysConstant) {
    for (int meth = 0; meth <= 2; ++meth)
        for (int side : {1, 3, 4, 9}) {
            TPixels g = MakePixels(16, 12);
            for (auto &column : g)
                for (TPixel &px : column)
                    px.Temperature = 27.3;
            PixsFilter(g, side, meth, 1.5);
            for (const auto &column : g)
                for (const TPixel &px : column)
                    ASSERT_NEAR(px.Temperature, 27.3, 1e-12);
        }
}

TEST(Filter, MatchesTheSampleBySampleDefinition) {
    std::mt19937 rng(9);
    std::uniform_real_distribution<double> dist(-20.0, 80.0);
    TPixels in = MakePixels(16, 12);
    for (auto &column : in)
        for (TPixel &px : column)
            px.Temperature = dist(rng);
    for (int meth = 0; meth <= 2; ++meth)
        for (int side : {2, 3, 4, 5, 9})
            for (double sigma : {1.5, 0.7}) {
                TPixels got = in;
                PixsFilter(got, side, meth, sigma);
                const TPixels want = ReferenceFilter(in, side, meth, sigma);
                for (int c = 0; c < 16; ++c)
                    for (int r = 0; r < 12; ++r) {
                        ASSERT_EQ(got[c][r].Temperature, want[c][r].Temperature)
                            << meth << " " << side << " " << sigma << " " << c << " " << r;
                        ASSERT_EQ(got[c][r].TemperatureStep, want[c][r].TemperatureStep);
                    }
            }
}

TEST(Filter, StepRangeIsResetAndZeroCountsAsUnset) {
    minStep = 7.0;
    maxStep = 99.0;
    // One row 0 1 1 1 0: step sums 0, 1, 0, 1, 0 (end windows are 1 x 1).
    TPixels g = Grid(5, 1, {0, 1, 1, 1, 0});
    PixsFilter(g, 3, 0, 1.5);
    EXPECT_EQ(g[1][0].TemperatureStep, 1.0);
    EXPECT_EQ(g[2][0].TemperatureStep, 0.0);
    EXPECT_EQ(minStep, 0.0);
    EXPECT_EQ(maxStep, 1.0);
    // A run where every step is positive keeps the real minimum.
    TPixels h = Grid(3, 1, {0, 5, 0});
    PixsFilter(h, 3, 0, 1.5);  // steps 0, 10, 0
    EXPECT_EQ(maxStep, 10.0);
}

TEST(Filter, HugeSideCoversTheGridWithoutOverflow) {
    std::mt19937 rng(1);
    std::uniform_real_distribution<double> dist(0.0, 10.0);
    TPixels a = MakePixels(4, 3);
    for (auto &column : a)
        for (TPixel &px : column)
            px.Temperature = dist(rng);
    TPixels b = a;
    // 1000001^2 does not fit in 32 bits; the windows are those of side 9 here, and
    // every pixel is blended because the window holds fewer than side^2 samples.
    PixsFilter(a, 1000001, 0, 1.5);
    PixsFilter(b, 9, 0, 1.5);
    EXPECT_EQ(a, b);
}

TEST(Filter, UnusableSettingsFailWithoutChangingTheGrid) {
    TPixels g = Impulse(6, 5, 2, 2);
    const TPixels before = g;
    minStep = 3.0;
    maxStep = 4.0;
    EXPECT_THROW(PixsFilter(g, 0, 1, 1.5), std::domain_error);  // all weights 0
    EXPECT_THROW(PixsFilter(g, 3, 2, 0.0), std::domain_error);  // sigma 0
    EXPECT_THROW(PixsFilter(g, 3, 2, std::nan("")), std::domain_error);
    EXPECT_THROW(PixsFilter(g, -3, 0, 1.5), std::domain_error);  // empty windows
    EXPECT_EQ(g, before);
    EXPECT_EQ(minStep, 3.0);
    EXPECT_EQ(maxStep, 4.0);
    // Side 0 with the plain average: 1 x 1 windows, nothing blended, nothing changes.
    PixsFilter(g, 0, 0, 1.5);
    for (int c = 0; c < 6; ++c)
        for (int r = 0; r < 5; ++r)
            EXPECT_EQ(g[c][r].Temperature, before[c][r].Temperature);
    // A negative sigma weighs like its absolute value.
    TPixels p = Impulse(7, 7, 3, 3), q = p;
    PixsFilter(p, 3, 2, -1.5);
    PixsFilter(q, 3, 2, 1.5);
    EXPECT_EQ(p, q);
}

// The per-frame filter on flat grids (rows of pixels filtered several at a time)
// against PixsFilter: grids whose full-width windows end in every kind of
// remainder after whole vectors, every method, odd and even sides.
TEST(Filter, FlatFormMatchesPixsFilterBitForBit) {
    std::mt19937 rng(5);
    std::uniform_real_distribution<double> dist(-20.0, 80.0);
    ForEachLaneWidth([&] {
        TGridFilter filter;
        for (const auto &[columns, rows] :
             {std::pair{53, 19}, std::pair{128, 96}, std::pair{23, 40}, std::pair{7, 3}})
            for (int meth = -1; meth <= 2; ++meth)
                for (const int side : {1, 2, 3, 4, 7, 9, 16}) {
                    if (columns == 128 && side != 9)
                        continue;
                    TPixels grid = MakePixels(columns, rows);
                    std::vector<double> flat(static_cast<size_t>(columns) * rows);
                    for (int r = 0; r < rows; ++r)
                        for (int c = 0; c < columns; ++c)
                            flat[r * columns + c] = grid[c][r].Temperature = dist(rng);
                    std::vector<double> out(flat.size()), steps(flat.size());
                    const TStepRange range =
                        filter.Run(flat.data(), columns, rows, side, meth, 1.5, out.data(), steps.data());
                    PixsFilter(grid, side, meth, 1.5);
                    for (int r = 0; r < rows; ++r)
                        for (int c = 0; c < columns; ++c) {
                            ASSERT_TRUE(SameBits(out[r * columns + c], grid[c][r].Temperature))
                                << columns << " x " << rows << " method " << meth << " side " << side
                                << " at " << c << " " << r;
                            ASSERT_TRUE(SameBits(steps[r * columns + c], grid[c][r].TemperatureStep));
                        }
                    EXPECT_TRUE(SameBits(range.MinStep, minStep));
                    EXPECT_TRUE(SameBits(range.MaxStep, maxStep));
                }
    });
}

}  // namespace
