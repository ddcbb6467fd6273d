// The sensor image object: construction, frames from a synthetic sensor, the
// published state, flags, and agreement with the step-by-step definition.
#include "pipeline/ColorMap.h"
#include "pipeline/Interpolation.h"
#include "pipeline/MLX90640.h"
#include "pipeline/PictureReference.h"
#include "pipeline/PictureRender.h"
#include "pipeline/SensorFixture.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(SensorImageObject, ConstructionDefaults) {
    TMLX90640 obj;
    EXPECT_EQ(obj.GetPixColCount(), 32);
    EXPECT_EQ(obj.GetPixRowCount(), 24);
    EXPECT_EQ(obj.GetRAMArr(), TUINT16s(834, 0));
    EXPECT_EQ(obj.GetEEPROMArr(), TUINT16s(832, 0));
    EXPECT_EQ(obj.GetRegisterArr(), std::vector<int32_t>(23, 0));
    EXPECT_EQ(obj.GetVdd(), 0.0);
    EXPECT_EQ(obj.GetTa(), 0.0);
    EXPECT_EQ(obj.GetEmissivity(), 0.95);
    EXPECT_FALSE(obj.GetSlugg());
    EXPECT_TRUE(obj.GetBrokenPixsCorr());
    EXPECT_EQ(obj.GetPixsType(), PXT_Temp);
    EXPECT_FALSE(obj.GetMirror_LR());
    EXPECT_EQ(obj.GetPixs_Origin(), MakePixels(32, 24));
    EXPECT_EQ(obj.GetMinPix(), TPixel{});
    EXPECT_EQ(obj.GetMaxPix(), TPixel{});
    EXPECT_EQ(obj.GetTemperatureAvg(), 0.0);
    EXPECT_TRUE(obj.GetPixs_Interpolation()->empty());
    EXPECT_EQ(obj.GetInterMethodFirst(), IM_Poly3);
    EXPECT_EQ(obj.GetInterMethodSecond(), IM_Poly1);
    EXPECT_FALSE(obj.GetFilter());
    EXPECT_EQ(obj.GetFilterMethod(), 0);
    EXPECT_EQ(obj.GetFilterPixsCount(), 5);
    EXPECT_EQ(obj.GetGaussSigma(), 1.5);
    EXPECT_FALSE(obj.GetTemperatureStep());
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 45.0);
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), 0.0);
    EXPECT_TRUE(obj.GetTemperature_UpLowAuto());
    EXPECT_EQ(obj.GetTempToColorConverMeth(), CM_GrayColor);
    EXPECT_EQ(obj.GetGrayColor_SubMeth(), GCM_Gray);
    EXPECT_EQ(obj.GetContinuColor_K(), CCK_1_0);
    const TBitmap24 bmp = obj.GetBmpPic();
    EXPECT_EQ(bmp.Width(), 512);
    EXPECT_EQ(bmp.Height(), 384);
    EXPECT_EQ(bmp, TBitmap24(512, 384));
    EXPECT_FALSE(obj.GetHaveNewDatas());
    EXPECT_FALSE(obj.GetFrame0Finished());
    EXPECT_FALSE(obj.GetFrame1Finished());
    EXPECT_FALSE(obj.GetPublished());
    EXPECT_EQ(GrayToContinuColor_ClassNum.load(), 1);
    // Setters store without checking.
    obj.SetFilterMethod(-1);
    obj.SetGaussSigma(-2.0);
    obj.SetRegisterArr({1, 2, 3});
    EXPECT_EQ(obj.GetFilterMethod(), -1);
    EXPECT_EQ(obj.GetGaussSigma(), -2.0);
    EXPECT_EQ(obj.GetRegisterArr(), (std::vector<int32_t>{1, 2, 3}));
}

struct ObjectFixture : ::testing::Test {
    static TSyntheticSensor &Sensor() {
        static TSyntheticSensor sensor;
        return sensor;
    }
    TMLX90640 obj;

