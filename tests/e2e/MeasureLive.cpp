// korvale-measure-live: measures the live view against a virtual module.
//
//   korvale-measure-live [--seconds N] [--rate INDEX] [--baud B] [--half]
//                        [--timeout MS] [--interval MS] [--captions] [--analysis] [--regions-only]
//                        [--noise SIGMA]
//
// The virtual module (korvale-sim's library) runs in a child process on a
// pseudo-terminal, started with "$SETP=5,INDEX" (measuring rate; 6 = 32 Hz,
// 7 = 64 Hz), "$SETP=1,B/100" (its line speed, default 1382400) and, with
// --interval, "$SETP=10,MS" (its minimum pause between frames, 3 ms by default).
// --timeout puts MS into edt_ComTimeout (the port's read interval, 5 by default)
// before connecting. The program's
// window connects to it as to any serial device and runs for a warm-up of two
// seconds, then N seconds (default 30) are measured:
//   - the rates of panel 5 after every Timer2 tick (received, computed, shown);
//   - frames the module put on the line against frames handed to the decoder,
//     computed, published by the sensor image object and shown;
//   - the CPU time of this process (the program alone: the module runs elsewhere)
//     and its peak resident memory.
// With --captions it then looks for captions the window does not show whole while
// live, kills the module and looks again once the window
// shows the lost link.
// --analysis opens the analysis window (trend and histogram charts) with eight
// regions on the picture before the warm-up: region 1 a box over the room's hot mug,
// region 2 a box in the middle that the walking person crosses, four more boxes, a line and a
// spot (eight in all), the alarm on region 1 above 60 °C. At the end it prints
// region 1's maximum against the scene's truth over the sensor pixels the box
// covers (read with emissivity 1, as the module renders it), region 2's trend range,
// the alarm log and the exported trend's size.
// --regions-only does the same with the window closed (its charts not drawn).
// --noise sets the module's pixel noise (0.1 °C by default).
// Run it under xvfb-run for a real X server, e.g.
//   xvfb-run -a -s "-screen 0 1600x900x24" build-rel/bin/korvale-measure-live --rate 7

#include "pipeline/MLX90640.h"
#include "sim/SimOptions.h"
#include "sim/SimPty.h"
#include "sim/SimScene.h"
#include "ui/CaptionFit.h"
#include "ui/WindowUnderTest.h"
#include "ui/analysis/Analysis.h"
#include "ui/analysis/Form_Analysis.h"
#include "ui/support/Theme.h"
#include "ui/widgets/StatusPanels.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TOptions {
    int seconds = 30;
    int rate = 7;
    int baud = 1382400;
    bool half = false;
    int timeout = 5;
    int interval = 3;
    bool captions = false;
    bool analysis = false;
    bool regionsOnly = false;  // the regions without the window
    double noise = 0.1;
};

bool ParseArgs(int argc, char **argv, TOptions &o) {
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        int *value = a == "--seconds"    ? &o.seconds
                     : a == "--rate"     ? &o.rate
                     : a == "--baud"     ? &o.baud
                     : a == "--timeout"  ? &o.timeout
                     : a == "--interval" ? &o.interval
                                         : nullptr;
        if (value && i + 1 < argc)
            *value = std::atoi(argv[++i]);
        else if (a == "--half")
            o.half = true;
        else if (a == "--captions")
            o.captions = true;
        else if (a == "--analysis")
            o.analysis = true;
        else if (a == "--regions-only")
            o.analysis = o.regionsOnly = true;
        else if (a == "--noise" && i + 1 < argc)
            o.noise = std::atof(argv[++i]);
        else
            return false;
    }
    return o.seconds > 0 && o.rate >= 0 && o.rate <= 7 && o.baud >= 115200 && o.timeout >= 0 &&
           o.interval >= 0 && o.noise >= 0;
}

