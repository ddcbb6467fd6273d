// Defective-pixel correction, IsPixelBad and GetMedian.
#include "sensor/MLX90640_API.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

constexpr uint16_t E = 0xFFFF;

TParamsMLX90640 NoDefects() {
    TParamsMLX90640 r{};
    for (int k = 0; k < 5; ++k)
        r.brokenPixels[k] = r.outlierPixels[k] = E;
    return r;
}

// Values that tell every pixel apart: too[p] = p.
std::vector<double> Ramp() {
    std::vector<double> v(768);
    for (int p = 0; p < 768; ++p)
        v[p] = p;
    return v;
}

double CorrectOne(int p, int mode, std::vector<double> too, const TParamsMLX90640 &r) {
    const uint16_t list[5] = {static_cast<uint16_t>(p), E, E, E, E};
    MLX90640_BadPixelsCorrection(list, too.data(), mode, r);
    return too[p];
}

TEST(BadPixelsDiagonal, CornersEdgesAndInterior) {
    const TParamsMLX90640 r = NoDefects();
    const std::vector<double> v = Ramp();
    EXPECT_EQ(CorrectOne(0, 1, v, r), 33);
    EXPECT_EQ(CorrectOne(31, 1, v, r), 62);
    EXPECT_EQ(CorrectOne(736, 1, v, r), 705);
    EXPECT_EQ(CorrectOne(767, 1, v, r), 734);
    EXPECT_EQ(CorrectOne(5, 1, v, r), (36 + 38) / 2.0);
    EXPECT_EQ(CorrectOne(741, 1, v, r), (708 + 710) / 2.0);
    EXPECT_EQ(CorrectOne(64, 1, v, r), (33 + 97) / 2.0);
    EXPECT_EQ(CorrectOne(95, 1, v, r), (62 + 126) / 2.0);

    std::vector<double> m(768, 0);
    m[100 - 33] = 20;
    m[100 - 31] = 30;
    m[100 + 31] = 25;
    m[100 + 33] = 40;
    m[100 - 1] = m[100 + 1] = 1000;  // line neighbours play no part
    EXPECT_EQ(CorrectOne(100, 1, m, r), 27.5);
}

TEST(BadPixelsDiagonal, ListIsWalkedInOrderUsingCorrectedValues) {
    TParamsMLX90640 r = NoDefects();
    r.brokenPixels[0] = 40;
    r.brokenPixels[1] = 73;
    std::vector<double> too(768, 10);
    too[40] = 500;  // both defective values are wild
    too[73] = 900;
    too[7] = 12;  // diagonals of 40: 7, 9, 71, 73
    too[9] = 14;
    too[71] = 16;
    // Pixel 40: median of 12, 14, 16, 900 -> 15.
    // Pixel 73: diagonals 40 (now 15), 42, 104, 106 (10) -> median of 10, 10, 10, 15 -> 10.
    MLX90640_BadPixelsCorrection(r.brokenPixels, too.data(), 1, r);
    EXPECT_EQ(too[40], 15);
    EXPECT_EQ(too[73], 10);
}

TEST(BadPixelsLine, EdgesAndGradientExamples) {
    const TParamsMLX90640 r = NoDefects();
    const std::vector<double> v = Ramp();
    EXPECT_EQ(CorrectOne(64, 0, v, r), 65);               // column 0
    EXPECT_EQ(CorrectOne(95, 0, v, r), 94);               // column 31
    EXPECT_EQ(CorrectOne(65, 0, v, r), (64 + 66) / 2.0);  // column 1
    EXPECT_EQ(CorrectOne(94, 0, v, r), (93 + 95) / 2.0);  // column 30

    auto gradient = [&](double m2, double m1, double p1, double p2) {
        std::vector<double> too(768, 0);
        const int p = 300;
        too[p - 2] = m2;
        too[p - 1] = m1;
        too[p] = -999;
        too[p + 1] = p1;
        too[p + 2] = p2;
        return CorrectOne(p, 0, too, r);
    };
    EXPECT_EQ(gradient(10, 11, 20, 25), 12);
    EXPECT_EQ(gradient(10, 12, 20, 21), 19);
    EXPECT_EQ(gradient(10, 12, 14, 16), 12);   // equal steps: right-hand side
    EXPECT_EQ(CorrectOne(300, 7, v, r), 300);  // any mode other than 1 is the line rule
}

