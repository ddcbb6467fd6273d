// One thread feeds frames (and now and then calibration and a temperature file)
// while the window thread reads published pictures and changes display options.
// Run under ThreadSanitizer.
#include "pipeline/MLX90640.h"
#include "pipeline/SensorFixture.h"
#include "pipeline/SysFun.h"
#include "pipeline/TemperatureFile.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
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

// Several readers ask for a frame's picture grid at the same moment, while the
// worker goes on publishing: the grid is built once, every reader gets that one,
// complete, and it holds the frame's picture.
TEST(PipelineThreads, ReadersAskingAtOnceShareOneBuiltGrid) {
    const TSyntheticSensor sensor;
    TMLX90640 obj;
    ApplyWindowDefaults(obj);
    ASSERT_TRUE(obj.SetEEPROMArr(sensor.calibration));
    for (int round = 0; round < 3; ++round) {
        ASSERT_TRUE(obj.SetRAMArr(sensor.Frame(HotSpotScene(20.0 + round, 3 + round, 7, 35.0), round % 2)));
        const auto state = obj.GetPublished();
        ASSERT_FALSE(state->Pixs_Interpolation.IsBuilt());
        constexpr int kReaders = 4;
        std::atomic<int> ready{0};
        const TPixels *seen[kReaders] = {};
        uint64_t sums[kReaders] = {};
        std::vector<std::thread> readers;
        for (int k = 0; k < kReaders; ++k)
            readers.emplace_back([&, k] {
                ++ready;
                while (ready.load() < kReaders + 1)
                    std::this_thread::yield();
                // Half of them through the object, half through the frame they hold.
                if (k % 2 == 0) {
                    const TPixels &grid = *state->Pixs_Interpolation;
                    seen[k] = &grid;
                    sums[k] = Checksum(grid);
                } else {
                    const std::shared_ptr<const TPixels> grid = obj.GetPixs_Interpolation();
                    seen[k] = grid.get();
                    sums[k] = Checksum(*grid);
                }
            });
        std::thread worker([&] {
            while (ready.load() < kReaders)
                std::this_thread::yield();
            ++ready;
            (void)obj.SetRAMArr(sensor.Frame(HotSpotScene(30.0, 1, 1, 40.0), 0));  // a newer frame meanwhile
        });
        for (std::thread &t : readers)
            t.join();
        worker.join();
        TPixels want;
        state->Picture.FillGrid(want);
        for (int k = 0; k < kReaders; k += 2) {
            EXPECT_EQ(seen[k], state->Pixs_Interpolation.get());
            EXPECT_EQ(sums[k], Checksum(want));
        }
        EXPECT_EQ(*state->Pixs_Interpolation, want);
    }
}

}  // namespace

TEST(PipelineThreads, LimitsTypedAfterTheAutomaticRangeWentOffStay) {
    // A frame with the automatic range on has decided its limits; right then the
    // window switches the range off and types its limits. The frame must not store
    // its limits over the typed ones.
    const TSyntheticSensor sensor;
    TMLX90640 object;
    ASSERT_TRUE(object.SetEEPROMArr(sensor.calibration));
    object.SetTemperature_UpLowAuto(true);
    std::atomic<bool> typed{false};
    std::thread window;
    bool first = true;
    object.SetRangeDecidedHook([&] {
        if (!first)
            return;
        first = false;
        window = std::thread([&] {
            object.SetTemperature_UpLowAuto(false);
            object.SetTemperature_LowerLimit(-1.5);
            object.SetTemperature_UpperLimit(71.5);
            typed.store(true);
        });
        // Give the window its chance while the frame is between deciding and storing.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(200);
        while (!typed.load() && std::chrono::steady_clock::now() < until)
            std::this_thread::yield();
    });
    object.SetRAMArr(sensor.Frame(HotSpotScene(20.0, 10, 10, 60.0), 0));
    window.join();
    EXPECT_FALSE(object.GetTemperature_UpLowAuto());
    EXPECT_EQ(object.GetTemperature_LowerLimit(), -1.5);
    EXPECT_EQ(object.GetTemperature_UpperLimit(), 71.5);
    // The next frame keeps them too.
    object.SetRAMArr(sensor.Frame(HotSpotScene(-5.0, 10, 10, 5.0), 1));
    EXPECT_EQ(object.GetTemperature_LowerLimit(), -1.5);
    EXPECT_EQ(object.GetTemperature_UpperLimit(), 71.5);
}