    void SetUp() override {
        ApplyWindowDefaults(obj);
        ASSERT_TRUE(obj.SetEEPROMArr(Sensor().calibration));
    }
    // Both subpages of a scene, subpage 0 first.
    void Feed(const std::vector<double> &scene) {
        ASSERT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 0)));
        ASSERT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 1)));
    }
};

TEST_F(ObjectFixture, EndToEndHotSpotLandsMirroredAtItsPicturePixel) {
    const int row = 10, column = 7;
    Feed(HotSpotScene(22.0, row, column, 40.0));
    const auto state = obj.GetPublished();
    ASSERT_TRUE(state);
    const TPixels &pic = *state->Pixs_Interpolation;
    ASSERT_EQ(pic.size(), 512u);
    int bestX = -1, bestY = -1;
    double best = -1e300;
    for (int x = 0; x < 512; ++x)
        for (int y = 0; y < 384; ++y)
            if (pic[x][y].Temperature > best) {
                best = pic[x][y].Temperature;
                bestX = x;
                bestY = y;
            }
    const int mirrored = 31 - column;
    EXPECT_EQ(bestX, 16 * mirrored + 9);
    EXPECT_EQ(bestY, 16 * row + 9);
    EXPECT_NEAR(best, 40.0, 0.1);
    EXPECT_EQ(obj.GetMaxPix().X, mirrored);
    EXPECT_EQ(obj.GetMaxPix().Y, row);
    EXPECT_NEAR(obj.GetMaxPix().Temperature, 40.0, 0.1);
    EXPECT_NEAR(obj.GetMinPix().Temperature, 22.0, 0.1);
    EXPECT_NEAR(obj.GetTemperatureAvg(), (767 * 22.0 + 40.0) / 768, 0.05);
    EXPECT_NEAR(obj.GetVdd(), 3.3, 0.01);
    EXPECT_NEAR(obj.GetTa(), 25.0, 0.1);
    // Above the upper limit 35 the Pseudo2 palette gives pure red.
    EXPECT_EQ(state->BmpPic.Pixel(bestX, bestY), 0x000000FF);
    EXPECT_EQ(obj.GetPixs_Origin()[mirrored][row].Color, 0x000000FF);
    // The bitmap holds the picture grid's colours, column x to column x.
    for (int y = 0; y < 384; ++y)
        for (int x = 0; x < 512; ++x) {
            const TPixel &p = pic[x][y];
            ASSERT_EQ(state->BmpPic.Pixel(x, y), p.ColorB << 16 | p.ColorG << 8 | p.ColorR) << x << " " << y;
            ASSERT_EQ(p.X, x);
            ASSERT_EQ(p.Y, y);
            ASSERT_TRUE(p.Useable);
        }
    EXPECT_TRUE(obj.GetHaveNewDatas());
    EXPECT_TRUE(obj.GetFrame0Finished());
    EXPECT_TRUE(obj.GetFrame1Finished());
    EXPECT_EQ(state->FrameNumber, 2u);
    EXPECT_EQ(state->Subpage, 1);
    EXPECT_EQ(state->MaxPix, obj.GetMaxPix());
    EXPECT_EQ(state->Vdd, obj.GetVdd());
    EXPECT_EQ(obj.GetRAMArr(), Sensor().Frame(HotSpotScene(22.0, row, column, 40.0), 1));
    EXPECT_EQ(obj.GetEEPROMArr(), Sensor().calibration);
}

