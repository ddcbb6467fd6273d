// The per-frame scan of the sensor grid and the automatic colour range.
#include "pipeline/FrameScan.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct ScanFixture : ::testing::Test {
    double temps[1024] = {};
    double last[1024] = {};
    TPixels origin = MakePixels(32, 24);

    void Fill(double v) {
        for (int p = 0; p < 768; ++p)
            temps[p] = v;
    }
    TFrameScan Scan(bool mirror, bool slugg) { return ScanFrame(temps, last, origin, 32, 24, mirror, slugg); }
};

TEST_F(ScanFixture, MirroringPlacesSensorColumnsRightToLeft) {
    Fill(20.0);
    temps[0] = 42.0;          // row 0, sensor column 0
    temps[32 * 5 + 3] = 7.0;  // row 5, sensor column 3
    Scan(true, false);
    EXPECT_EQ(origin[31][0].Temperature, 42.0);
    EXPECT_EQ(origin[31][0].X, 31);
    EXPECT_EQ(origin[31][0].Y, 0);
    EXPECT_TRUE(origin[31][0].Useable);
    EXPECT_EQ(origin[28][5].Temperature, 7.0);
    EXPECT_EQ(origin[0][0].Temperature, 20.0);

    Scan(false, false);
    EXPECT_EQ(origin[0][0].Temperature, 42.0);
    EXPECT_EQ(origin[0][0].X, 0);
    EXPECT_EQ(origin[3][5].Temperature, 7.0);
    EXPECT_EQ(origin[31][0].Temperature, 20.0);
}

TEST_F(ScanFixture, NotANumberBecomesMinusHundredEverywhere) {
    Fill(25.0);
    temps[32 * 2 + 4] = std::numeric_limits<double>::quiet_NaN();
    const TFrameScan scan = Scan(false, true);
    EXPECT_EQ(temps[32 * 2 + 4], -100.0);  // written back into the buffer
    EXPECT_EQ(last[32 * 2 + 4], -100.0);   // and reaches the smoothing memory
    EXPECT_EQ(origin[4][2].Temperature, -100.0);
    EXPECT_EQ(scan.MinPix.Temperature, -100.0);
    EXPECT_EQ(scan.MinPix.X, 4);
    EXPECT_EQ(scan.MinPix.Y, 2);
    EXPECT_EQ(scan.MaxPix.Temperature, 25.0);
    EXPECT_DOUBLE_EQ(scan.TemperatureAvg, (767 * 25.0 - 100.0) / 768.0);
}

TEST_F(ScanFixture, SluggSmoothsSmallChangesAndRemembersTheRawValue) {
    Fill(20.0);
    // First frame with Slugg on compares with 0: room temperature passes.
    Scan(false, true);
    EXPECT_EQ(origin[0][0].Temperature, 20.0);
    EXPECT_EQ(last[0], 20.0);

    last[0] = 25.0;
    temps[0] = 27.9;
    last[1] = 25.0;
    temps[1] = 28.0;
    last[2] = 25.0;
    temps[2] = 22.0;
    Scan(false, true);
    EXPECT_DOUBLE_EQ(origin[0][0].Temperature, 25.0 + 2.9 / 3.0);
    EXPECT_EQ(origin[1][0].Temperature, 28.0);  // difference exactly 3
    EXPECT_EQ(origin[2][0].Temperature, 22.0);  // 3 downwards as well
    EXPECT_EQ(last[0], 27.9);
    EXPECT_EQ(last[1], 28.0);

    // Slugg off: shows the raw value and leaves the memory alone.
    temps[0] = 26.0;
    Scan(false, false);
    EXPECT_EQ(origin[0][0].Temperature, 26.0);
    EXPECT_EQ(last[0], 27.9);
}

