// Line and grid enlargement, polynomial coefficients.
#include "pipeline/Interpolation.h"

#include "pipeline/PictureReference.h"
#include "pipeline/SysFun.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>
#include <stdexcept>

namespace {

TDoubles Enlarge(const TDoubles &s, int dir, int times) {
    return PolynomialInterpolationArr(s, dir, times);
}

TEST(LineEnlargement, TwoSampleExamplesForBothDirections) {
    EXPECT_EQ(Enlarge({10, 20}, 0, 2), (TDoubles{5, 7.5, 10, 12.5, 15, 17.5, 20, 22.5}));
    EXPECT_EQ(Enlarge({10, 20}, 1, 2), (TDoubles{7.5, 10, 12.5, 15, 17.5, 20, 22.5, 25}));
    // Any Dir other than 0 behaves as 1; points outside 2..4 count as 2.
    EXPECT_EQ(Enlarge({10, 20}, 7, 2), Enlarge({10, 20}, 1, 2));
    EXPECT_EQ(Enlarge({1, 4, 9, 16, 25}, 0, 9), Enlarge({1, 4, 9, 16, 25}, 0, 2));
}

TEST(LineEnlargement, RampsAreReproducedExactlyIncludingTheEnds) {
    for (int n : {2, 3, 4, 5, 24, 32, 96, 128})
        for (int times = 2; times <= 4; ++times)
            for (int dir = 0; dir <= 1; ++dir) {
                TDoubles s(n);
                for (int i = 0; i < n; ++i)
                    s[i] = -3.25 + 0.75 * i;
                const TDoubles r = Enlarge(s, dir, times);
                ASSERT_EQ(r.size(), 4u * n);
                const int start = dir == 0 ? 2 : 1;
                for (int k = 0; k < 4 * n; ++k)
                    EXPECT_EQ(r[k], -3.25 + 0.75 * (k - start) / 4.0)
                        << "n " << n << " times " << times << " dir " << dir << " k " << k;
            }
}

TEST(LineEnlargement, ConstantLinesStayConstant) {
    for (int times = 2; times <= 4; ++times)
        for (int dir = 0; dir <= 1; ++dir) {
            const TDoubles r = Enlarge(TDoubles(32, 23.7), dir, times);
            for (double v : r)
                EXPECT_EQ(v, 23.7);
        }
}

TEST(LineEnlargement, CubicGapsThenLinearTailWithFourPoints) {
    // s[i] = i^3: the cubic is exact wherever it is used; the last three gaps
    // (after samples 28, 29, 30) are straight lines between their two samples.
    const int n = 32;
    TDoubles s(n);
    for (int i = 0; i < n; ++i)
        s[i] = static_cast<double>(i) * i * i;
    const TDoubles r = Enlarge(s, 0, 4);
    for (int i = 0; i <= n - 2; ++i)
        for (int x = 1; x <= 3; ++x) {
            const double t = i + x / 4.0;
            const double linear = s[i] + (s[i + 1] - s[i]) * x / 4.0;
            const double want = i <= 27 ? t * t * t : linear;
            EXPECT_DOUBLE_EQ(r[4 * i + 2 + x], want) << "gap after " << i << " x " << x;
        }
    // Head and end: straight lines through the first / last two samples.
    EXPECT_DOUBLE_EQ(r[1], 1.25 * s[0] - 0.25 * s[1]);
    EXPECT_DOUBLE_EQ(r[0], 1.5 * s[0] - 0.5 * s[1]);
    EXPECT_DOUBLE_EQ(r[4 * n - 1], -0.25 * s[n - 2] + 1.25 * s[n - 1]);
}

TEST(LineEnlargement, QuadraticGapsThenLinearTailWithThreePointsDir1) {
    const int n = 24;
    TDoubles s(n);
    for (int i = 0; i < n; ++i)
        s[i] = static_cast<double>(i) * i;
    const TDoubles r = Enlarge(s, 1, 3);
    for (int i = 0; i <= n - 2; ++i)
        for (int x = 1; x <= 3; ++x) {
            const double t = i + x / 4.0;
            const double want = i <= n - 4 ? t * t : s[i] + (s[i + 1] - s[i]) * x / 4.0;
            EXPECT_DOUBLE_EQ(r[4 * i + 1 + x], want) << "gap after " << i << " x " << x;
        }
    EXPECT_DOUBLE_EQ(r[0], 1.25 * s[0] - 0.25 * s[1]);
    EXPECT_DOUBLE_EQ(r[4 * n - 2], -0.25 * s[n - 2] + 1.25 * s[n - 1]);
    EXPECT_DOUBLE_EQ(r[4 * n - 1], -0.5 * s[n - 2] + 1.5 * s[n - 1]);
}

TEST(LineEnlargement, InteriorWeightsOfEachMethod) {
    // Enlarging a unit sample shows the weight that sample gets in the first gap.
    const double w[5][3][4] = {
        {},
        {},
        {{3. / 4, 1. / 4}, {1. / 2, 1. / 2}, {1. / 4, 3. / 4}},
        {{21. / 32, 7. / 16, -3. / 32}, {3. / 8, 3. / 4, -1. / 8}, {5. / 32, 15. / 16, -3. / 32}},
        {{77. / 128, 77. / 128, -33. / 128, 7. / 128},
         {5. / 16, 15. / 16, -5. / 16, 1. / 16},
         {15. / 128, 135. / 128, -27. / 128, 5. / 128}},
    };
    for (int times = 2; times <= 4; ++times)
        for (int k = 0; k < times; ++k) {
            TDoubles s(8, 0.0);
            s[k] = 1.0;
            const TDoubles r = Enlarge(s, 0, times);
            for (int x = 1; x <= 3; ++x)
                EXPECT_DOUBLE_EQ(r[2 + x], w[times][x - 1][k])
                    << "points " << times << " sample " << k << " x " << x;
        }
}

TEST(LineEnlargement, AgreesBitForBitWithGetPolyDataU) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> dist(-40.0, 120.0);
    for (int times = 2; times <= 4; ++times) {
        TDoubles s(32);
        for (double &v : s)
            v = dist(rng);
        const TDoubles r = Enlarge(s, 0, times);
        for (int i = 0; i + times <= 32 - 1; ++i) {
            TPointTable table;
            for (int k = 0; k < times; ++k) {
                table[0].push_back(4.0 * k);
                table[1].push_back(s[i + k]);
            }
            TPolyCoes c{};
            GetPolyData_U(table, times, c);
            for (int x = 1; x <= 3; ++x) {
                const double want = c[0] + c[1] * x + c[2] * (x * x) + c[3] * (x * x * x);
                EXPECT_EQ(r[4 * i + 2 + x], want) << times << " " << i << " " << x;
            }
        }
    }
}

