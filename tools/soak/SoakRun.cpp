#include "soak/SoakRun.h"

#include "pipeline/MLX90640.h"
#include "soak/SoakModule.h"
#include "ui/Program.h"
#include "ui/widgets/StatusPanels.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalBlocker>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace {

// ---- What the process uses

int64_t ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string key;
    while (status >> key) {
        if (key == "VmRSS:") {
            int64_t kb = 0;
            status >> kb;
            return kb;
        }
        status.ignore(1 << 20, '\n');
    }
    return 0;
}

int Entries(const char *folder) {
    return int(QDir(QString::fromLatin1(folder))
                   .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                   .size());
}

// Qt's pooled worker threads (large fills and copies of the drawing code run on
// them) come and go on their own: a pool thread ends after 30 s without work, taking
// its event descriptor with it. The program's own threads and descriptors are what
// must come back to their count, so those are counted without the pool's.
int PooledThreads() {
    int pooled = 0;
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile comm(tasks.filePath(task + QStringLiteral("/comm")));
        if (comm.open(QIODevice::ReadOnly) && comm.readAll().trimmed() == "Thread (pooled)")
            ++pooled;
    }
    return pooled;
}

int OwnThreads() {
    return Entries("/proc/self/task") - PooledThreads();
}

int OwnDescriptors() {
    return Entries("/proc/self/fd") - PooledThreads();
}

double CpuSeconds() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return double(ru.ru_utime.tv_sec + ru.ru_stime.tv_sec) +
           (ru.ru_utime.tv_usec + ru.ru_stime.tv_usec) / 1e6;
}

// ---- Waiting while the window runs

void PumpFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

bool PumpUntil(const std::function<bool()> &done, int timeoutMs) {
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() >= timeoutMs)
            return false;
        PumpFor(5);
    }
    return true;
}

// ---- The table

struct TRow {
    std::string phase, measure, value, required;
    int verdict;  // 1 met, 0 not met, -1 a figure only
};

std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char *format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

class TSoak {
public:
    TSoak(const TSoakOptions &o, TSoakModule &module) : fO(o), fModule(module) {}
    int Run();

private:
    template <class W>
    W *Find(const char *name) {
        W *w = fProgram->Form.findChild<W *>(QString::fromLatin1(name));
        if (!w) {
            std::fprintf(stderr, "korvale-soak: the window has no %s\n", name);
            std::exit(2);
        }
        return w;
    }
    void Watch();
    void Row(const std::string &phase, const std::string &measure, const std::string &value,
             const std::string &required = "", int verdict = -1) {
        fRows.push_back({phase, measure, value, required, verdict});
        std::fprintf(stderr, "  %s: %s = %s%s\n", phase.c_str(), measure.c_str(), value.c_str(),
                     verdict == 0 ? "  (NOT MET)" : "");
    }
    void Check(const std::string &phase, const std::string &measure, const std::string &value,
               const std::string &required, bool met) {
        Row(phase, measure, value, required, met ? 1 : 0);
    }
    void PrintTable() const;

    // Plugs the module in with `faults`, clicks Connect and waits for a picture;
    // the time from the click to the first new picture in ms, -1 when none came.
    int64_t Connect(const TSoakFaults &faults);
    void Disconnect();
    uint64_t ShownNumber() const {
        const auto f = fProgram->Form.GetShownFrame();
        return f ? f->FrameNumber : 0;
    }
    uint64_t Published() const {
        const auto p = fProgram->Image.GetPublished();
        return p ? p->FrameNumber : 0;
    }
    bool ShowsLoss() const {
        return !fProgram->Session.IsConnected() && fConnect->text() == QStringLiteral("Connect") &&
               fStatus->PanelText(0).endsWith(QStringLiteral("Disconnected")) &&
               fStatus->PanelText(6) == QStringLiteral("Toast:Connection lost");
    }
    void ResetPhaseWatch() {
        fMaxLateMs = 0;
        fMaxPictureGapMs = 0;
        fSawZeroRates = false;
        fRatesBackAfterZero = false;
        fLastPicture.restart();
    }

    void Live();
    void Noisy();
    void Unplug();
    void Stall();

    const TSoakOptions &fO;
    TSoakModule &fModule;
    std::unique_ptr<TKorvaleProgram> fProgram;
    QComboBox *fPort = nullptr;
    QComboBox *fBaud = nullptr;
    QPushButton *fConnect = nullptr;
    TStatusPanels *fStatus = nullptr;
    uint32_t fSeed = 1;