// The published frame against the picture computed step by step from its sensor
// grid, as the separate operations define it: picture temperatures, grey values,
// colours, the grid of records, the bitmap, the filter's step range and the
// sensor grid's colours.
void ExpectPictureMatchesDefinition(const TMLX90640 &obj) {
    const auto state = obj.GetPublished();
    ASSERT_TRUE(state);
    EXPECT_FALSE(state->Pixs_Interpolation.IsBuilt());  // the worker leaves the records to their readers
    TPictureSettings s;
    s.PointsFirst = InterMethodPoints(obj.GetInterMethodFirst());
    s.PointsSecond = InterMethodPoints(obj.GetInterMethodSecond());
    s.Filter = obj.GetFilter();
    s.FilterPixsCount = obj.GetFilterPixsCount();
    s.FilterMethod = obj.GetFilterMethod();
    s.GaussSigma = obj.GetGaussSigma();
    s.TemperatureStep = obj.GetTemperatureStep();
    s.LowerLimit = state->Temperature_LowerLimit;
    s.UpperLimit = state->Temperature_UpperLimit;
    TColorScheme scheme;
    scheme.Method = obj.GetTempToColorConverMeth();
    scheme.Palette = obj.GetGrayColor_SubMeth();
    scheme.Coefficient = obj.GetContinuColor_K();
    scheme.ClassNum = GrayToContinuColor_ClassNum.load();
    s.Colors = BuildColorTable(scheme);

    const double objectMin = minStep, objectMax = maxStep;
    const TPixels want = ReferencePicture(state->Pixs_Origin, s);
    EXPECT_TRUE(SameBits(minStep, objectMin));
    EXPECT_TRUE(SameBits(maxStep, objectMax));
    ExpectSamePicture(state->Picture, state->BmpPic, want);
    const TPixels &got = *state->Pixs_Interpolation;
    ASSERT_EQ(got.size(), 512u);
    for (int i = 0; i < 512; ++i)
        for (int j = 0; j < 384; ++j)
            ASSERT_TRUE(SameRecord(got[i][j], want[i][j])) << i << " " << j;
    // The sensor grid is coloured with the same limits.
    for (int c = 0; c < 32; ++c)
        for (int r = 0; r < 24; ++r) {
            TPixel p = state->Pixs_Origin[c][r];
            const TPixel before = p;
            ColorPixel(p, s.LowerLimit, s.UpperLimit, s.Colors);
            if (s.Colors.Produces) {
                ASSERT_EQ(p, before) << c << " " << r;
            }
        }
}

std::vector<double> WavyScene() {
    std::vector<double> scene(768);
    for (int p = 0; p < 768; ++p)
        scene[p] = 27.0 + 14.0 * std::sin(p * 0.37) + (p % 32) * 0.02;  // 13 .. 41.6
    return scene;
}

TEST_F(ObjectFixture, PictureMatchesTheStepByStepDefinition) {
    const std::vector<double> scene = WavyScene();
    // The window's start-up settings.
    Feed(scene);
    ExpectPictureMatchesDefinition(obj);
    // Heavy: cubic passes, Gaussian filter, continuous colouring, automatic range.
    obj.SetInterMethodFirst(IM_Poly3);
    obj.SetInterMethodSecond(IM_Poly3);
    obj.SetFilter(true);
    obj.SetFilterMethod(2);
    obj.SetFilterPixsCount(9);
    obj.SetTempToColorConverMeth(CM_ContinuColor);
    GrayToContinuColor_ClassNum = 2;
    obj.SetTemperature_UpLowAuto(true);
    Feed(scene);
    ExpectPictureMatchesDefinition(obj);
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), 10.0);  // floor 13, down to a multiple of 5
    EXPECT_EQ(obj.GetTemperature_UpperLimit(), 45.0);  // ceil 42, up to a multiple of 5
    // Quadratic and weighted filter with an even side, a palette.
    obj.SetInterMethodFirst(IM_Poly2);
    obj.SetFilterMethod(1);
    obj.SetFilterPixsCount(4);
    obj.SetTempToColorConverMeth(CM_GrayColor);
    obj.SetGrayColor_SubMeth(GCM_Metal2);
    Feed(scene);
    ExpectPictureMatchesDefinition(obj);
    // Step display mode, and a method that produces no colours.
    obj.SetTemperatureStep(true);
    Feed(scene);
    ExpectPictureMatchesDefinition(obj);
    obj.SetTemperatureStep(false);
    obj.SetTempToColorConverMeth(CM_DenLayer);
    Feed(scene);
    ExpectPictureMatchesDefinition(obj);
    // The picture grid is new each frame: no colours at all; the sensor grid keeps
    // the colours it had.
    const auto state = obj.GetPublished();
    EXPECT_EQ((*state->Pixs_Interpolation)[100][100].Color, 0);
    EXPECT_EQ(state->BmpPic.Pixel(100, 100), 0);
    EXPECT_NE(state->Pixs_Origin[5][5].Color, 0);
    GrayToContinuColor_ClassNum = 1;
}

