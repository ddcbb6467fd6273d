// The trend ring and its CSV form, the histogram's bins, the isotherm on a ramp and
// the alarm's crossings.
#include "analysis/Alarm.h"
#include "analysis/Histogram.h"
#include "analysis/Isotherm.h"
#include "analysis/Trend.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>
#include <locale>
#include <sstream>

namespace {

const double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(Trend, RingKeepsTheNewestInOrder) {
    TTrendBuffer trend(3, 2);
    for (int i = 0; i < 5; ++i)
        trend.Add(i * 0.5, {double(i), double(10 * i)});
    ASSERT_EQ(trend.Size(), 3u);
    EXPECT_EQ(trend.Time(0), 1.0);
    EXPECT_EQ(trend.Value(0, 0), 2.0);
    EXPECT_EQ(trend.Time(2), 2.0);
    EXPECT_EQ(trend.Value(2, 1), 40.0);
    // The last second: samples at 1.0 (exactly on the edge), 1.5 and 2.0.
    EXPECT_EQ(trend.FirstWithin(1.0), 0u);
    EXPECT_EQ(trend.FirstWithin(0.6), 1u);
    EXPECT_EQ(trend.FirstWithin(0.0), 2u);
    // A short sample is padded with NaN; a series can be cleared.
    trend.Add(2.5, {7.0});
    EXPECT_EQ(trend.Value(2, 0), 7.0);
    EXPECT_TRUE(std::isnan(trend.Value(2, 1)));
    trend.ClearSeries(0);
    EXPECT_TRUE(std::isnan(trend.Value(0, 0)));
    EXPECT_EQ(trend.Value(0, 1), 30.0);
    trend.Clear();
    EXPECT_EQ(trend.Size(), 0u);
    EXPECT_EQ(trend.FirstWithin(10.0), 0u);
}

// A stream whose numbers would come out with a decimal comma.
struct CommaPunct : std::numpunct<char> {
    char do_decimal_point() const override { return ','; }
};

TEST(Trend, CsvHasAHeaderAndDotDecimalsWhateverTheLocale) {
    TTrendBuffer trend(2, 3);
    trend.Add(0.25, {21.456, kNaN, -3.0});
    trend.Add(1.0, {22.0, 5.5, 1234.5678});
    trend.Add(1.5, {-0.004, 1.0, 2.0});  // wraps: the first sample goes
    std::ostringstream out;
    out.imbue(std::locale(std::locale::classic(), new CommaPunct));
    const char *old = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    WriteTrendCsv(out, trend, 0, {0, 2, 1}, {"Frame max", "R1, \"hot\"", "R2"});
    std::setlocale(LC_NUMERIC, old ? old : "C");
    EXPECT_EQ(out.str(), "time_s,Frame max,\"R1, \"\"hot\"\"\",R2\n"
                         "1.000,22.00,1234.57,5.50\n"
                         "1.500,0.00,2.00,1.00\n");
    std::ostringstream part;
    WriteTrendCsv(part, trend, 1, {1}, {"x"});
    EXPECT_EQ(part.str(), "time_s,x\n1.500,1.00\n");
    std::ostringstream gap;
    TTrendBuffer one(4, 2);
    one.Add(3.0, {kNaN, 20.0});
    WriteTrendCsv(gap, one, 0, {0, 1}, {"a", "b"});
    EXPECT_EQ(gap.str(), "time_s,a,b\n3.000,,20.00\n");
}

TEST(Histogram, BinEdgesAreWholeDegrees) {
    const THistogram h = MakeHistogram({19.999, 20.0, 20.5, 21.0, -0.5, kNaN, -0.0});
    EXPECT_EQ(h.FirstBin, -1);
    ASSERT_EQ(h.Counts.size(), 23u);  // bins -1 .. 21
    EXPECT_EQ(h.Counts[0], 1);        // -0.5
    EXPECT_EQ(h.Counts[1], 1);        // -0.0 belongs to [0, 1)
    EXPECT_EQ(h.Counts[20], 1);       // 19.999
    EXPECT_EQ(h.Counts[21], 2);       // 20.0 and 20.5
    EXPECT_EQ(h.Counts[22], 1);       // 21.0
    EXPECT_EQ(h.Total(), 6);
    EXPECT_TRUE(MakeHistogram({kNaN}).Counts.empty());
    // A wild value cannot make a giant histogram: it lands in the last bin.
    const THistogram wide = MakeHistogram({0.5, 1e30});
    EXPECT_EQ(int(wide.Counts.size()), kMaxHistogramBins);
    EXPECT_EQ(wide.Counts.back(), 1);
    EXPECT_EQ(wide.Total(), 2);
}

TEST(Isotherm, BandOnARamp) {
    EXPECT_TRUE(InIsothermBand(20.0, 20.0, 25.0));
    EXPECT_TRUE(InIsothermBand(25.0, 20.0, 25.0));
    EXPECT_FALSE(InIsothermBand(25.01, 20.0, 25.0));
    EXPECT_FALSE(InIsothermBand(kNaN, 20.0, 25.0));

    // A 6 x 2 ramp 0..5 in each row; the rows are 8 words apart.
    TPictureValues ramp;
    ramp.Width = 6;
    ramp.Height = 2;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 6; ++x)
            ramp.Temps.push_back(x + 0.5 * y);
    std::vector<uint32_t> pixels(16, 0xFF000000u);
    EXPECT_EQ(PaintIsotherm(ramp, 2.0, 4.0, 0xFF00FF00u, pixels.data(), 8), 5);
    const uint32_t o = 0xFF000000u, g = 0xFF00FF00u;
    EXPECT_EQ(pixels, (std::vector<uint32_t>{o, o, g, g, g, o, o, o,  //
                                             o, o, g, g, o, o, o, o}));
    // A band upside down marks nothing.
    EXPECT_EQ(PaintIsotherm(ramp, 4.0, 2.0, 0u, pixels.data(), 8), 0);
}

TEST(Alarm, FiresOnCrossingAboveOnly) {
    TAlarm alarm;
    alarm.SetThreshold(30.0);
    EXPECT_FALSE(alarm.Update(0.0, 29.0, "max"));
    EXPECT_FALSE(alarm.Update(0.1, 30.0, "max"));  // equal is not above
    const auto e = alarm.Update(0.2, 30.1, "Frame max");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->Time, 0.2);
    EXPECT_EQ(e->Readout, "Frame max");
    EXPECT_EQ(e->Value, 30.1);
    EXPECT_TRUE(alarm.Above());
    EXPECT_FALSE(alarm.Update(0.3, 35.0, "max"));  // still above: no second entry
    EXPECT_FALSE(alarm.Update(0.4, kNaN, "max"));  // no reading changes nothing
    EXPECT_TRUE(alarm.Above());
    EXPECT_FALSE(alarm.Update(0.5, 30.0, "max"));  // back to equal ...
    EXPECT_TRUE(alarm.Update(0.6, 30.5, "max"));   // ... so the next crossing fires
    // A reading already above fires at once, also after a new threshold.
    TAlarm fresh;
    fresh.SetThreshold(10.0);
    EXPECT_TRUE(fresh.Update(0.0, 11.0, "max"));
    fresh.SetThreshold(10.5);
    EXPECT_TRUE(fresh.Update(0.1, 11.0, "max"));
}

}  // namespace
