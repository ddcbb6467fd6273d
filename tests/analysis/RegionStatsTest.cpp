// Region geometry and statistics against hand-computed values: synthetic pictures
// (edges, corners, reversed drags, mirroring) and a frame of the synthetic sensor.
#include "analysis/RegionStats.h"

#include "pipeline/MLX90640.h"
#include "pipeline/SensorFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// A 512 x 384 picture with t(x, y) = x + 1000 y: every pixel tells where it is.
TPictureValues PositionPicture() {
    TPictureValues p;
    p.Width = 512;
    p.Height = 384;
    p.Temps.resize(512 * 384);
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x)
            p.Temps[size_t(y) * 512 + x] = x + 1000.0 * y;
    return p;
}

TRegion Box(int x0, int y0, int x1, int y1) {
    return {RK_Box, {x0, y0}, {x1, y1}, ""};
}

std::vector<TRegionPoint> PixelsOf(const TRegion &r, int w = 512, int h = 384) {
    std::vector<TRegionPoint> out;
    ForEachRegionPixel(r, w, h, [&](int x, int y) { out.push_back({x, y}); });
    return out;
}

bool Covers(const TRegionStats &s, int column, int row) {
    return s.Cells.test(size_t(row * kSensorColumns + column));
}

TEST(RegionStats, BoxesAtCornersAndAcrossEdges) {
    const TPictureValues pic = PositionPicture();
    // The top-left sensor cell exactly: 16 x 16 pixels.
    TRegionStats s = RegionStatistics(pic, Box(0, 0, 15, 15), false);
    ASSERT_TRUE(s.Valid);
    EXPECT_EQ(s.Min, 0.0);
    EXPECT_EQ(s.MinAt, (TRegionPoint{0, 0}));
    EXPECT_EQ(s.Max, 15015.0);
    EXPECT_EQ(s.MaxAt, (TRegionPoint{15, 15}));
    EXPECT_DOUBLE_EQ(s.Average, 7507.5);
    EXPECT_EQ(s.PixelCount, 256);
    EXPECT_EQ(s.SensorPixels(), 1);
    EXPECT_TRUE(Covers(s, 0, 0));

    // Dragged from bottom-right to top-left and past the picture's corner: clipped to
    // x 500..511, y 370..383.
    s = RegionStatistics(pic, Box(530, 400, 500, 370), false);
    EXPECT_EQ(s.PixelCount, 12 * 14);
    EXPECT_EQ(s.Min, 500 + 370000.0);
    EXPECT_EQ(s.Max, 511 + 383000.0);
    EXPECT_EQ(s.MaxAt, (TRegionPoint{511, 383}));
    EXPECT_DOUBLE_EQ(s.Average, 505.5 + 376500.0);
    EXPECT_EQ(s.SensorPixels(), 1);
    EXPECT_TRUE(Covers(s, 31, 23));

    // Two pixels either side of a cell corner touch four cells: sensor column 0 is
    // carried to picture column 9, so its pixels reach to column 16.
    s = RegionStatistics(pic, Box(15, 15, 16, 16), false);
    EXPECT_EQ(s.SensorPixels(), 1);
    s = RegionStatistics(pic, Box(16, 16, 17, 17), false);
    EXPECT_EQ(s.PixelCount, 4);
    EXPECT_EQ(s.SensorPixels(), 4);
    // The whole picture covers every sensor pixel.
    s = RegionStatistics(pic, Box(-5, -5, 600, 600), true);
    EXPECT_EQ(s.PixelCount, 512 * 384);
    EXPECT_EQ(s.SensorPixels(), 768);
    // Entirely outside: nothing to measure.
    EXPECT_FALSE(RegionStatistics(pic, Box(512, 0, 600, 10), false).Valid);
    EXPECT_EQ(RegionStatistics(pic, Box(512, 0, 600, 10), false).SensorPixels(), 0);
}

TEST(RegionStats, LinesAndSpots) {
    // Bresenham, slope 2/5, and steep and reversed lines step one pixel at a time.
    EXPECT_EQ(PixelsOf({RK_Line, {0, 0}, {5, 2}, ""}),
              (std::vector<TRegionPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, 2}}));
    EXPECT_EQ(PixelsOf({RK_Line, {3, 4}, {3, 0}, ""}),
              (std::vector<TRegionPoint>{{3, 4}, {3, 3}, {3, 2}, {3, 1}, {3, 0}}));
    // A line from outside the picture keeps only its pixels inside.
    EXPECT_EQ(PixelsOf({RK_Line, {-3, -3}, {2, 2}, ""}), (std::vector<TRegionPoint>{{0, 0}, {1, 1}, {2, 2}}));

    const TPictureValues pic = PositionPicture();
    // The bottom row, end to end: 512 pixels over the 32 cells of row 23.
    TRegionStats s = RegionStatistics(pic, {RK_Line, {511, 383}, {0, 383}, ""}, false);
    EXPECT_EQ(s.PixelCount, 512);
    EXPECT_EQ(s.Max, 511 + 383000.0);
    EXPECT_EQ(s.MaxAt, (TRegionPoint{511, 383}));
    EXPECT_EQ(s.MinAt, (TRegionPoint{0, 383}));
    EXPECT_DOUBLE_EQ(s.Average, 255.5 + 383000.0);
    EXPECT_EQ(s.SensorPixels(), 32);

    // Spots in the corners; one just outside has no statistics.
    s = RegionStatistics(pic, {RK_Spot, {511, 0}, {}, ""}, false);
    EXPECT_EQ(s.PixelCount, 1);
    EXPECT_EQ(s.Min, 511.0);
    EXPECT_EQ(s.Max, 511.0);
    EXPECT_EQ(s.Average, 511.0);
    EXPECT_TRUE(Covers(s, 31, 0));
    s = RegionStatistics(pic, {RK_Spot, {0, 383}, {}, ""}, false);
    EXPECT_EQ(s.Max, 383000.0);
    EXPECT_TRUE(Covers(s, 0, 23));
    EXPECT_FALSE(RegionStatistics(pic, {RK_Spot, {0, 384}, {}, ""}, false).Valid);
}