    // Watched all the time.
    QTimer fProbe;
    QElapsedTimer fSinceProbe;
    int64_t fMaxLateMs = 0;
    uint64_t fShownCount = 0;  // pictures the window put on screen
    uint64_t fLastShown = 0;
    QElapsedTimer fLastPicture;
    int64_t fMaxPictureGapMs = 0;
    int fRates[3] = {0, 0, 0};  // panel 5 after the last Timer2 tick
    bool fSawZeroRates = false;
    bool fRatesBackAfterZero = false;
    int fDialogs = 0;  // message boxes closed by the watchdog
    // The time from a click on Connect to the first new picture.
    QElapsedTimer fSinceConnect;
    bool fAwaitingPicture = false;
    int64_t fFirstPictureMs = -1;

    std::vector<TRow> fRows;
};

void TSoak::Watch() {
    // The event loop's lateness: a 10 ms timer that comes late by the time the
    // window kept the loop busy.
    fProbe.setTimerType(Qt::PreciseTimer);
    fProbe.setInterval(10);
    fSinceProbe.start();
    QObject::connect(&fProbe, &QTimer::timeout, [this] {
        fMaxLateMs = std::max<int64_t>(fMaxLateMs, fSinceProbe.restart() - 10);
        // A dialog would stop the run: close it and count it.
        if (QWidget *modal = QApplication::activeModalWidget()) {
            ++fDialogs;
            std::fprintf(stderr, "korvale-soak: closed a dialog: %s\n", qPrintable(modal->windowTitle()));
            modal->close();
        }
    });
    fProbe.start();
    fLastPicture.start();
    // After the window's own handlers (connected first): the picture on screen and
    // the rates of panel 5.
    QObject::connect(Find<QTimer>("Timer1"), &QTimer::timeout, &fProgram->Form, [this] {
        const uint64_t shown = ShownNumber();
        if (shown != 0 && shown != fLastShown) {
            fLastShown = shown;
            ++fShownCount;
            fMaxPictureGapMs = std::max<int64_t>(fMaxPictureGapMs, fLastPicture.restart());
            if (fAwaitingPicture && fFirstPictureMs < 0)
                fFirstPictureMs = fSinceConnect.elapsed();
        }
    });
    QObject::connect(Find<QTimer>("Timer2"), &QTimer::timeout, &fProgram->Form, [this] {
        static const QRegularExpression rates(QStringLiteral("(\\d+)Hz.*?(\\d+)Hz.*?(\\d+)Hz"));
        const auto m = rates.match(fStatus->PanelText(5));
        if (!m.hasMatch())
            return;
        for (int k = 0; k < 3; ++k)
            fRates[k] = m.captured(k + 1).toInt();
        if (fRates[0] == 0 && fRates[1] == 0 && fRates[2] == 0)
            fSawZeroRates = true;
        else if (fSawZeroRates && fRates[0] > 0 && fRates[1] > 0 && fRates[2] > 0)
            fRatesBackAfterZero = true;
    });
}

int64_t TSoak::Connect(const TSoakFaults &faults) {
    if (!fModule.PlugIn(faults, fSeed++)) {
        std::fprintf(stderr, "korvale-soak: the module could not be plugged in\n");
        return -1;
    }
    {
        const QSignalBlocker blocker(fPort);
        fPort->setEditText(QString::fromStdString(fModule.LinkPath()));
        fBaud->setEditText(QString::number(fO.baud));
    }
    // The first new picture is timed where the window shows it (Timer1), which also
    // runs inside the read-parameters action's own message loop.
    fFirstPictureMs = -1;
    fSinceConnect.start();
    fAwaitingPicture = true;
    fConnect->click();
    if (!fProgram->Session.IsConnected())
        return -1;
    PumpUntil([&] { return fFirstPictureMs >= 0; }, 10000);
    fAwaitingPicture = false;
    return fFirstPictureMs;
}

void TSoak::Disconnect() {
    if (fProgram->Session.IsConnected())
        fConnect->click();
    fModule.Unplug();
    PumpFor(200);
}