// The sensor-side options with both kernel widths: mirroring, the image mode,
// temporal smoothing, the automatic range on and off, with the filter and
// colouring varied alongside.
TEST(SensorImageObject, PictureMatchesTheDefinitionForSensorOptions) {
    const TSyntheticSensor sensor;
    const std::vector<double> scene = WavyScene();
    ForEachLaneWidth([&] {
        TMLX90640 obj;
        ApplyWindowDefaults(obj);
        ASSERT_TRUE(obj.SetEEPROMArr(sensor.calibration));
        auto feed = [&](const std::vector<double> &sc) {
            ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(sc, 0)));
            ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(sc, 1)));
        };
        obj.SetMirror_LR(false);
        obj.SetInterMethodFirst(IM_Poly3);
        obj.SetInterMethodSecond(IM_Poly2);
        obj.SetGrayColor_SubMeth(GCM_Veska);
        feed(scene);
        ExpectPictureMatchesDefinition(obj);
        // Relative image values with the automatic range.
        obj.SetPixsType(PXT_Image);
        obj.SetTemperature_UpLowAuto(true);
        obj.SetFilter(true);
        obj.SetFilterMethod(0);
        obj.SetFilterPixsCount(1);
        feed(scene);
        ExpectPictureMatchesDefinition(obj);
        // Temperatures again, smoothed over frames, fixed range, continuous class 3.
        obj.SetPixsType(PXT_Temp);
        obj.SetSlugg(true);
        obj.SetTemperature_UpLowAuto(false);
        obj.SetTemperature_LowerLimit(20.0);
        obj.SetTemperature_UpperLimit(32.5);
        obj.SetTempToColorConverMeth(CM_ContinuColor);
        obj.SetContinuColor_K(CCK_1_5);
        GrayToContinuColor_ClassNum = 3;
        obj.SetFilterMethod(2);
        obj.SetFilterPixsCount(5);
        obj.SetGaussSigma(0.8);
        feed(HotSpotScene(24.0, 12, 20, 36.0));
        ExpectPictureMatchesDefinition(obj);
        GrayToContinuColor_ClassNum = 1;
    });
}

// The records of the picture grid are made when a reader first asks, once: the
// same grid for every later reader and for copies, none for a frame nobody reads,
// and a grid nobody holds any more serves a later frame.
TEST_F(ObjectFixture, PictureRecordsAreBuiltOnFirstUseOnly) {
    Feed(HotSpotScene(20.0, 5, 5, 30.0));
    auto state = obj.GetPublished();
    ASSERT_TRUE(state->Pixs_Interpolation);
    EXPECT_FALSE(state->Pixs_Interpolation.IsBuilt());
    const TPixels *first = state->Pixs_Interpolation.get();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(state->Pixs_Interpolation.IsBuilt());
    EXPECT_EQ(state->Pixs_Interpolation.get(), first);
    EXPECT_EQ(obj.GetPixs_Interpolation().get(), first);
    EXPECT_EQ(&*state->Pixs_Interpolation, first);
    EXPECT_EQ(state->Pixs_Interpolation->size(), 512u);
    const TLazyPixels copy = state->Pixs_Interpolation;
    EXPECT_EQ(copy.get(), first);
    EXPECT_TRUE(copy == obj.GetPixs_Interpolation());
    // Flat values and records agree.
    EXPECT_EQ(state->Picture.Temperature(300, 200), (*first)[300][200].Temperature);
    EXPECT_EQ(state->Picture.Color(300, 200), (*first)[300][200].Color);
    EXPECT_EQ(state->BmpPic.Pixel(300, 200), (*first)[300][200].Color);

    // A frame nobody reads gets no records.
    Feed(HotSpotScene(21.0, 6, 6, 31.0));
    EXPECT_FALSE(obj.GetPublished()->Pixs_Interpolation.IsBuilt());
    // Once nobody holds the first grid, a later frame's records reuse it.
    state.reset();
    Feed(HotSpotScene(22.0, 7, 7, 32.0));
    EXPECT_EQ(copy.get(), first);  // the copy holds it still
    const TPixels copied = *copy;
    const TPixels *next = obj.GetPublished()->Pixs_Interpolation.get();
    EXPECT_NE(next, first);
    EXPECT_EQ(*copy, copied);

    // Built elsewhere and handed over, as the window does for a readout before
    // the first frame; empty.
    TLazyPixels given;
    EXPECT_FALSE(given);
    EXPECT_EQ(given.get(), nullptr);
    const auto grid = std::make_shared<const TPixels>(MakePixels(2, 3));
    given = grid;
    EXPECT_TRUE(given);
    EXPECT_EQ(given.get(), grid.get());
    EXPECT_TRUE(given == grid);
    given = std::shared_ptr<const TPixels>();
    EXPECT_FALSE(given);
}

