// Cost of one frame through the sensor image object: SetRAMArr on realistic frames
// from the synthesiser, subpages alternating; and the cost of a frame's grid of
// pixel records, which its first reader pays.
//
//   pipeline_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
#include "BenchFrames.h"

#include <benchmark/benchmark.h>

namespace {

void RunFrames(benchmark::State &state, TMLX90640 &obj) {
    const TBenchFrames &data = BenchFrames();
    obj.SetEEPROMArr(data.calibration);
    size_t k = 0;
    for (auto _ : state) {
        const bool ok = obj.SetRAMArr(data.frames[k]);
        benchmark::DoNotOptimize(ok);
        k = (k + 1) % data.frames.size();
    }
    if (!obj.GetPublished())
        state.SkipWithError("no picture was published");
}

void BM_SetRAMArr_Defaults(benchmark::State &state) {
    TMLX90640 obj;
    ApplyDefaultSettings(obj);
    RunFrames(state, obj);
}
BENCHMARK(BM_SetRAMArr_Defaults)->Unit(benchmark::kMillisecond);

void BM_SetRAMArr_Heavy(benchmark::State &state) {
    TMLX90640 obj;
    ApplyHeavySettings(obj);
    RunFrames(state, obj);
    GrayToContinuColor_ClassNum = 1;
}
BENCHMARK(BM_SetRAMArr_Heavy)->Unit(benchmark::kMillisecond);

// What a reader pays the first time it asks a frame for its grid of pixel records
// (Pixs_Interpolation): 512 x 384 records built from the published picture.
void BM_BuildPictureRecords(benchmark::State &state) {
    TMLX90640 obj;
    ApplyDefaultSettings(obj);
    obj.SetEEPROMArr(BenchFrames().calibration);
    obj.SetRAMArr(BenchFrames().frames[0]);
    const auto published = obj.GetPublished();
    TPixels grid;
    for (auto _ : state) {
        published->Picture.FillGrid(grid);
        benchmark::DoNotOptimize(grid.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_BuildPictureRecords)->Unit(benchmark::kMillisecond);

}  // namespace
