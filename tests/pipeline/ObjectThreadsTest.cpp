// One thread feeds frames (and now and then calibration and a temperature file)
// while the window thread reads published pictures and changes display options.
// Run under ThreadSanitizer.
#include "pipeline/MLX90640.h"
#include "pipeline/SensorFixture.h"
#include "pipeline/SysFun.h"
#include "pipeline/TemperatureFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include <unistd.h>

namespace {

uint64_t Checksum(const TPixels &grid) {
    uint64_t sum = 0;
    for (const auto &column : grid)
        for (const TPixel &px : column)
            sum = sum * 31 + static_cast<uint64_t>(px.Color) + static_cast<uint64_t>(px.Temperature * 1000);
    return sum;
}

TEST(PipelineThreads, FramesArriveWhileTheWindowReadsAndChangesOptions) {
    const TSyntheticSensor sensor;
    std::vector<TUINT16s> frames;
    for (int k = 0; k < 6; ++k)
        frames.push_back(sensor.Frame(HotSpotScene(20.0 + k, 4 + 2 * k, 3 + 4 * k, 38.0 - k), k % 2));

    const std::string file =
        (std::filesystem::temp_directory_path() / ("korvale_thread_" + std::to_string(::getpid()) + ".txt"))
            .string();
    {
        TPixels grid = MakePixels(32, 24);
        for (int c = 0; c < 32; ++c)
            for (int r = 0; r < 24; ++r)
                grid[c][r].Temperature = 15.0 + c * 0.5 + r * 0.25;
        SaveTemperatureFile(file, grid, ".");
    }

    TMLX90640 obj;
    ApplyWindowDefaults(obj);
    ASSERT_TRUE(obj.SetEEPROMArr(sensor.calibration));

    constexpr int kFrames = 24;
    std::atomic<bool> feeding{true};
    std::atomic<int> processed{0};
    std::thread feeder([&] {
        for (int k = 0; k < kFrames; ++k) {
            if (obj.SetRAMArr(frames[k % frames.size()]))
                ++processed;
            if (k % 16 == 15)
                obj.SetEEPROMArr(sensor.calibration);
        }
        feeding = false;
    });
    std::thread loader([&] {
        for (int k = 0; k < 4; ++k)
            obj.LoadDatasFromTemperatureFile(file, ".");
    });

    std::shared_ptr<const TPixels> held;
    uint64_t heldSum = 0;
    uint64_t lastFrame = 0;
    int shown = 0;
    for (int k = 0; feeding || k < 3; ++k) {
        // Display options, as the window's handlers store them.
        obj.SetMirror_LR(k % 2 == 0);
        obj.SetGrayColor_SubMeth(static_cast<TGrayColor_SubMeth>(k % 10));
        obj.SetTempToColorConverMeth(k % 7 == 3 ? CM_ContinuColor : CM_GrayColor);
        GrayToContinuColor_ClassNum = 1 + k % 3;
        obj.SetTemperature_UpperLimit(30.0 + k % 10);
        obj.SetTemperature_UpLowAuto(k % 5 == 0);
        obj.SetFilter(k % 4 == 1);
        obj.SetInterMethodFirst(static_cast<TInterMethod>(k % 3));
        obj.SetSlugg(k % 6 == 0);

        if (auto state = obj.GetPublished()) {
            EXPECT_GE(state->FrameNumber, lastFrame);
            lastFrame = state->FrameNumber;
            const TPixels &grid = *state->Pixs_Interpolation;
            ASSERT_EQ(grid.size(), 512u);
            // Bitmap and grid belong to the same frame.
            for (int x = 0; x < 512; x += 37)
                for (int y = 0; y < 384; y += 41) {
                    const TPixel &p = grid[x][y];
                    ASSERT_EQ(state->BmpPic.Pixel(x, y), p.ColorB << 16 | p.ColorG << 8 | p.ColorR);
                }
            ASSERT_EQ(state->Pixs_Origin.size(), 32u);
            if (!held) {
                held = state->Pixs_Interpolation;
                heldSum = Checksum(*held);
            }
        }
        if (obj.GetHaveNewDatas()) {
            TBitmap24 picture = obj.GetBmpPic();
            Sharpen(picture);
            Negative(picture);
            (void)obj.GetPixs_Origin();
            (void)obj.GetMaxPix();
            (void)obj.GetVdd();
            (void)obj.GetRAMArr();
            auto pic = obj.GetPixs_Interpolation();
            if (pic->size() == 512)
                (void)(*pic)[255][191].Temperature;
            obj.SetHaveNewDatas(false);
            obj.SetFrame0Finished(false);
            obj.SetFrame1Finished(false);
            ++shown;
        }
        std::this_thread::yield();
    }
    feeder.join();
    loader.join();
    std::filesystem::remove(file);

    EXPECT_EQ(processed.load(), kFrames);
    EXPECT_GT(shown, 0);
    ASSERT_TRUE(held);
    EXPECT_EQ(Checksum(*held), heldSum);  // a held picture grid is never reused
    EXPECT_EQ(obj.GetPublished()->FrameNumber, static_cast<uint64_t>(kFrames + 4));
    GrayToContinuColor_ClassNum = 1;
}

}  // namespace