// The module process: prints its device on `out`, then answers each byte read from
// `in` with its count of frames sent (one line) until `in` closes.
[[noreturn]] void RunModule(const TOptions &o, int in, int out) {
    TSimOptions options;
    options.noise = o.noise;
    options.presetParams = {{5, o.rate}, {1, o.baud / 100}, {11, o.half ? 1 : 0}, {10, o.interval}};
    TPtySimulator sim(options);
    std::string error;
    if (!sim.Start(&error)) {
        std::fprintf(stderr, "module: %s\n", error.c_str());
        _exit(1);
    }
    const std::string path = sim.DevicePath() + "\n";
    (void)!write(out, path.data(), path.size());
    char c;
    while (read(in, &c, 1) == 1) {
        const std::string line = std::to_string(sim.FramesSent()) + "\n";
        (void)!write(out, line.data(), line.size());
    }
    sim.Stop();
    _exit(0);
}

std::string ReadLine(int fd) {
    std::string line;
    char c;
    while (read(fd, &c, 1) == 1 && c != '\n')
        line += c;
    return line;
}

uint64_t AskFramesSent(int toModule, int fromModule) {
    (void)!write(toModule, "?", 1);
    return std::strtoull(ReadLine(fromModule).c_str(), nullptr, 10);
}

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

long PeakResidentKiB() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return ru.ru_maxrss;
}

// Prints the captions the window does not show whole or shows covered; returns how
// many. (The window's language is chosen at start; the test suite checks the longest
// live texts of both languages.)
int ReportCaptions(TWindowUnderTest &form, const char *when) {
    const QStringList problems = CaptionProblems(form.Form());
    std::printf("captions %s: %s\n", when, problems.isEmpty() ? "all whole and uncovered" : "");
    for (const QString &p : problems)
        std::printf("  %s\n", p.toUtf8().constData());
    return int(problems.size());
}

uint64_t Published(TWindowUnderTest &form) {
    const auto p = form.Image().GetPublished();
    return p ? p->FrameNumber : 0;
}

}  // namespace