TEST(LineEnlargement, ShortLines) {
    // Fewer samples than points: every gap is linear.
    EXPECT_EQ(Enlarge({10, 20}, 0, 4), Enlarge({10, 20}, 0, 2));
    EXPECT_EQ(Enlarge({1, 5, 2}, 1, 4), Enlarge({1, 5, 2}, 1, 2));
    EXPECT_THROW(Enlarge({10}, 0, 2), std::invalid_argument);
    EXPECT_THROW(Enlarge({}, 0, 2), std::invalid_argument);
}

TEST(PolyCoefficients, PassThroughTheGivenPoints) {
    const TPointTable table = {TDoubles{0.0, 1.0, 3.0, 7.0}, TDoubles{2.0, -1.0, 4.0, 10.0}};
    for (int times = 2; times <= 4; ++times) {
        TPolyCoes c;
        c.fill(99.0);
        GetPolyData_U(table, times, c);
        for (int k = 0; k < times; ++k)
            EXPECT_NEAR(PolyValue(c.data(), table[0][k]), table[1][k], 1e-12) << times << " " << k;
        EXPECT_EQ(c[4], 99.0);  // entries 4 and 5 are left alone
        EXPECT_EQ(c[5], 99.0);
        if (times < 4) {
            EXPECT_EQ(c[3], 0.0);
        }
        if (times < 3) {
            EXPECT_EQ(c[2], 0.0);
        }
    }
    // Out-of-range counts are taken as 2; a table that is too short is refused.
    TPolyCoes two{}, odd{};
    GetPolyData_U(table, 2, two);
    GetPolyData_U(table, 5, odd);
    EXPECT_EQ(two, odd);
    const TPointTable shortTable = {TDoubles{0.0, 4.0}, TDoubles{1.0, 2.0}};
    EXPECT_THROW(GetPolyData_U(shortTable, 3, two), std::invalid_argument);
}

TEST(GridEnlargement, TwoPassesCarrySensorSamplesToTheirPicturePixels) {
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> dist(10.0, 60.0);
    TPixels origin = MakePixels(32, 24);
    for (auto &column : origin)
        for (TPixel &px : column)
            px.Temperature = dist(rng);
    const TPixels mid = PolynomialInterpolation(origin, 0, 4);
    ASSERT_EQ(mid.size(), 128u);
    ASSERT_EQ(mid[0].size(), 96u);
    const TPixels pic = PolynomialInterpolation(mid, 1, 4);
    ASSERT_EQ(pic.size(), 512u);
    ASSERT_EQ(pic[511].size(), 384u);
    for (int k = 0; k < 32; ++k)
        for (int m = 0; m < 24; ++m) {
            EXPECT_EQ(mid[4 * k + 2][4 * m + 2].Temperature, origin[k][m].Temperature);
            EXPECT_EQ(pic[16 * k + 9][16 * m + 9].Temperature, origin[k][m].Temperature);
        }
    // Only temperatures are written.
    EXPECT_EQ(pic[100][200].X, 0);
    EXPECT_FALSE(pic[100][200].Useable);
    EXPECT_EQ(pic[100][200].Color, 0);
}