void TSoak::Live() {
    const char *phase = "live 64 Hz";
    std::fprintf(stderr, "korvale-soak: %s for %d s\n", phase, fO.liveSeconds);
    if (Connect({}) < 0) {
        Check(phase, "connected, pictures", "none", "pictures", false);
        return;
    }
    PumpFor(2000);  // calibration, parameters, first frames
    const uint64_t sent0 = fModule.FramesSent();
    const uint64_t computed0 = Published();
    const uint64_t shown0 = fShownCount;
    const double cpu0 = CpuSeconds();
    QElapsedTimer wall;
    wall.start();
    // Memory at minute 1 (half-way through a shorter run), then at the end.
    const int firstSample = std::min(60, std::max(1, fO.liveSeconds / 2));
    int64_t rssFirst = 0;
    for (int s = 1; s <= fO.liveSeconds; ++s) {
        PumpFor(int(std::max<int64_t>(0, s * 1000 - wall.elapsed())));
        if (s == firstSample)
            rssFirst = ResidentKb();
        if (s % 60 == 0)
            std::fprintf(stderr, "  minute %d: %lld KB resident, %llu pictures shown\n", s / 60,
                         (long long)ResidentKb(), (unsigned long long)(fShownCount - shown0));
    }
    const double seconds = wall.elapsed() / 1000.0;
    const uint64_t sent = fModule.FramesSent() - sent0;
    const uint64_t computed = Published() - computed0;
    const uint64_t shown = fShownCount - shown0;
    const int64_t rssEnd = ResidentKb();
    const double cpu = CpuSeconds() - cpu0;
    Row(phase, "duration", Format("%.0f s", seconds));
    Row(phase, "frames sent / computed / shown",
        Format("%llu / %llu / %llu (%.1f / %.1f / %.1f per s)", (unsigned long long)sent,
               (unsigned long long)computed, (unsigned long long)shown, sent / seconds, computed / seconds,
               shown / seconds));
    Check(phase, "pictures shown", Format("%llu", (unsigned long long)shown), "> 0", shown > 0);
    const int64_t growth = rssEnd - rssFirst;
    const std::string memory = Format("%.1f MB at %d s, %.1f MB at the end: %+.2f MB", rssFirst / 1024.0,
                                      firstSample, rssEnd / 1024.0, growth / 1024.0);
    if (fO.liveSeconds >= 120)
        Check(phase, "resident memory", memory, "growth < 3 MB", growth < 3 * 1024);
    else
        Row(phase, "resident memory", memory, "growth < 3 MB (judged from 2 min on)");
    Row(phase, "CPU of the program", Format("%.1f %% of one core", 100.0 * cpu / seconds));
    Disconnect();
}

void TSoak::Noisy() {
    const char *phase = "noisy line";
    std::fprintf(stderr, "korvale-soak: %s for %d s\n", phase, fO.noisySeconds);
    TSoakFaults faults;
    faults.flip = fO.flip;
    faults.drop = fO.drop;
    if (Connect(faults) < 0) {
        Check(phase, "connected, pictures", "none", "pictures", false);
        return;
    }
    PumpFor(2000);
    const TLinkStatus status0 = fProgram->Session.Intake().Status();
    const uint64_t sent0 = fModule.FramesSent();
    const uint64_t computed0 = Published();
    const uint64_t shown0 = fShownCount;
    ResetPhaseWatch();
    QElapsedTimer wall;
    wall.start();
    for (int s = 1; s <= fO.noisySeconds; ++s) {
        PumpFor(int(std::max<int64_t>(0, s * 1000 - wall.elapsed())));
        if (s % 60 == 0)
            std::fprintf(stderr, "  minute %d\n", s / 60);
    }
    const TLinkStatus status = fProgram->Session.Intake().Status();
    const uint64_t sent = fModule.FramesSent() - sent0;
    const uint64_t computed = Published() - computed0;
    const uint64_t shown = fShownCount - shown0;
    const uint64_t failed = status.FailedChecks - status0.FailedChecks;
    const uint64_t dropped = status.DroppedFailedFrames - status0.DroppedFailedFrames;
    Row(phase, "faults",
        Format("1 bit in %.0f bytes flipped, 1 byte in %.0f lost, %d s", 1 / fO.flip, 1 / fO.drop,
               fO.noisySeconds));
    Check(phase, "longest wait of the event loop", Format("%lld ms", (long long)fMaxLateMs),
          Format("< %d ms", fO.maxLatencyMs), fMaxLateMs < fO.maxLatencyMs);
    Check(phase, "failed check words counted / their frames dropped",
          Format("%llu / %llu", (unsigned long long)failed, (unsigned long long)dropped), "> 0, all dropped",
          failed > 0 && dropped == failed);
    Check(phase, "frames sent >= computed + dropped",
          Format("%llu >= %llu + %llu", (unsigned long long)sent, (unsigned long long)computed,
                 (unsigned long long)dropped),
          "holds", sent >= computed + dropped);
    Check(phase, "pictures shown, longest gap",
          Format("%llu, %lld ms", (unsigned long long)shown, (long long)fMaxPictureGapMs), "> 0, < 2000 ms",
          shown > 0 && fMaxPictureGapMs < 2000);
    Disconnect();
}