int main(int argc, char **argv) {
    TOptions o;
    if (!ParseArgs(argc, argv, o)) {
        std::fprintf(stderr, "usage: korvale-measure-live [--seconds N] [--rate 0..7] [--baud B] [--half] "
                             "[--timeout MS] [--interval MS] [--captions] [--analysis] [--regions-only] "
                             "[--noise SIGMA]\n");
        return 2;
    }
    // The module runs in a child process, forked before any thread exists.
    int toModule[2], fromModule[2];
    if (pipe(toModule) != 0 || pipe(fromModule) != 0)
        return 1;
    const pid_t child = fork();
    if (child < 0)
        return 1;
    if (child == 0) {
        close(toModule[1]);
        close(fromModule[0]);
        RunModule(o, toModule[0], fromModule[1]);
    }
    close(toModule[0]);
    close(fromModule[1]);
    const std::string device = ReadLine(fromModule[0]);
    if (device.empty())
        return 1;

    QApplication app(argc, argv);
    // Styled as the program styles itself.
    const QString themeError = ApplyKorvaleTheme(app);
    if (!themeError.isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(themeError));
    TWindowUnderTest form;
    form.Form().show();
    {
        const QSignalBlocker blocker(form.cbb_Port);
        form.cbb_Port->setEditText(QString::fromStdString(device));
        form.cbb_Baud->setEditText(QString::number(o.baud));
    }
    form.edt_ComTimeout->setText(QString::number(o.timeout));
    form.btn_Connect->click();
    if (!form.Session().IsConnected()) {
        std::fprintf(stderr, "cannot connect to %s\n", device.c_str());
        return 1;
    }

    // The analysis under load: eight regions in the mirrored picture, the window open.
    TAnalysis &analysis = form.Form().Analysis();
    if (o.analysis) {
        // The mug at sensor column 5, row 16 shows at picture column 16 * (31 - 5) + 9.
        analysis.AddRegion(RK_Box, {405, 245}, {445, 285});
        // The module renders its scene to be read back with emissivity 1.
        form.edt_Emissivity->setText(QStringLiteral("1"));
        analysis.AddRegion(RK_Box, {210, 100}, {300, 220});
        for (int k = 0; k < 4; ++k)
            analysis.AddRegion(RK_Box, {20 + 120 * k, 20}, {100 + 120 * k, 80});
        analysis.AddRegion(RK_Line, {10, 370}, {500, 300});
        analysis.AddRegion(RK_Spot, {255, 191}, {255, 191});
        QMetaObject::invokeMethod(form.Form().findChild<QPushButton *>(QStringLiteral("btn_Analysis")),
                                  "click");
        TForm_Analysis *window = form.Form().AnalysisWindow();
        window->findChild<QComboBox *>(QStringLiteral("cbb_AlarmReadout"))->setCurrentIndex(1);
        window->findChild<QLineEdit *>(QStringLiteral("edt_AlarmAbove"))->setText(QStringLiteral("60"));
        window->findChild<QCheckBox *>(QStringLiteral("chk_Alarm"))->setChecked(true);
        if (o.regionsOnly)
            window->hide();
    }
    // Region 1's maximum and the scene's truth over its sensor pixels, frame by frame.
    double worstTruthError = 0.0, sumTruthError = 0.0, lastTruth = 0.0;
    long truthFrames = 0, truthFramesOff = 0, worstFrame = -1;
    // The mug does not move: the scene at any time is its truth, rendered once here
    // so that the check costs the measured process nothing per frame.
    std::vector<double> scene(768);
    TScene().Render(0.0, scene.data());
    bool measuring = false;
    QObject::connect(&analysis, &TAnalysis::Measured, &form.Form(), [&] {
        if (!o.analysis || !measuring || !analysis.Stats(0).Valid)
            return;
        double truth = -1e300;
        for (int cell = 0; cell < 768; ++cell)
            if (analysis.Stats(0).Cells.test(size_t(cell)))
                truth = std::max(truth, scene[size_t(cell)]);
        const double error = analysis.Stats(0).Max - truth;
        lastTruth = truth;
        if (std::abs(error) > worstTruthError) {
            worstTruthError = std::abs(error);
            worstFrame = truthFrames;
        }
        if (std::abs(error) > 0.5)
            ++truthFramesOff;
        sumTruthError += error;
        ++truthFrames;
    });

    struct TTotals {
        long recv = 0, calc = 0, shown = 0;
        int ticks = 0;
    } totals;
    const QRegularExpression rates(QStringLiteral("(\\d+)Hz.*?(\\d+)Hz.*?(\\d+)Hz"));
    // Runs after the window's own Timer2 handler has written panel 5.
    QObject::connect(form.Timer2, &QTimer::timeout, &form.Form(), [&] {
        const QString panel = form.StatusBar1->PanelText(5);
        if (!measuring)
            return;
        const auto m = rates.match(panel);
        if (m.hasMatch()) {
            totals.recv += m.captured(1).toLong();
            totals.calc += m.captured(2).toLong();
            totals.shown += m.captured(3).toLong();
            ++totals.ticks;
        }
        std::printf("  %s\n", panel.toUtf8().constData());
        std::fflush(stdout);
    });

    int exitStatus = 0;
    uint64_t sentStart = 0, publishedStart = 0;
    double cpuStart = 0;
    QElapsedTimer wall;
    // Warm-up: calibration, parameters and the first frames; then measure.
    QTimer::singleShot(2000, &form.Form(), [&] {
        if (!form.Session().CalibrationReceived())
            std::fprintf(stderr, "warning: no calibration after the warm-up\n");
        sentStart = AskFramesSent(toModule[1], fromModule[0]);
        publishedStart = Published(form);
        cpuStart = CpuSeconds();
        wall.start();
        measuring = true;
    });
    QTimer::singleShot(2000 + o.seconds * 1000 + 50, &form.Form(), [&] {
        measuring = false;
        const uint64_t sent = AskFramesSent(toModule[1], fromModule[0]) - sentStart;
        const uint64_t published = Published(form) - publishedStart;
        const double seconds = wall.elapsed() / 1000.0;
        const double cpu = CpuSeconds() - cpuStart;
        std::printf("rate index %d, line %d baud, %s frames, module interval %d ms, read time-out %d ms, "
                    "%.1f s (%d Timer2 ticks)\n",
                    o.rate, o.baud, o.half ? "half" : "full", o.interval, o.timeout, seconds, totals.ticks);
        // The panel sums cover the Timer2 ticks inside the window, so they are given
        // per tick (per second); the counts of the module and of the sensor image
        // object cover the same wall time and give the frames lost.
        const double ticks = totals.ticks > 0 ? totals.ticks : 1;
        std::printf("module sent       %6llu frames  %5.1f/s\n", (unsigned long long)sent, sent / seconds);
        std::printf("panel DataRecv    %6ld in %d s  %5.1f/s\n", totals.recv, totals.ticks,
                    totals.recv / ticks);
        std::printf("panel DataCalc    %6ld in %d s  %5.1f/s\n", totals.calc, totals.ticks,
                    totals.calc / ticks);
        std::printf("panel ImageRefresh%6ld in %d s  %5.1f/s\n", totals.shown, totals.ticks,
                    totals.shown / ticks);
        std::printf("pictures computed %6llu frames  %5.1f/s\n", (unsigned long long)published,
                    published / seconds);
        std::printf("lost module->computed %lld of %llu (%.1f %%)\n", (long long)sent - (long long)published,
                    (unsigned long long)sent,
                    sent ? 100.0 * (double(sent) - double(published)) / double(sent) : 0.0);
        std::printf("CPU of the program             %.2f s = %.1f %% of one core\n", cpu,
                    100.0 * cpu / seconds);
        std::printf("peak resident memory           %.1f MB\n", PeakResidentKiB() / 1024.0);
        if (o.analysis) {
            const TTrendBuffer &trend = analysis.Trend();
            double lo = 1e300, hi = -1e300;
            for (size_t i = trend.FirstWithin(o.seconds); i < trend.Size(); ++i) {
                const double v = trend.Value(i, TAnalysis::SeriesRegion0 + 1);
                if (!std::isnan(v)) {
                    lo = std::min(lo, v);
                    hi = std::max(hi, v);
                }
            }
            std::printf(
                "analysis: %d regions, window open %d; region 1 max %.2f, truth %.2f over %d sensor "
                "pixels; mean error %+.3f, worst %.3f (frame %ld) over %ld frames, %ld of them off by more "
                "than 0.5\n",
                analysis.RegionCount(), int(form.Form().AnalysisWindow()->isVisible()), analysis.Stats(0).Max,
                lastTruth, analysis.Stats(0).SensorPixels(), sumTruthError / std::max(1L, truthFrames),
                worstTruthError, worstFrame, truthFrames, truthFramesOff);
            std::printf(
                "analysis: region 2 trend from %.1f to %.1f; alarm log %lld entries%s%s\n", lo, hi,
                (long long)analysis.AlarmLog().size(), analysis.AlarmLog().isEmpty() ? "" : ", first: ",
                analysis.AlarmLog().isEmpty() ? "" : analysis.AlarmLog().first().toUtf8().constData());
            const QString csv = QStringLiteral("/tmp/korvale-measure-trend.csv");
            form.Form().AnalysisWindow()->ExportTrend(csv);
            QFile file(csv);
            file.open(QIODevice::ReadOnly);
            const QList<QByteArray> lines = file.readAll().split('\n');
            std::printf("analysis: %s: %lld lines, header %s\n", qPrintable(csv), (long long)lines.size() - 1,
                        lines.value(0).constData());
        }
        std::fflush(stdout);
        if (o.captions) {
            int problems = ReportCaptions(form, "live");
            kill(child, SIGKILL);
            QTest::qWait(2000);
            std::printf("module killed: connected %s\n", form.Session().IsConnected() ? "yes" : "no");
            problems += ReportCaptions(form, "after the module was killed");
            std::fflush(stdout);
            if (problems > 0)
                exitStatus = 3;
            QApplication::quit();
            return;
        }
        form.btn_Connect->click();
        QApplication::quit();
    });
    const int status = app.exec();
    close(toModule[1]);
    waitpid(child, nullptr, 0);
    return status != 0 ? status : exitStatus;
}