TEST_F(ScanFixture, FirstOfEqualExtremesWinsAndRecordsKeepOldColours) {
    Fill(20.0);
    temps[32 * 2 + 5] = 50.0;
    temps[32 * 2 + 9] = 50.0;
    temps[32 * 7 + 1] = 50.0;
    temps[32 * 3 + 6] = -5.0;
    temps[32 * 3 + 8] = -5.0;
    origin[26][2].Color = 0x112233;  // colour from an earlier frame
    origin[26][2].GrayValue0 = 99.0;
    const TFrameScan scan = Scan(true, false);
    // Scan order is row by row, sensor column by column: sensor column 5 of row 2.
    EXPECT_EQ(scan.MaxPix.X, 31 - 5);
    EXPECT_EQ(scan.MaxPix.Y, 2);
    EXPECT_EQ(scan.MaxPix.Color, 0x112233);
    EXPECT_EQ(scan.MaxPix.GrayValue0, 99.0);
    EXPECT_EQ(scan.MinPix.X, 31 - 6);
    EXPECT_EQ(scan.MinPix.Y, 3);

    // All equal: both records are the first pixel scanned.
    Fill(21.0);
    const TFrameScan flat = Scan(true, false);
    EXPECT_EQ(flat.MaxPix.X, 31);
    EXPECT_EQ(flat.MaxPix.Y, 0);
    EXPECT_EQ(flat.MinPix.X, 31);
    EXPECT_EQ(flat.TemperatureAvg, 21.0);
}

TEST(AutoLowUp, LowerLimitSequenceWithHysteresis) {
    double lower = 0.0, upper = 45.0;
    EXPECT_TRUE(AutoLowUpLimits(23.4, 44.0, lower, upper));
    EXPECT_EQ(lower, 20.0);
    EXPECT_FALSE(AutoLowUpLimits(24.9, 44.0, lower, upper));  // 4.9 above: kept
    EXPECT_EQ(lower, 20.0);
    EXPECT_FALSE(AutoLowUpLimits(25.0, 44.0, lower, upper));  // exactly 5: kept
    EXPECT_TRUE(AutoLowUpLimits(25.1, 44.0, lower, upper));
    EXPECT_EQ(lower, 25.0);
    EXPECT_TRUE(AutoLowUpLimits(24.0, 44.0, lower, upper));  // below: follows down
    EXPECT_EQ(lower, 20.0);
    EXPECT_EQ(upper, 45.0);
}

TEST(AutoLowUp, UpperLimitSequence) {
    double lower = 0.0, upper = 35.0;
    AutoLowUpLimits(2.0, 36.2, lower, upper);
    EXPECT_EQ(upper, 40.0);
    EXPECT_FALSE(AutoLowUpLimits(2.0, 40.0, lower, upper));
    EXPECT_EQ(upper, 40.0);
    AutoLowUpLimits(2.0, 34.9, lower, upper);  // 5.1 below: follows down
    EXPECT_EQ(upper, 35.0);
    AutoLowUpLimits(2.0, 35.0001, lower, upper);
    EXPECT_EQ(upper, 40.0);
}

TEST(AutoLowUp, NegativeLimitsStayAtTheirFloorOrCeiling) {
    double lower = 0.0, upper = 5.0;
    AutoLowUpLimits(-3.2, -3.2, lower, upper);
    EXPECT_EQ(lower, -4.0);  // remainder -4 is not positive
    EXPECT_EQ(upper, -3.0);  // remainder -3 is not positive
    AutoLowUpLimits(-12.5, 7.5, lower, upper);
    EXPECT_EQ(lower, -13.0);
    EXPECT_EQ(upper, 10.0);
    double l = 0;
    ASSERT_TRUE(LowerLimitFor(-7.5, l));
    EXPECT_EQ(l, -8.0);
    ASSERT_TRUE(LowerLimitFor(9990.0, l));
    EXPECT_EQ(l, 9990.0);
    ASSERT_TRUE(UpperLimitFor(0.0, l));
    EXPECT_EQ(l, 0.0);
    ASSERT_TRUE(UpperLimitFor(30.2, l));
    EXPECT_EQ(l, 35.0);
}

TEST(AutoLowUp, ValuesBeyondThirtyTwoBitsLeaveTheLimitsAlone) {
    double lower = 10.0, upper = 30.0;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_FALSE(AutoLowUpLimits(-inf, inf, lower, upper));
    EXPECT_EQ(lower, 10.0);
    EXPECT_EQ(upper, 30.0);
    EXPECT_FALSE(AutoLowUpLimits(-3e9, 3e9, lower, upper));
    EXPECT_EQ(lower, 10.0);
    double l = 1.0;
    EXPECT_FALSE(LowerLimitFor(std::nan(""), l));
    EXPECT_EQ(l, 1.0);
    // The largest 32-bit ceiling still rounds up to a multiple of 5 without overflow.
    ASSERT_TRUE(UpperLimitFor(2147483646.5, l));
    EXPECT_EQ(l, 2147483650.0);
}

}  // namespace
