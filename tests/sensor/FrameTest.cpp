// Supply voltage, ambient temperature, object temperatures and image values.
#include "sensor/MLX90640_API.h"
#include "sensor/SensorTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace sensor_test;

namespace {

constexpr double kUnwritten = -12345.0;

std::vector<int> WrittenPixels(const std::vector<uint16_t> &frame, const TParamsMLX90640 &r,
                               bool image = false) {
    std::vector<double> out(768, kUnwritten);
    if (image)
        MLX90640_GetImage(frame.data(), r, out.data());
    else
        MLX90640_CalculateTo(frame.data(), r, 1.0, 17.0, out.data());
    std::vector<int> written;
    for (int p = 0; p < 768; ++p)
        if (out[p] != kUnwritten)
            written.push_back(p);
    return written;
}

TEST(FrameSubpage, InterleavedWritesAlternateRows) {
    const TParamsMLX90640 r = Extract(SimpleFields());
    for (int sub = 0; sub < 2; ++sub) {
        for (bool image : {false, true}) {
            const std::vector<int> written = WrittenPixels(SimpleFrame(300, false, sub), r, image);
            ASSERT_EQ(written.size(), 384u);
            for (int p : written)
                EXPECT_EQ((p / 32) % 2, sub) << p;
        }
    }
}

TEST(FrameSubpage, ChessWritesOneColourOfTheBoard) {
    const TParamsMLX90640 r = Extract(SimpleFields());
    for (int sub = 0; sub < 2; ++sub) {
        for (bool image : {false, true}) {
            const std::vector<int> written = WrittenPixels(SimpleFrame(300, true, sub), r, image);
            ASSERT_EQ(written.size(), 384u);
            for (int p : written)
                EXPECT_EQ((p / 32 + p % 32) % 2, sub) << p;
        }
    }
    const std::vector<int> even = WrittenPixels(SimpleFrame(300, true, 0), r);
    EXPECT_EQ(even[0], 0);
    EXPECT_EQ(even[15], 30);
    EXPECT_EQ(even[16], 33);
}

TEST(FrameSubpage, SubpageWordTwoWritesNothing) {
    const TParamsMLX90640 r = Extract(SimpleFields());
    EXPECT_TRUE(WrittenPixels(SimpleFrame(300, true, 2), r).empty());
    EXPECT_TRUE(WrittenPixels(SimpleFrame(300, false, 2), r, true).empty());
}

TEST(SupplyAndAmbient, ResolutionCorrectionAndNominalSupply) {
    TParamsMLX90640 r = Extract(SimpleFields());  // resolutionEE 2, vdd25 -13088
    std::vector<uint16_t> d = SimpleFrame(0, true, 0);
    EXPECT_EQ(MLX90640_GetVdd(d.data(), r), 3.3);  // equal resolutions: factor 1
    d[832] = 0x1000 | (3 << 10);
    d[810] = Word(-26176);  // factor 0.5
    EXPECT_EQ(MLX90640_GetVdd(d.data(), r), 3.3);
    d[832] = 0x1000 | (1 << 10);
    d[810] = Word(-6544);  // factor 2
    EXPECT_EQ(MLX90640_GetVdd(d.data(), r), 3.3);
    d[810] = Word(-6544 + 1584);  // +3168 after correction: 1 V less
    EXPECT_DOUBLE_EQ(MLX90640_GetVdd(d.data(), r), 2.3);
}

TEST(SupplyAndAmbient, AmbientFromPtatWords) {
    TCalibrationFields f = SimpleFields();
    f.kvPtatCode = 9;
    const TParamsMLX90640 r = Extract(f);
    std::vector<uint16_t> d = SimpleFrame(0, true, 0);
    // At 3.3 V the supply term vanishes.
    const double ptatArt = 1600.0 / (1600.0 * 9 + 19776) * 262144;
    EXPECT_DOUBLE_EQ(MLX90640_GetTa(d.data(), r), (ptatArt - 12273) / 42.25 + 25);
    // 1 V lower supply scales the PTAT reading by 1 / (1 - KvPTAT).
    d[810] = Word(-13088 + 3168);
    EXPECT_DOUBLE_EQ(MLX90640_GetTa(d.data(), r), (ptatArt / (1 - 9 / 4096.0) - 12273) / 42.25 + 25);
    // A negative PTAT reading is read as signed.
    d[800] = Word(-1600);
    d[768] = Word(-19776);
    EXPECT_DOUBLE_EQ(MLX90640_GetTa(d.data(), r), (ptatArt / (1 - 9 / 4096.0) - 12273) / 42.25 + 25);
}

TEST(ObjectTemperature, SimpleCalibrationFollowsStefanBoltzmann) {
    const TParamsMLX90640 r = Extract(SimpleFields());
    for (int raw : {-200, 0, 350, 4000}) {
        const std::vector<uint16_t> d = SimpleFrame(raw, true, 1);
        const double ta = MLX90640_GetTa(d.data(), r);
        const double taK = ta + 273.15;
        std::vector<double> out(768, kUnwritten);
        MLX90640_CalculateTo(d.data(), r, 1.0, ta - 8, out.data());
        for (int p : {1, 32, 100, 766}) {
            const double expected =
                std::sqrt(std::sqrt((raw + 70) / r.alpha[p] + taK * taK * taK * taK)) - 273.15;
            EXPECT_NEAR(out[p], expected, 1e-9 * std::fabs(expected) + 1e-12) << raw << " " << p;
        }
    }
}

TEST(ObjectTemperature, EmissivityOneIgnoresReflectedTemperatureAndZeroGivesNaN) {
    const TParamsMLX90640 r = Extract(RealisticCalibrationFields());
    const std::vector<uint16_t> d = SimpleFrame(1200, true, 0);
    std::vector<double> a(768, kUnwritten), b(768, kUnwritten), c(768, kUnwritten), e(768, kUnwritten);
    MLX90640_CalculateTo(d.data(), r, 1.0, 17.0, a.data());
    MLX90640_CalculateTo(d.data(), r, 1.0, -60.0, b.data());
    EXPECT_EQ(a, b);
    // Below 1 the reflected temperature does matter.
    MLX90640_CalculateTo(d.data(), r, 0.9, -60.0, c.data());
    MLX90640_CalculateTo(d.data(), r, 0.9, 60.0, e.data());
    EXPECT_NE(c[0], e[0]);
    std::vector<double> z(768, kUnwritten);
    MLX90640_CalculateTo(d.data(), r, 0.0, 17.0, z.data());
    for (int p = 0; p < 768; ++p) {
        if ((p / 32 + p % 32) % 2 == 0)
            EXPECT_TRUE(std::isnan(z[p])) << p;
        else
            EXPECT_EQ(z[p], kUnwritten) << p;
    }
}

TEST(ObjectTemperature, ZeroRecordAndZeroGainGiveNonFiniteValuesWithoutStopping) {
    const TParamsMLX90640 zero{};
    const std::vector<uint16_t> d = SimpleFrame(500, true, 0);
    EXPECT_FALSE(std::isfinite(MLX90640_GetVdd(d.data(), zero)));
    EXPECT_TRUE(std::isnan(MLX90640_GetTa(d.data(), zero)));
    std::vector<double> out(768, kUnwritten);
    MLX90640_CalculateTo(d.data(), zero, 1.0, 17.0, out.data());
    EXPECT_TRUE(std::isnan(out[0]));
    EXPECT_TRUE(std::isnan(out[767]));

    const TParamsMLX90640 r = Extract(SimpleFields());
    std::vector<uint16_t> g = SimpleFrame(500, true, 0);
    g[778] = 0;
    std::vector<double> o2(768, kUnwritten);
    MLX90640_CalculateTo(g.data(), r, 1.0, 17.0, o2.data());
    for (int p = 0; p < 768; ++p)
        if ((p / 32 + p % 32) % 2 == 0) {
            EXPECT_FALSE(std::isfinite(o2[p])) << p;
        }
}

// Image value of the simple calibration: (raw - offset) / alpha / 100.
TEST(ImageValues, IndependentOfEmissivityAndReflectedTemperature) {
    const TParamsMLX90640 r = Extract(SimpleFields());
    const std::vector<uint16_t> d = SimpleFrame(900, false, 1);
    std::vector<double> img(768, kUnwritten);
    MLX90640_GetImage(d.data(), r, img.data());
    for (int p : {32, 33, 127, 767})
        EXPECT_DOUBLE_EQ(img[p], (900.0 + 70) / r.alpha[p] / 100) << p;
    EXPECT_EQ(img[0], kUnwritten);
}

// Chess calibration read with the interleaved pattern: the ilChessC terms.
TEST(ImageValues, ChessCorrectionTermsWhenPatternDiffersFromCalibration) {
    TCalibrationFields plain = SimpleFields();
    TCalibrationFields corrected = SimpleFields();
    corrected.ilChessC0Code = 8;   // 0.5
    corrected.ilChessC1Code = 5;   // 2.5
    corrected.ilChessC2Code = -6;  // -0.75
    corrected.tgcCode = 16;        // 0.5: shows the ilChessC[0] term of the subpage-1 compensation pixel
    plain.tgcCode = 16;
    const TParamsMLX90640 a = Extract(plain), b = Extract(corrected);
    const double c0 = 0.5, c1 = 2.5, c2 = -0.75, tgc = 0.5;

    auto imageDiff = [&](bool chess, int sub, int p) {
        const std::vector<uint16_t> d = SimpleFrame(900, chess, sub);
        std::vector<double> ia(768, kUnwritten), ib(768, kUnwritten);
        MLX90640_GetImage(d.data(), a, ia.data());
        MLX90640_GetImage(d.data(), b, ib.data());
        EXPECT_NE(ib[p], kUnwritten) << p;
        return (ib[p] - ia[p]) * a.alpha[p] * 100;  // difference in signal counts
    };
    // Interleaved frame, chess calibration.
    EXPECT_NEAR(imageDiff(false, 0, 1), -c2 + c1, 1e-9);
    EXPECT_NEAR(imageDiff(false, 1, 33), c2 - c1 + tgc * c0, 1e-9);
    EXPECT_NEAR(imageDiff(false, 0, 0), -c2, 1e-9);
    EXPECT_NEAR(imageDiff(false, 0, 2), -c2, 1e-9);
    EXPECT_NEAR(imageDiff(false, 1, 34), c2 + tgc * c0, 1e-9);
    EXPECT_NEAR(imageDiff(false, 0, 3), -c2 - c1, 1e-9);
    // Pattern as calibrated: no correction at all.
    EXPECT_EQ(imageDiff(true, 0, 1 + 32), 0.0);
    EXPECT_EQ(imageDiff(true, 1, 1), 0.0);
}

// Ranges with ksTo[1] = 0, so the first estimate is the plain Stefan-Boltzmann value.
TCalibrationFields RangeFields() {
    TCalibrationFields f = SimpleFields();
    f.ksToScaleCode = 2;  // ksTo = code / 1024
    f.ksToCode[0] = 5;
    f.ksToCode[1] = 0;
    f.ksToCode[2] = -2;
    f.ksToCode[3] = 3;
    return f;
}

TEST(ObjectTemperature, RangeFactorsUseTheirOwnKsToEntries) {
    const TParamsMLX90640 r = Extract(RangeFields());
    const double k0 = 5 / 1024.0, k2 = -2 / 1024.0, k3 = 3 / 1024.0;
    int rangesSeen[4] = {0, 0, 0, 0};
    for (int raw : {-600, 200, 2500, 9000}) {
        const std::vector<uint16_t> d = SimpleFrame(raw, true, 0);
        const double ta = MLX90640_GetTa(d.data(), r);
        const double ta4 = std::pow(ta + 273.15, 4);
        std::vector<double> out(768, kUnwritten);
        MLX90640_CalculateTo(d.data(), r, 1.0, ta - 8, out.data());
        const int p = 66;
        const double signal = raw + 70.0;
        const double first = std::sqrt(std::sqrt(signal / r.alpha[p] + ta4)) - 273.15;
        double factor;
        if (first < 0) {
            factor = 1 / (1 + k0 * 40) * (1 + k0 * (first + 40));
            ++rangesSeen[0];
        } else if (first < 100) {
            factor = 1;
            ++rangesSeen[1];
        } else if (first < 200) {
            factor = (1 + k2 * 100) * (1 + k2 * (first - 100));
            ++rangesSeen[2];
        } else {
            factor = (1 + k2 * 100) * (1 + k3 * 100) * (1 + k3 * (first - 200));
            ++rangesSeen[3];
        }
        const double expected = std::sqrt(std::sqrt(signal / (r.alpha[p] * factor) + ta4)) - 273.15;
        EXPECT_NEAR(out[p], expected, 1e-9 * std::fabs(expected)) << raw << " first estimate " << first;
    }
    for (int range = 0; range < 4; ++range)
        EXPECT_EQ(rangesSeen[range], 1) << range;
}

TEST(ObjectTemperature, BoundaryBelongsToTheUpperRange) {
    const TParamsMLX90640 r = Extract(RangeFields());
    const int p = 64, raw = 1000;
    std::vector<uint16_t> d = SimpleFrame(raw, true, 0);
    const double ta = MLX90640_GetTa(d.data(), r);
    const double taK = ta + 273.15;
    const double ta4 = taK * taK * taK * taK;
    const double signal = raw + 70.0;

    // Find the emissivity at which the first estimate is exactly ct[2] = 100 °C
    // (with tr = ta the reflected term is ta^4 whatever the emissivity).
    const double s = 273.15 + 100.0;
    double y = s * s * s * s;
    for (int k = 0; k < 64 && std::sqrt(std::sqrt(y)) != s; ++k)
        y = std::nextafter(y, std::sqrt(std::sqrt(y)) < s ? INFINITY : 0.0);
    ASSERT_EQ(std::sqrt(std::sqrt(y)) - 273.15, 100.0);
    auto firstEstimate = [&](double e) {
        return std::sqrt(std::sqrt(signal / e / r.alpha[p] + ta4)) - 273.15;
    };
    double e = signal / (r.alpha[p] * (y - ta4));
    for (int k = 0; k < 4096 && firstEstimate(e) != 100.0; ++k)
        e = std::nextafter(e, firstEstimate(e) > 100.0 ? INFINITY : 0.0);
    ASSERT_EQ(firstEstimate(e), 100.0);

    std::vector<double> out(768, kUnwritten);
    MLX90640_CalculateTo(d.data(), r, e, ta, out.data());
    // Range 2 at the boundary: factor 1 + ksTo[2] * ct[2] instead of range 1's 1.
    const double upper =
        std::sqrt(std::sqrt(signal / e / (r.alpha[p] * (1 - 2 / 1024.0 * 100)) + ta4)) - 273.15;
    EXPECT_NEAR(out[p], upper, 1e-9 * upper);
    EXPECT_GT(out[p], 100.5);
    // Just below the boundary range 1 applies and the first estimate stands.
    double below = e;
    while (firstEstimate(below) >= 100.0)
        below = std::nextafter(below, INFINITY);
    MLX90640_CalculateTo(d.data(), r, below, ta, out.data());
    EXPECT_NEAR(out[p], 100.0, 1e-9);
}

}  // namespace