TEST_F(ObjectFixture, ReleasedPictureGridsAreReused) {
    Feed(HotSpotScene(20.0, 5, 5, 30.0));
    const TPixels *first = obj.GetPublished()->Pixs_Interpolation.get();
    Feed(HotSpotScene(21.0, 6, 6, 31.0));  // the first frame's state and grid go back
    EXPECT_EQ(obj.GetPublished()->Pixs_Interpolation.get(), first);
    const TPixels want = [&] {
        TPixels g;
        obj.GetPublished()->Picture.FillGrid(g);
        return g;
    }();
    EXPECT_EQ(*obj.GetPublished()->Pixs_Interpolation, want);
}

TEST_F(ObjectFixture, OptionsTakeEffectWithTheNextFrameOnly) {
    const auto scene = HotSpotScene(22.0, 3, 4, 33.0);
    Feed(scene);
    const auto state = obj.GetPublished();
    const TBitmap24 bmp = obj.GetBmpPic();
    const TPixels origin = obj.GetPixs_Origin();
    const TPixel maxPix = obj.GetMaxPix();
    obj.SetMirror_LR(false);
    obj.SetEmissivity(0.5);
    obj.SetGrayColor_SubMeth(GCM_Gray);
    obj.SetTemperature_UpperLimit(30.0);
    EXPECT_EQ(obj.GetPublished(), state);
    EXPECT_EQ(obj.GetBmpPic(), bmp);
    EXPECT_EQ(obj.GetPixs_Origin(), origin);
    EXPECT_EQ(obj.GetMaxPix(), maxPix);
    EXPECT_EQ(maxPix.X, 31 - 4);

    ASSERT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 0)));
    EXPECT_NE(obj.GetPublished(), state);
    EXPECT_EQ(obj.GetMaxPix().X, 4);  // no longer mirrored
    EXPECT_NE(obj.GetBmpPic(), bmp);
    EXPECT_EQ(obj.GetPublished()->Temperature_UpperLimit, 30.0);
    // Once both subpages are read with the other emissivity, the scene reads warmer.
    ASSERT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 1)));
    EXPECT_GT(obj.GetMinPix().Temperature, 23.0);
}

TEST_F(ObjectFixture, SubpageFlagsAndNewDataFlag) {
    const auto scene = HotSpotScene(24.0, 0, 0, 30.0);
    ASSERT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 0)));
    EXPECT_TRUE(obj.GetFrame0Finished());
    EXPECT_FALSE(obj.GetFrame1Finished());
    // Readers lower the flags; the object never does.
    obj.SetFrame0Finished(false);
    obj.SetHaveNewDatas(false);
    ASSERT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 1)));
    EXPECT_FALSE(obj.GetFrame0Finished());
    EXPECT_TRUE(obj.GetFrame1Finished());
    EXPECT_TRUE(obj.GetHaveNewDatas());

    // Word 833 neither 0 nor 1: processed fully, no subpage flag.
    obj.SetFrame1Finished(false);
    obj.SetHaveNewDatas(false);
    TUINT16s odd = Sensor().Frame(scene, 1);
    odd[833] = 2;
    const uint64_t before = obj.GetPublished()->FrameNumber;
    ASSERT_TRUE(obj.SetRAMArr(odd));
    EXPECT_FALSE(obj.GetFrame0Finished());
    EXPECT_FALSE(obj.GetFrame1Finished());
    EXPECT_TRUE(obj.GetHaveNewDatas());
    EXPECT_EQ(obj.GetPublished()->FrameNumber, before + 1);
    EXPECT_EQ(obj.GetPublished()->Subpage, 2);
}

