// The picture chain against OpenCV doing the comparable part of the job on the
// same frames, one thread: flip, resize of the 32 x 24 temperature grid (doubles)
// to 512 x 384, conversion to 8-bit grey values with the colour range's scale and
// a colour map into BGR. SetRAMArr does more (the sensor maths, statistics, the
// flat picture temperatures it publishes), so a ratio below 1 is a fair win.
//
//   peer_bench --benchmark_repetitions=10 --benchmark_report_aggregates_only=true
//
// After the table it prints SetRAMArr's time over OpenCV's for the start-up
// settings (against INTER_LINEAR) and the heavy settings (against INTER_CUBIC),
// from the medians when repetitions are asked for, otherwise from the means;
// wall-clock time first, then CPU time (the steadier one on a shared machine).
#include "BenchFrames.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

namespace {

constexpr double kLower = 0.0;
constexpr double kUpper = 35.0;

// The 32 x 24 temperatures of every benchmark frame (rows of the sensor, not
// mirrored), as the sensor image object computes them.
const std::vector<cv::Mat> &TemperatureGrids() {
    static const std::vector<cv::Mat> grids = [] {
        std::vector<cv::Mat> out;
        const TBenchFrames &data = BenchFrames();
        TMLX90640 obj;
        ApplyDefaultSettings(obj);
        obj.SetMirror_LR(false);
        obj.SetEEPROMArr(data.calibration);
        for (const TUINT16s &frame : data.frames) {
            obj.SetRAMArr(frame);
            const TPixels origin = obj.GetPixs_Origin();
            cv::Mat grid(24, 32, CV_64F);
            for (int r = 0; r < 24; ++r)
                for (int c = 0; c < 32; ++c)
                    grid.at<double>(r, c) = origin[c][r].Temperature;
            out.push_back(grid);
        }
        return out;
    }();
    return grids;
}

void RunOpenCV(benchmark::State &state, int interpolation) {
    cv::setNumThreads(1);
    const std::vector<cv::Mat> &grids = TemperatureGrids();
    const double alpha = 255.0 / (kUpper - kLower);
    const double beta = -kLower * alpha;
    cv::Mat flipped, picture, grey, bgr;
    size_t k = 0;
    for (auto _ : state) {
        cv::flip(grids[k], flipped, 1);
        cv::resize(flipped, picture, cv::Size(512, 384), 0.0, 0.0, interpolation);
        picture.convertTo(grey, CV_8U, alpha, beta);
        cv::applyColorMap(grey, bgr, cv::COLORMAP_JET);
        benchmark::DoNotOptimize(bgr.data);
        benchmark::ClobberMemory();
        k = (k + 1) % grids.size();
    }
}

void BM_OpenCV_Linear(benchmark::State &state) {
    RunOpenCV(state, cv::INTER_LINEAR);
}
BENCHMARK(BM_OpenCV_Linear)->Unit(benchmark::kMillisecond);

void BM_OpenCV_Cubic(benchmark::State &state) {
    RunOpenCV(state, cv::INTER_CUBIC);
}
BENCHMARK(BM_OpenCV_Cubic)->Unit(benchmark::kMillisecond);

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

// The console table as usual; remembers each benchmark's median (or mean, or
// single run) real time per iteration for the ratios.
class TRatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run> &runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            const std::string name = run.run_name.function_name;
            const double scale = 1e3 / benchmark::GetTimeUnitMultiplier(run.time_unit);
            const TTimes times{run.GetAdjustedRealTime() * scale, run.GetAdjustedCPUTime() * scale};
            int rank = 0;  // median 3, mean 2, a single run 1
            if (run.run_type == Run::RT_Aggregate)
                rank = run.aggregate_name == "median" ? 3 : (run.aggregate_name == "mean" ? 2 : 0);
            else
                rank = 1;
            if (rank > 0 && rank >= fRank[name]) {
                fRank[name] = rank;
                fMs[name] = times;
            }
        }
    }

    void PrintRatio(const char *what, const std::string &ours, const std::string &peer, double goal) const {
        const auto a = fMs.find(ours);
        const auto b = fMs.find(peer);
        if (a == fMs.end() || b == fMs.end() || b->second.real <= 0.0 || b->second.cpu <= 0.0)
            return;
        const double ratio = a->second.real / b->second.real;
        const double cpuRatio = a->second.cpu / b->second.cpu;
        std::printf("%s %.3f ms / %.3f ms = %.2f (goal <= %.1f: %s); CPU time %.3f ms / %.3f ms = %.2f\n",
                    what, a->second.real, b->second.real, ratio, goal, ratio <= goal ? "met" : "missed",
                    a->second.cpu, b->second.cpu, cpuRatio);
    }

private:
    struct TTimes {
        double real, cpu;  // ms per iteration
    };
    std::map<std::string, TTimes> fMs;
    std::map<std::string, int> fRank;
};

}  // namespace

int main(int argc, char **argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TRatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::printf("\n");
    reporter.PrintRatio("SetRAMArr start-up / OpenCV INTER_LINEAR:", "BM_SetRAMArr_Defaults",
                        "BM_OpenCV_Linear", 1.0);
    reporter.PrintRatio("SetRAMArr heavy / OpenCV INTER_CUBIC:", "BM_SetRAMArr_Heavy", "BM_OpenCV_Cubic",
                        1.5);
    return 0;
}