void TSoak::Unplug() {
    const char *phase = "unplug/replug";
    std::fprintf(stderr, "korvale-soak: %s, %d cycles\n", phase, fO.cycles);
    PumpFor(500);
    const int fds0 = OwnDescriptors();
    const int threads0 = OwnThreads();
    int lossesShown = 0, reconnectsInTime = 0;
    int64_t slowest = 0;
    for (int cycle = 0; cycle < fO.cycles; ++cycle) {
        TSoakFaults faults;
        faults.vanishAfter = 64;  // about a second of pictures
        const int64_t ms = Connect(faults);
        std::fprintf(stderr, "  cycle %d: picture %lld ms after the click\n", cycle + 1, (long long)ms);
        if (ms >= 0 && ms <= 2000)
            ++reconnectsInTime;
        slowest = std::max(slowest, ms < 0 ? int64_t(999999) : ms);
        if (PumpUntil([&] { return ShowsLoss(); }, 10000))
            ++lossesShown;
        else
            std::fprintf(stderr, "  cycle %d: no loss shown (panel 0 \"%s\", panel 6 \"%s\")\n", cycle + 1,
                         qPrintable(fStatus->PanelText(0)), qPrintable(fStatus->PanelText(6)));
        fModule.Unplug();
    }
    // Decoding workers end by themselves; give the last ones a moment.
    PumpUntil([&] { return OwnDescriptors() == fds0 && OwnThreads() == threads0; }, 3000);
    const int fds = OwnDescriptors();
    const int threads = OwnThreads();
    Check(phase, "losses showing the disconnected state and notice",
          Format("%d of %d", lossesShown, fO.cycles), "all", lossesShown == fO.cycles);
    Check(phase, "reconnects with a picture within 2 s (slowest)",
          Format("%d of %d (%lld ms)", reconnectsInTime, fO.cycles, (long long)slowest), "all",
          reconnectsInTime == fO.cycles);
    Check(phase, "descriptors before / after", Format("%d / %d", fds0, fds), "equal", fds == fds0);
    Check(phase, "threads before / after", Format("%d / %d", threads0, threads), "equal",
          threads == threads0);
}

void TSoak::Stall() {
    const char *phase = "stalled module";
    std::fprintf(stderr, "korvale-soak: %s, silent for %d ms\n", phase, fO.stallMs);
    TSoakFaults faults;
    faults.stallMs = fO.stallMs;
    faults.stallEvery = 64 * 3;  // after about 3 s of frames
    if (Connect(faults) < 0) {
        Check(phase, "connected, pictures", "none", "pictures", false);
        return;
    }
    ResetPhaseWatch();
    bool stayedConnected = true;
    // The stall, then frames again for a few seconds.
    const bool back = PumpUntil(
        [&] {
            stayedConnected = stayedConnected && fProgram->Session.IsConnected();
            return fRatesBackAfterZero;
        },
        3000 + fO.stallMs + 6000);
    Check(phase, "longest wait of the event loop", Format("%lld ms", (long long)fMaxLateMs),
          Format("< %d ms", fO.maxLatencyMs), fMaxLateMs < fO.maxLatencyMs);
    Check(phase, "rates fell to 0 and came back",
          Format("%s, %s", fSawZeroRates ? "fell" : "did not fall", back ? "came back" : "did not come back"),
          "both", fSawZeroRates && back);
    Check(phase, "longest gap between pictures", Format("%lld ms", (long long)fMaxPictureGapMs),
          Format("about %d ms", fO.stallMs), fMaxPictureGapMs >= fO.stallMs - 500);
    Check(phase, "connection kept", stayedConnected ? "yes" : "no", "yes", stayedConnected);
    Disconnect();
}

void TSoak::PrintTable() const {
    std::printf("| phase | measure | value | required | met |\n|---|---|---|---|---|\n");
    for (const TRow &r : fRows)
        std::printf("| %s | %s | %s | %s | %s |\n", r.phase.c_str(), r.measure.c_str(), r.value.c_str(),
                    r.required.c_str(), r.verdict < 0 ? "" : (r.verdict ? "yes" : "NO"));
    std::fflush(stdout);
}