TEST_F(ObjectFixture, HeldPicturesStayValidWhileNewFramesArrive) {
    Feed(HotSpotScene(20.0, 5, 5, 30.0));
    const std::shared_ptr<const TPixels> held = obj.GetPixs_Interpolation();
    const auto heldState = obj.GetPublished();
    const TPixels copy = *held;
    const TBitmap24 bmpCopy = heldState->BmpPic;
    for (int k = 0; k < 6; ++k) {
        Feed(HotSpotScene(21.0 + k, 10 + k, 20 - k, 34.0 - k));
        EXPECT_NE(obj.GetPixs_Interpolation(), held);
    }
    EXPECT_EQ(*held, copy);
    EXPECT_EQ(heldState->BmpPic, bmpCopy);
    EXPECT_EQ(heldState->Pixs_Interpolation, held);
}

TEST_F(ObjectFixture, ShortArraysAreRefusedWithoutChanges) {
    TUINT16s frame = Sensor().Frame(HotSpotScene(20.0, 1, 1, 25.0), 0);
    frame.resize(833);
    EXPECT_FALSE(obj.SetRAMArr(frame));
    EXPECT_FALSE(obj.SetRAMArr({}));
    EXPECT_EQ(obj.GetRAMArr(), TUINT16s(834, 0));
    EXPECT_FALSE(obj.GetFrame0Finished());
    EXPECT_FALSE(obj.GetPublished());
    TUINT16s calibration = Sensor().calibration;
    calibration.resize(831);
    EXPECT_FALSE(obj.SetEEPROMArr(calibration));
    EXPECT_EQ(obj.GetEEPROMArr(), Sensor().calibration);  // the earlier one stays
    // Exactly 834 words (no trailing 0) is a whole frame.
    frame = Sensor().Frame(HotSpotScene(20.0, 1, 1, 25.0), 0);
    frame.resize(834);
    EXPECT_TRUE(obj.SetRAMArr(frame));
}

TEST_F(ObjectFixture, AFrameTheFilterCannotSmoothIsAbandoned) {
    const auto scene = HotSpotScene(20.0, 1, 1, 25.0);
    Feed(scene);
    const auto state = obj.GetPublished();
    obj.SetHaveNewDatas(false);
    obj.SetFrame0Finished(false);
    obj.SetFilter(true);
    obj.SetFilterMethod(1);
    obj.SetFilterPixsCount(0);  // weights of 0
    EXPECT_FALSE(obj.SetRAMArr(Sensor().Frame(scene, 0)));
    EXPECT_EQ(obj.GetPublished(), state);
    EXPECT_FALSE(obj.GetHaveNewDatas());
    EXPECT_FALSE(obj.GetFrame0Finished());
    obj.SetFilterPixsCount(3);
    EXPECT_TRUE(obj.SetRAMArr(Sensor().Frame(scene, 0)));
    EXPECT_EQ(obj.GetPublished()->FrameNumber, state->FrameNumber + 1);
}

