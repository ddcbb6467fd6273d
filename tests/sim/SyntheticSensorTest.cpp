// Frame synthesiser: scenes rendered to raw words read back through the
// temperature maths.
#include "sim/SyntheticSensor.h"

#include "sensor/MLX90640_API.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

TParamsMLX90640 Realistic(uint32_t seed = 1) {
    TParamsMLX90640 r{};
    const std::vector<uint16_t> w = RealisticCalibration({{}, {}, seed});
    MLX90640_ExtractParameters(w.data(), r);
    return r;
}

// Scenes across the supported span -20..300 °C.
std::vector<double> Scene(int kind) {
    std::vector<double> s(768);
    for (int p = 0; p < 768; ++p) {
        const int row = p / 32, col = p % 32;
        switch (kind) {
        case 0: s[p] = 22.0; break;                       // uniform room
        case 1: s[p] = -20.0 + 320.0 * p / 767.0; break;  // full ramp
        case 2: s[p] = 20 + 15 * std::exp(-((row - 12) * (row - 12) + (col - 16) * (col - 16)) / 30.0); break;
        default: s[p] = ((row / 4 + col / 4) % 2) ? 295.0 : -18.0; break;  // hard checkerboard
        }
    }
    return s;
}

int ToInt(uint16_t w) {
    return static_cast<int16_t>(w);
}

TEST(Synthesizer, ScenesReadBackWithinOneCount) {
    struct Case {
        int scene;
        double ta, vdd;
        bool chess;
        int subpage;
        double emissivity;
        int resolution;
        uint32_t seed;
    };
    const Case cases[] = {
        {0, 25.0, 3.3, true, 0, 1.0, -1, 1},   {1, 31.5, 3.28, true, 1, 1.0, -1, 2},
        {2, 12.0, 3.32, false, 0, 1.0, -1, 3}, {3, 40.0, 3.3, false, 1, 1.0, 3, 4},
        {1, 25.0, 3.3, true, 0, 0.95, 0, 5},   {3, -5.0, 3.25, true, 1, 0.8, 2, 6},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "scene " << c.scene << " ta " << c.ta << " chess " << c.chess
                                        << " subpage " << c.subpage << " emissivity " << c.emissivity);
        const TParamsMLX90640 r = Realistic(c.seed);
        const std::vector<double> scene = Scene(c.scene);
        TFrameConditions cond;
        cond.ta = c.ta;
        cond.vdd = c.vdd;
        cond.chess = c.chess;
        cond.subpage = c.subpage;
        cond.emissivity = c.emissivity;
        cond.resolution = c.resolution;
        const TFrameSynthesizer synth(r);
        std::vector<uint16_t> frame = synth.Render(scene.data(), cond);
        ASSERT_EQ(frame.size(), 834u);
        EXPECT_EQ(frame[833], c.subpage);
        EXPECT_EQ((frame[832] & 0x1000) != 0, c.chess);
        EXPECT_EQ((frame[832] >> 10) & 3, c.resolution < 0 ? r.resolutionEE : c.resolution);

        const double ta = MLX90640_GetTa(frame.data(), r);
        EXPECT_NEAR(MLX90640_GetVdd(frame.data(), r), c.vdd, 0.001);
        EXPECT_NEAR(ta, c.ta, 0.02);

        std::vector<double> out(768, NAN);
        MLX90640_CalculateTo(frame.data(), r, c.emissivity, ta - 8, out.data());
        int written = 0;
        for (int p = 0; p < 768; ++p) {
            if (std::isnan(out[p]))
                continue;
            ++written;
            const double error = std::fabs(out[p] - scene[p]);
            ASSERT_LT(error, 0.1) << p;  // about 0.05 °C at room temperature
            // The word is the nearest integer: neither neighbour reads closer, and the
            // error is at most half the step to the neighbouring words.
            double stepSize = 0;
            for (int step : {-1, 1}) {
                std::vector<uint16_t> other = frame;
                other[p] = static_cast<uint16_t>(ToInt(frame[p]) + step);
                std::vector<double> o2(768, NAN);
                MLX90640_CalculateTo(other.data(), r, c.emissivity, ta - 8, o2.data());
                ASSERT_GE(std::fabs(o2[p] - scene[p]), error) << p << " step " << step;
                stepSize = std::max(stepSize, std::fabs(o2[p] - out[p]));
            }
            ASSERT_LE(error, stepSize / 2 + 1e-9) << p;
        }
        EXPECT_EQ(written, 384);
    }
}

TEST(Synthesizer, OtherSubpagePixelsFollowTheSceneToo) {
    const TParamsMLX90640 r = Realistic();
    const std::vector<double> scene = Scene(2);
    TFrameConditions cond;
    cond.subpage = 1;
    const std::vector<uint16_t> frame = TFrameSynthesizer(r).Render(scene.data(), cond);
    // Read the same words back as subpage 0: the skipped half also holds the scene
    // (within the small compensation-pixel difference between the subpages).
    std::vector<uint16_t> asOther = frame;
    asOther[833] = 0;
    std::vector<double> out(768, NAN);
    const double ta = MLX90640_GetTa(frame.data(), r);
    MLX90640_CalculateTo(asOther.data(), r, 1.0, ta - 8, out.data());
    for (int p = 0; p < 768; ++p) {
        if ((p / 32 + p % 32) % 2 == 0) {
            EXPECT_NEAR(out[p], scene[p], 0.3) << p;
        }
    }
}

TEST(Synthesizer, OneShotFormsAgreeWithTheObjectAndRejectBadSubpage) {
    const TParamsMLX90640 r = Realistic();
    double grid[24][32];
    for (int i = 0; i < 24; ++i)
        for (int j = 0; j < 32; ++j)
            grid[i][j] = 30 + i - j;
    TFrameConditions cond;
    cond.ta = 27;
    cond.vdd = 3.31;
    cond.chess = false;
    cond.subpage = 1;
    const std::vector<uint16_t> a = TFrameSynthesizer(r).Render(&grid[0][0], cond);
    EXPECT_EQ(SynthesizeFrame(r, grid, 27, 3.31, false, 1), a);
    EXPECT_EQ(SynthesizeFrame(r, &grid[0][0], 27, 3.31, false, 1), a);
    EXPECT_THROW(SynthesizeFrame(r, grid, 27, 3.3, true, 2), std::invalid_argument);
}

TEST(Synthesizer, BrokenPixelCalibrationStillRenders) {
    TParamsMLX90640 r{};
    const std::vector<uint16_t> w = RealisticCalibration({{101}, {301}, 9});
    MLX90640_ExtractParameters(w.data(), r);
    const std::vector<double> scene = Scene(0);
    const std::vector<uint16_t> frame = SynthesizeFrame(r, scene.data(), 25, 3.3, true, 0);
    std::vector<double> out(768, NAN);
    MLX90640_CalculateTo(frame.data(), r, 1.0, MLX90640_GetTa(frame.data(), r) - 8, out.data());
    EXPECT_NEAR(out[301], 22.0, 0.06);  // an outlier's calibration is still used as it is
    EXPECT_TRUE(std::isfinite(out[101]));
}

}  // namespace