TEST(GridEnlargement, ConstantGridAndFlatFormAgree) {
    TPixels origin = MakePixels(32, 24);
    for (auto &column : origin)
        for (TPixel &px : column)
            px.Temperature = 31.3;
    for (int times = 2; times <= 4; ++times) {
        const TPixels mid = PolynomialInterpolation(origin, 0, times);
        for (const auto &column : mid)
            for (const TPixel &px : column)
                ASSERT_EQ(px.Temperature, 31.3);
    }
    // The flat form used per frame gives the same values as the grid form.
    std::mt19937 rng(11);
    std::uniform_real_distribution<double> dist(-5.0, 5.0);
    std::vector<double> flat(32 * 24);
    for (int c = 0; c < 32; ++c)
        for (int r = 0; r < 24; ++r)
            flat[r * 32 + c] = origin[c][r].Temperature = dist(rng);
    std::vector<double> out(128 * 96), work;
    EnlargeGridFlat(flat.data(), 32, 24, 0, 3, out.data(), work);
    const TPixels mid = PolynomialInterpolation(origin, 0, 3);
    for (int c = 0; c < 128; ++c)
        for (int r = 0; r < 96; ++r)
            ASSERT_EQ(out[r * 128 + c], mid[c][r].Temperature);
}

TEST(GridEnlargement, LinesThatCannotBeEnlargedKeepWhatTheyHad) {
    // One column: the row lines have a single sample and fail; the columns go on.
    TPixels one = MakePixels(1, 3);
    for (int r = 0; r < 3; ++r)
        one[0][r].Temperature = 10.0 * (r + 1);
    const TPixels out = PolynomialInterpolation(one, 0, 2);
    ASSERT_EQ(out.size(), 4u);
    ASSERT_EQ(out[0].size(), 12u);
    for (const auto &column : out)
        for (const TPixel &px : column)
            EXPECT_EQ(px.Temperature, 0.0);

    TPixels ragged = MakePixels(3, 3);
    ragged[1].pop_back();
    EXPECT_THROW(PolynomialInterpolation(ragged, 0, 2), std::invalid_argument);
    EXPECT_TRUE(PolynomialInterpolation(TPixels{}, 0, 2).empty());
}

// The flat passes used per frame against the line-by-line form, on sizes that
// leave lanes over after whole vectors, every method, both directions; the
// column pass hands over every result row exactly once.
TEST(GridEnlargement, FlatPassesMatchLineByLineEnlargement) {
    struct TSink final : TRowSink {
        std::vector<int> seen;
        void RowsDone(int first, int last) override {
            for (int r = first; r <= last; ++r)
                seen.push_back(r);
        }
    };
    std::mt19937 rng(3);
    std::uniform_real_distribution<double> dist(-40.0, 90.0);
    ForEachLaneWidth([&] {
        for (const auto &[columns, rows] :
             {std::pair{2, 2}, std::pair{5, 7}, std::pair{9, 3}, std::pair{33, 26}})
            for (int times = 2; times <= 4; ++times)
                for (int dir = 0; dir <= 1; ++dir) {
                    std::vector<double> src(static_cast<size_t>(columns) * rows);
                    for (double &v : src)
                        v = dist(rng);
                    // Rows: each row enlarged on its own.
                    std::vector<double> rowsOut(4 * src.size());
                    EnlargeRowsFlat(src.data(), columns, rows, dir, times, rowsOut.data());
                    for (int r = 0; r < rows; ++r) {
                        const TDoubles line(src.begin() + r * columns, src.begin() + (r + 1) * columns);
                        const TDoubles want = PolynomialInterpolationArr(line, dir, times);
                        for (int c = 0; c < 4 * columns; ++c)
                            ASSERT_TRUE(SameBits(rowsOut[r * 4 * columns + c], want[c]))
                                << columns << " x " << rows << " times " << times << " dir " << dir;
                    }
                    // Columns: each column enlarged on its own.
                    std::vector<double> colsOut(4 * src.size(), -1.0);
                    TSink sink;
                    EnlargeColumnsFlat(src.data(), columns, rows, dir, times, colsOut.data(), &sink);
                    for (int c = 0; c < columns; ++c) {
                        TDoubles line(static_cast<size_t>(rows));
                        for (int r = 0; r < rows; ++r)
                            line[r] = src[r * columns + c];
                        const TDoubles want = PolynomialInterpolationArr(line, dir, times);
                        for (int r = 0; r < 4 * rows; ++r)
                            ASSERT_TRUE(SameBits(colsOut[r * columns + c], want[r]))
                                << columns << " x " << rows << " times " << times << " dir " << dir;
                    }
                    std::sort(sink.seen.begin(), sink.seen.end());
                    std::vector<int> every(4 * static_cast<size_t>(rows));
                    std::iota(every.begin(), every.end(), 0);
                    EXPECT_EQ(sink.seen, every);
                }
    });
    std::vector<double> out(8);
    const double one[2] = {1.0, 2.0};
    EXPECT_THROW(EnlargeRowsFlat(one, 1, 2, 0, 2, out.data()), std::invalid_argument);
    EXPECT_THROW(EnlargeColumnsFlat(one, 2, 1, 0, 2, out.data()), std::invalid_argument);
}

}  // namespace