TEST_F(ObjectFixture, SensorResultsArePassedThrough) {
    obj.SetMirror_LR(false);
    obj.SetBrokenPixsCorr(false);
    obj.SetEmissivity(0.8);
    const TUINT16s frame = Sensor().Frame(HotSpotScene(26.0, 4, 9, 31.0), 1, 30.0);
    ASSERT_TRUE(obj.SetRAMArr(frame));
    std::vector<double> want(768, -1e9);
    const double ta = MLX90640_GetTa(frame.data(), Sensor().params);
    MLX90640_CalculateTo(frame.data(), Sensor().params, 0.8, ta - 8.0, want.data());
    EXPECT_EQ(obj.GetTa(), ta);
    const TPixels grid = obj.GetPixs_Origin();
    int compared = 0;
    for (int p = 0; p < 768; ++p)
        if (want[p] != -1e9) {
            EXPECT_EQ(grid[p % 32][p / 32].Temperature, want[p]) << p;
            EXPECT_EQ(TemperatureDatas[p], want[p]);
            ++compared;
        }
    EXPECT_EQ(compared, 384);

    obj.SetPixsType(PXT_Image);
    ASSERT_TRUE(obj.SetRAMArr(frame));
    std::fill(want.begin(), want.end(), -1e9);
    MLX90640_GetImage(frame.data(), Sensor().params, want.data());
    const TPixels image = obj.GetPixs_Origin();
    for (int p = 0; p < 768; ++p)
        if (want[p] != -1e9) {
            EXPECT_EQ(image[p % 32][p / 32].Temperature, want[p]) << p;
        }
}

TEST(SensorImageObject, DefectivePixelCorrectionFollowsTheSwitch) {
    TRealisticCalibrationOptions options;
    const int broken = 32 * 6 + 11;
    options.brokenPixels = {broken};
    const TSyntheticSensor sensor(options);
    TMLX90640 obj;
    ApplyWindowDefaults(obj);
    obj.SetMirror_LR(false);
    ASSERT_TRUE(obj.SetEEPROMArr(sensor.calibration));
    const auto scene = HotSpotScene(22.0, 6, 11, 60.0);
    ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(scene, 0)));
    ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(scene, 1)));
    EXPECT_NEAR(obj.GetPixs_Origin()[11][6].Temperature, 22.0, 0.5);  // from its neighbours
    obj.SetBrokenPixsCorr(false);
    ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(scene, 0)));
    ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(scene, 1)));
    EXPECT_GT(std::fabs(obj.GetPixs_Origin()[11][6].Temperature - 22.0), 5.0);
}

TEST(SensorImageObject, FrameWithoutCalibrationShowsMinusHundred) {
    // A stored photo may arrive before any calibration: the all-zero record makes
    // every value meaningless, and those that are not numbers become -100.
    myParamsMLX90640 = TParamsMLX90640{};
    TMLX90640 obj;
    obj.SetMirror_LR(true);
    TUINT16s frame(835, 0);
    ASSERT_TRUE(obj.SetRAMArr(frame));
    frame[833] = 1;  // the other subpage, so no pixel keeps an older value
    ASSERT_TRUE(obj.SetRAMArr(frame));
    const TPixels grid = obj.GetPixs_Origin();
    for (const auto &column : grid)
        for (const TPixel &px : column)
            ASSERT_FALSE(std::isnan(px.Temperature));
    EXPECT_EQ(obj.GetMinPix().Temperature, -100.0);
    EXPECT_EQ(obj.GetMaxPix().Temperature, -100.0);
    EXPECT_EQ(obj.GetMaxPix().X, 31);  // first pixel scanned, mirrored
    EXPECT_EQ(obj.GetTemperatureAvg(), -100.0);
    EXPECT_EQ(obj.GetTemperature_LowerLimit(), -100.0);
    EXPECT_TRUE(obj.GetHaveNewDatas());
}

TEST(PictureRender, ABitmapLargerThanThePictureIsLeftAlone) {
    TPixels origin = MakePixels(8, 6);  // enlarges to 128 x 96
    for (auto &column : origin)
        for (TPixel &px : column)
            px.Temperature = 30.0;
    TPictureSettings settings;
    settings.Colors = BuildColorTable(TColorScheme{});
    TPictureRenderer renderer;
    TPixels grid;
    TBitmap24 big(512, 384);
    big.Fill(0x00010203);
    const TBitmap24 before = big;
    EXPECT_FALSE(renderer.Render(origin, settings, grid, big));
    EXPECT_EQ(big, before);
    EXPECT_EQ(grid.size(), 128u);
    EXPECT_EQ(grid[127].size(), 96u);
    TBitmap24 small(100, 96);
    EXPECT_TRUE(renderer.Render(origin, settings, grid, small));
    EXPECT_EQ(small.Pixel(99, 95), grid[99][95].Color);
}

}  // namespace