int TSoak::Run() {
    fProgram = std::make_unique<TKorvaleProgram>();
    fProgram->Form.show();
    fPort = Find<QComboBox>("cbb_Port");
    fBaud = Find<QComboBox>("cbb_Baud");
    fConnect = Find<QPushButton>("btn_Connect");
    fStatus = Find<TStatusPanels>("StatusBar1");
    Watch();
    PumpFor(300);

    if (fO.liveSeconds > 0)
        Live();
    if (fO.noisySeconds > 0)
        Noisy();
    if (fO.cycles > 0)
        Unplug();
    if (fO.stallMs > 0)
        Stall();
    Check("whole run", "dialogs that appeared", Format("%d", fDialogs), "0", fDialogs == 0);

    fProgram.reset();
    PrintTable();
    return std::all_of(fRows.begin(), fRows.end(), [](const TRow &r) { return r.verdict != 0; }) ? 0 : 1;
}

}  // namespace

const char *SoakUsage() {
    return "usage: korvale-soak [--live S] [--noisy S] [--cycles N] [--stall MS] [--corrupt FLIP,DROP]\n"
           "                    [--max-latency MS] [--baud B] [--rate 0..7] [--smoke]\n"
           "  --live S         seconds of live view at the rate (default 1800; 0 skips)\n"
           "  --noisy S        seconds on a noisy line (default 600; 0 skips)\n"
           "  --corrupt F,D    the noisy line: flip probability, drop probability per byte\n"
           "                   (default 0.0005,0.00005)\n"
           "  --cycles N       unplug/replug cycles (default 50; 0 skips)\n"
           "  --stall MS       how long the module falls silent (default 5000; 0 skips)\n"
           "  --max-latency MS the longest the window's event loop may be kept busy (default 250)\n"
           "  --baud B         line speed (default 1382400); --rate the refresh-rate index (7 = 64 Hz)\n"
           "  --smoke          a short run: --live 8 --noisy 8 --cycles 5 --stall 2500\n"
           "Prints a table on standard output; exit status 0 when every requirement was met.\n";
}

bool ParseSoakArgs(int argc, char **argv, TSoakOptions &o, bool &help, std::string &error) {
    help = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        const auto value = [&](int &out) {
            if (i + 1 >= argc)
                return false;
            char *end = nullptr;
            const long v = std::strtol(argv[++i], &end, 10);
            if (!end || *end || v < 0 || v > 100000000)
                return false;
            out = int(v);
            return true;
        };
        bool ok = true;
        if (a == "--help" || a == "-h")
            help = true;
        else if (a == "--smoke") {
            o.liveSeconds = 8;
            o.noisySeconds = 8;
            o.cycles = 5;
            o.stallMs = 2500;
        } else if (a == "--live")
            ok = value(o.liveSeconds);
        else if (a == "--noisy")
            ok = value(o.noisySeconds);
        else if (a == "--cycles")
            ok = value(o.cycles);
        else if (a == "--stall")
            ok = value(o.stallMs);
        else if (a == "--max-latency")
            ok = value(o.maxLatencyMs) && o.maxLatencyMs > 0;
        else if (a == "--baud")
            ok = value(o.baud) && o.baud >= 115200;
        else if (a == "--rate")
            ok = value(o.rateIndex) && o.rateIndex <= 7;
        else if (a == "--corrupt") {
            ok = i + 1 < argc && std::sscanf(argv[++i], "%lf,%lf", &o.flip, &o.drop) == 2 && o.flip > 0 &&
                 o.flip < 1 && o.drop > 0 && o.drop < 1;
        } else {
            error = "unknown option " + a;
            return false;
        }
        if (!ok) {
            error = "bad value for " + a;
            return false;
        }
    }
    return true;
}

int RunSoak(const TSoakOptions &options, int argc, char **argv) {
    TSoakModule module;
    std::string error;
    const std::string link = QDir::tempPath().toStdString() + "/korvale-soak-" + std::to_string(getpid());
    if (!module.Fork(link, options.baud, options.rateIndex, &error)) {
        std::fprintf(stderr, "korvale-soak: %s\n", error.c_str());
        return 2;
    }
    int qtArgc = 1;
    char *qtArgv[] = {argc > 0 ? argv[0] : const_cast<char *>("korvale-soak"), nullptr};
    QApplication app(qtArgc, qtArgv);
    TSoak soak(options, module);
    return soak.Run();
}