TEST(BadPixelsLine, ListedNeighbourTwoAwayGivesTheMean) {
    for (int listedInBroken = 0; listedInBroken < 2; ++listedInBroken) {
        TParamsMLX90640 r = NoDefects();
        (listedInBroken ? r.brokenPixels : r.outlierPixels)[2] = 302;
        std::vector<double> too(768, 0);
        too[298] = 10;
        too[299] = 11;
        too[301] = 20;
        too[302] = 25;
        EXPECT_EQ(CorrectOne(300, 0, too, r), 15.5);
        r = NoDefects();
        r.outlierPixels[0] = 298;
        EXPECT_EQ(CorrectOne(300, 0, too, r), 15.5);
    }
}

TEST(BadPixelsList, EndMarkerFullListAndOutOfRangeNumbers) {
    const TParamsMLX90640 r = NoDefects();
    std::vector<double> too = Ramp();
    const uint16_t empty[5] = {E, 100, 200, 300, 400};
    MLX90640_BadPixelsCorrection(empty, too.data(), 1, r);
    EXPECT_EQ(too, Ramp());

    // A full list is walked to its fifth entry; the word after it is never read.
    const uint16_t six[6] = {100, 200, 300, 400, 500, 600};
    MLX90640_BadPixelsCorrection(six, too.data(), 0, r);
    for (int p : {100, 200, 300, 400, 500})
        EXPECT_EQ(too[p], p) << p;  // a ramp stays a ramp
    std::vector<double> flat(768, 1);
    flat[600] = 77;
    flat[500] = 55;
    MLX90640_BadPixelsCorrection(six, flat.data(), 1, r);
    EXPECT_EQ(flat[500], 1);
    EXPECT_EQ(flat[600], 77);

    // Numbers beyond the array are passed over instead of reading outside it.
    std::vector<double> t2 = Ramp();
    const uint16_t wild[5] = {768, 40000, 5, E, E};
    MLX90640_BadPixelsCorrection(wild, t2.data(), 1, r);
    EXPECT_EQ(t2[5], (36 + 38) / 2.0);
}

TEST(BadPixelsList, IsPixelBadLooksInBothLists) {
    TParamsMLX90640 r = NoDefects();
    r.brokenPixels[4] = 17;
    r.outlierPixels[0] = 300;
    EXPECT_EQ(IsPixelBad(17, r), 1);
    EXPECT_EQ(IsPixelBad(300, r), 1);
    EXPECT_EQ(IsPixelBad(18, r), 0);
    EXPECT_EQ(IsPixelBad(0xFFFF, r), 1);  // the empty marker compares like any value
    EXPECT_EQ(IsPixelBad(-1, r), 0);
}

TEST(Median, OddEvenNaNAndEmpty) {
    const double three[3] = {3, 1, 2};
    EXPECT_EQ(GetMedian(three, 3), 2);
    const double four[4] = {4, 1, 3, 2};
    EXPECT_EQ(GetMedian(four, 4), 2.5);
    EXPECT_EQ(four[0], 4);  // the caller's order is kept
    EXPECT_EQ(four[3], 2);
    const double one[1] = {7};
    EXPECT_EQ(GetMedian(one, 1), 7);
    // A comparison with NaN is false, so the NaN is never exchanged and stays in
    // the middle pair: 5, NaN, 3, 1 sorts to 1, NaN, 3, 5.
    const double withNaN[4] = {5, NAN, 3, 1};
    EXPECT_TRUE(std::isnan(GetMedian(withNaN, 4)));
    const double nanLast[3] = {2, 1, NAN};
    EXPECT_EQ(GetMedian(nanLast, 3), 2);
    EXPECT_TRUE(std::isnan(GetMedian(three, 0)));
    EXPECT_TRUE(std::isnan(GetMedian(three, -3)));
}

}  // namespace
