// Cost of the window's per-frame work on a shown picture: the statistics of eight
// regions, drawing them into the picture, converting the published 24-bit bitmap
// into the picture box, and painting the data grid's coloured cells. The live view reads data the decoding
// thread has just written on another core, so the *_Fresh cases have a second thread rewrite the input before
// each iteration (untimed); the other cases run on data in the cache.
//
//   QT_QPA_PLATFORM=offscreen liveview_bench --benchmark_repetitions=10
//   --benchmark_report_aggregates_only=true
#include "analysis/RegionStats.h"
#include "pipeline/MLX90640.h"
#include "ui/analysis/Analysis.h"
#include "ui/analysis/AnalysisPaint.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StringGrid.h"

#include <QApplication>
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

namespace {

constexpr int kWidth = 512, kHeight = 384;

// The regions korvale-measure-live draws: five boxes of several sizes, a long line
// across the picture and a spot.
void AddMeasuredRegions(TAnalysis &analysis) {
    analysis.AddRegion(RK_Box, {405, 245}, {445, 285});
    analysis.AddRegion(RK_Box, {210, 100}, {300, 220});
    for (int k = 0; k < 4; ++k)
        analysis.AddRegion(RK_Box, {20 + 120 * k, 20}, {100 + 120 * k, 80});
    analysis.AddRegion(RK_Line, {10, 370}, {500, 300});
    analysis.AddRegion(RK_Spot, {255, 191}, {255, 191});
}

TMLX90640Published PictureFrame() {
    TMLX90640Published frame;
    frame.Picture.Width = kWidth;
    frame.Picture.Height = kHeight;
    frame.Picture.Temps.resize(size_t(kWidth) * kHeight);
    for (size_t i = 0; i < frame.Picture.Temps.size(); ++i)
        frame.Picture.Temps[i] = 20.0 + double(i * 7919 % 1000) / 25.0;
    frame.Mirror_LR = true;
    return frame;
}

// Runs `touch` on another thread before each timed iteration: the timed code then
// reads lines another core has just written, as in the live view.
class TWriterThread {
public:
    template <class F>
    explicit TWriterThread(F touch)
        : fThread([this, touch] {
              int seen = 0;
              while (!fStop.load()) {
                  const int asked = fAsked.load();
                  if (asked != seen) {
                      seen = asked;
                      touch();
                      fDone.store(asked);
                  }
              }
          }) {}
    ~TWriterThread() {
        fStop.store(true);
        fThread.join();
    }
    void Rewrite() {
        const int n = fAsked.load() + 1;
        fAsked.store(n);
        while (fDone.load() != n) {
        }
    }

private:
    std::atomic<int> fAsked{0}, fDone{0};
    std::atomic<bool> fStop{false};
    std::thread fThread;
};

void RegionStatistics(benchmark::State &state, bool fresh) {
    TMLX90640Published frame = PictureFrame();
    TAnalysis analysis;
    AddMeasuredRegions(analysis);
    TWriterThread writer([&] {
        for (double &t : frame.Picture.Temps)
            t += 0.001;
    });
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            writer.Rewrite();
            state.ResumeTiming();
        }
        analysis.MeasureRegions(frame);
        benchmark::DoNotOptimize(analysis.Stats(0).Max);
    }
}
BENCHMARK_CAPTURE(RegionStatistics, Fresh, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(RegionStatistics, Cached, false)->Unit(benchmark::kMicrosecond);

void BM_PaintRegions(benchmark::State &state) {
    const TMLX90640Published frame = PictureFrame();
    TAnalysis analysis;
    AddMeasuredRegions(analysis);
    analysis.MeasureRegions(frame);
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    picture.fill(Qt::darkGreen);
    for (auto _ : state)
        PaintRegions(picture, analysis, true);
}
BENCHMARK(BM_PaintRegions)->Unit(benchmark::kMicrosecond);

void PictureConversion(benchmark::State &state, bool fresh) {
    constexpr int kBytesPerLine = kWidth * 3;
    std::vector<uint8_t> bitmap(size_t(kBytesPerLine) * kHeight, 7);
    TPictureBox box;
    TWriterThread writer([&] {
        for (uint8_t &b : bitmap)
            ++b;
    });
    for (auto _ : state) {
        if (fresh) {
            state.PauseTiming();
            writer.Rewrite();
            state.ResumeTiming();
        }
        box.SetPictureBgr(bitmap.data(), kWidth, kHeight, kBytesPerLine);
        benchmark::DoNotOptimize(box.Picture().constBits());
    }
}
BENCHMARK_CAPTURE(PictureConversion, Fresh, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PictureConversion, Cached, false)->Unit(benchmark::kMicrosecond);

// The data grid's 32 x 24 coloured cells (20 pixels each, as in the window) painted
// with new colours into a 32-bit image in memory, as into the window's backing store.
void BM_GridColours(benchmark::State &state) {
    TStringGrid grid;
    grid.SetColCount(33);
    grid.SetRowCount(25);
    grid.SetColWidth(0, 50);
    grid.SetRowHeight(0, 24);
    for (int i = 1; i <= 32; ++i)
        grid.SetColWidth(i, 20);
    for (int i = 1; i <= 24; ++i)
        grid.SetRowHeight(i, 20);
    grid.SetDefaultDrawing(false);
    grid.resize(700, 520);
    QImage colours(32, 24, QImage::Format_RGB32);
    QImage surface(grid.viewport()->size(), QImage::Format_RGB32);
    const QRegion cells(grid.CellRect(1, 1).united(grid.CellRect(32, 24)));
    int frame = 0;
    for (auto _ : state) {
        colours.fill(qRgb(frame++ & 255, 96, 160));
        grid.SetCellColours(colours);
        grid.viewport()->render(&surface, cells.boundingRect().topLeft(), cells, QWidget::RenderFlags());
    }
}
BENCHMARK(BM_GridColours)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char **argv) {
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
