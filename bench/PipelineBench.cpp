// Cost of one frame through the sensor image object: SetRAMArr on realistic frames
// from the synthesiser, subpages alternating.
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

}  // namespace