TEST(RegionStats, MirroredPictureMapsToTheOppositeSensorColumn) {
    const TPictureValues pic = PositionPicture();
    // Picture column 0..15 shows sensor column 31 when mirrored.
    EXPECT_EQ(SensorCellOf(0, 0, 512, 384, true), (TSensorCell{31, 0}));
    EXPECT_EQ(SensorCellOf(16, 383, 512, 384, true), (TSensorCell{31, 23}));
    EXPECT_EQ(SensorCellOf(17, 17, 512, 384, true), (TSensorCell{30, 1}));
    EXPECT_EQ(SensorCellOf(16 * 7 + 9, 16 * 5 + 9, 512, 384, false), (TSensorCell{7, 5}));
    EXPECT_EQ(SensorCellOf(511, 200, 512, 384, true), (TSensorCell{0, 12}));
    EXPECT_EQ(SensorCellOf(511, 200, 512, 384, false), (TSensorCell{31, 12}));
    const TRegionStats s = RegionStatistics(pic, Box(0, 0, 20, 3), true);
    EXPECT_EQ(s.SensorPixels(), 2);
    EXPECT_TRUE(Covers(s, 31, 0));
    EXPECT_TRUE(Covers(s, 30, 0));
    // The temperatures are those of the picture as shown, mirrored or not.
    EXPECT_EQ(s.MaxAt, (TRegionPoint{20, 3}));
}

TEST(RegionStats, PixelsWithoutATemperatureAreLeftOut) {
    TPictureValues pic = PositionPicture();
    pic.Temps[0] = std::nan("");
    pic.Temps[1] = -1e300;
    const TRegionStats s = RegionStatistics(pic, Box(0, 0, 2, 0), false);
    EXPECT_EQ(s.PixelCount, 2);
    EXPECT_EQ(s.Min, -1e300);
    EXPECT_EQ(s.MinAt, (TRegionPoint{1, 0}));
    EXPECT_EQ(s.Max, 2.0);
    // Equal extremes: the first in reading order, in a row or across rows, whatever
    // lies before them; a row of nothing but gaps is passed over.
    TPictureValues flat = PositionPicture();
    std::fill(flat.Temps.begin(), flat.Temps.end(), 20.0);
    const auto at = [&](int x, int y) -> double & { return flat.Temps[size_t(y) * 512 + size_t(x)]; };
    at(7, 3) = at(5, 3) = at(2, 4) = 50.0;
    at(9, 2) = at(3, 6) = 10.0;
    at(4, 3) = std::nan("");
    for (int x = 0; x < 512; ++x)
        at(x, 1) = std::nan("");
    const TRegionStats ties = RegionStatistics(flat, Box(0, 1, 12, 9), false);
    EXPECT_EQ(ties.PixelCount, 13 * 8 - 1);
    EXPECT_EQ(ties.MaxAt, (TRegionPoint{5, 3}));
    EXPECT_EQ(ties.MinAt, (TRegionPoint{9, 2}));
    EXPECT_DOUBLE_EQ(ties.Average, (20.0 * (13 * 8 - 1 - 5) + 3 * 50.0 + 2 * 10.0) / (13 * 8 - 1));
    // A picture not filled yet gives nothing rather than reading past its values.
    TPictureValues empty;
    empty.Width = 512;
    empty.Height = 384;
    EXPECT_FALSE(RegionStatistics(empty, Box(0, 0, 10, 10), false).Valid);
}

// A frame of the synthetic sensor through the sensor image object: a box over the
// hot pixel finds it where the mirrored picture shows it.
TEST(RegionStats, HotSpotOfASensorFrame) {
    TSyntheticSensor sensor;
    TMLX90640 obj;
    ApplyWindowDefaults(obj);
    ASSERT_TRUE(obj.SetEEPROMArr(sensor.calibration));
    const int row = 10, column = 7;
    const auto scene = HotSpotScene(22.0, row, column, 40.0);
    ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(scene, 0)));
    ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(scene, 1)));
    const auto frame = obj.GetPublished();
    ASSERT_TRUE(frame);
    EXPECT_TRUE(frame->Mirror_LR);
    const int px = 16 * (31 - column) + 9, py = 16 * row + 9;
    const TRegionStats s = RegionStatistics(frame->Picture, Box(px - 30, py - 30, px + 30, py + 30), true);
    EXPECT_NEAR(s.Max, 40.0, 0.1);
    EXPECT_EQ(s.MaxAt, (TRegionPoint{px, py}));
    EXPECT_NEAR(s.Min, 22.0, 0.1);
    const TRegionStats spot = RegionStatistics(frame->Picture, {RK_Spot, {px, py}, {}, ""}, frame->Mirror_LR);
    EXPECT_TRUE(Covers(spot, column, row));
}

}  // namespace
