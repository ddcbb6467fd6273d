// Recording and playback in the window, driven as a user would: record the built-in
// virtual module, play the file back and get the same temperatures frame for frame;
// the pace follows the speed list, the slider seeks, the right-arrow key steps; a
// cut file plays up to the cut and says so; a snapshot's temperature file opens and
// a bad one changes nothing.

#include "e2e/LinkTestKit.h"
#include "pipeline/MLX90640.h"
#include "sim/SimOptions.h"
#include "sim/SimRecord.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/playback/CapturePlayer.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/PictureBox.h"
#include "ui/widgets/StatusPanels.h"

#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>

#include <vector>

namespace {

constexpr int kSlowMs = 15000;  // generous: a loaded machine under the sanitizers

using TGrid = std::vector<double>;

TGrid GridOf(const TMLX90640Published &frame) {
    TGrid grid;
    for (const auto &column : frame.Pixs_Origin)
        for (const TPixel &p : column)
            grid.push_back(p.Temperature);
    return grid;
}

// Collects every picture the sensor image object publishes while events are handled.
class TPublishedLog {
public:
    explicit TPublishedLog(TMLX90640 &image) : fImage(image) {
        if (auto p = fImage.GetPublished())
            fLast = p->FrameNumber;
    }
    void Poll() {
        auto p = fImage.GetPublished();
        if (p && p->FrameNumber != fLast) {
            fLast = p->FrameNumber;
            Grids.push_back(GridOf(*p));
        }
    }
    bool PumpFor(int ms) {
        return !PumpUntil(
            [&] {
                Poll();
                return false;
            },
            ms);
    }
    std::vector<TGrid> Grids;

private:
    TMLX90640 &fImage;
    uint64_t fLast = 0;
};

// The window's control named `name` (a test failure shows as a null pointer).
template <class W>
W *Child(TWindowUnderTest &form, const char *name) {
    W *w = form.Form().findChild<W *>(QString::fromLatin1(name));
    if (!w)
        qWarning("no control %s", name);
    return w;
}

uint64_t FrameNumber(TWindowUnderTest &form) {
    auto p = form.Image().GetPublished();
    return p ? p->FrameNumber : 0;
}

// A capture of the virtual module: calibration, parameters and `frames` frames at 8 Hz.
QString MakeCapture(const QTemporaryDir &dir, const QString &name, int frames) {
    const QString path = dir.filePath(name);
    TSimOptions options;
    std::string why;
    if (!RecordSessionToFile(options, frames, path.toStdString(), TRecordFormat::Capture, &why))
        qWarning("%s", why.c_str());
    return path;
}

// The user presses "Open…" and picks `path`.
void OpenWithButton(TWindowUnderTest &form, const QString &path) {
    form.Form().SetOpenFileChooser([path] { return path; });
    QTest::mouseClick(Child<QPushButton>(form, "btn_OpenCapture"), Qt::LeftButton);
}

bool PlayedToTheEnd(TWindowUnderTest &form) {
    TCapturePlayer &player = form.Session().Player();
    return player.AtEnd() && !player.IsPlaying() && form.Session().Intake().IsIdle();
}

}  // namespace

class TstPlayback : public QObject {
    Q_OBJECT

    QTemporaryDir programDir;

private slots:
    void initTestCase() {
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
        QVERIFY(programDir.isValid());
        QVERIFY(QDir(programDir.path()).mkpath(QStringLiteral("Photos")));
    }

    void recordingPlaysBackTheLiveTemperaturesFrameForFrame() {
        auto form = MakeShownForm();
        form->Form().SetApplicationPathStr(programDir.path() + QLatin1Char('/'));
        TCapturedErrors errors;
        auto *record = Child<QPushButton>(*form, "btn_Record");
        auto *info = Child<QLabel>(*form, "lbl_RecordInfo");
        QCOMPARE(record->text(), QStringLiteral("Record"));

        form->cbb_Port->setCurrentIndex(form->cbb_Port->findText(QStringLiteral("SIM")));
        QTest::mouseClick(form->btn_Connect, Qt::LeftButton);
        QVERIFY(form->Session().IsConnected());
        QTRY_VERIFY_WITH_TIMEOUT(form->Session().CalibrationReceived() &&
                                     form->Session().ParametersReceived() && FrameNumber(*form) >= 2,
                                 kSlowMs);

        // Record a little over two seconds of the live session.
        TPublishedLog live(form->Image());
        QTest::mouseClick(record, Qt::LeftButton);
        QCOMPARE(record->text(), QStringLiteral("Stop"));
        live.PumpFor(2300);
        QVERIFY2(info->text().contains(QStringLiteral("frames")), qPrintable(info->text()));
        QTest::mouseClick(record, Qt::LeftButton);
        live.Poll();
        QCOMPARE(record->text(), QStringLiteral("Record"));
        const QStringList files =
            QDir(programDir.filePath(QStringLiteral("Photos"))).entryList({QStringLiteral("MLX_REC_*.kvc")});
        QCOMPARE(files.size(), 1);
        const QString file = programDir.filePath(QStringLiteral("Photos/") + files[0]);
        QVERIFY(info->text().startsWith(QStringLiteral("MLX_REC_")));
        QCOMPARE(info->toolTip(), QDir::toNativeSeparators(file));
        QVERIFY2(form->StatusBar1->PanelText(6).contains(QDir::toNativeSeparators(file)),
                 qPrintable(form->StatusBar1->PanelText(6)));
        QVERIFY(live.Grids.size() >= 10);

        // Play it: the port closes, the same frames come out in the same order.
        TPublishedLog played(form->Image());
        OpenWithButton(*form, file);
        QVERIFY(!form->Session().IsConnected());
        QVERIFY(form->Session().Player().IsPlaying());
        QVERIFY(!form->btn_SendCmd->isEnabled() && !form->btn_GetCalibInfo->isEnabled());
        QVERIFY(PumpUntil(
            [&] {
                played.Poll();
                return PlayedToTheEnd(*form);
            },
            kSlowMs));
        PumpUntil([&] { return played.Poll(), false; }, 100);
        QVERIFY(errors.Messages().isEmpty());
        // The first live frames may have been under way when Record was pressed, the
        // last when Stop was; and a frame holds one subpage, so the first frames played
        // have half their pixels from what the object showed before. From there on, the
        // played frames are a run of the live ones, short of at most those at the ends.
        QVERIFY2(played.Grids.size() + 4 >= live.Grids.size(),
                 qPrintable(QStringLiteral("%1 of %2").arg(played.Grids.size()).arg(live.Grids.size())));
        size_t first = 0;
        size_t start = live.Grids.size();
        for (; first <= 2 && start == live.Grids.size(); ++first)
            for (size_t k = 0; k <= 4 && k < live.Grids.size(); ++k)
                if (live.Grids[k] == played.Grids[first]) {
                    start = k;
                    break;
                }
        --first;
        QVERIFY2(start < live.Grids.size(), "no played frame among the first live ones");
        // (The last chunks recorded may finish a frame the live window showed only
        // after Stop, when the log had ended.)
        size_t compared = 0;
        for (size_t i = first; i < played.Grids.size() && start + i - first < live.Grids.size();
             ++i, ++compared)
            QVERIFY2(played.Grids[i] == live.Grids[start + i - first], qPrintable(QString::number(i)));
        QVERIFY(compared >= 10 && compared + first + 2 >= played.Grids.size());

        // Connecting closes the recording and gives the module's commands back.
        QTest::mouseClick(form->btn_Connect, Qt::LeftButton);
        QVERIFY(form->Session().IsConnected());
        QVERIFY(!form->Session().PlaybackOpen());
        QVERIFY(form->btn_SendCmd->isEnabled());
        QVERIFY(!Child<QPushButton>(*form, "btn_PlayPause")->isEnabled());
        QVERIFY(DisconnectWindow(*form));
    }

    void speedSetsThePaceSliderSeeksRightArrowSteps() {
        QTemporaryDir dir;
        const QString file = MakeCapture(dir, QStringLiteral("pace.kvc"), 13);  // 1.5 s
        auto form = MakeShownForm();
        TCapturedErrors errors;
        auto *speed = Child<QComboBox>(*form, "cbb_PlaySpeed");
        auto *playPause = Child<QPushButton>(*form, "btn_PlayPause");
        auto *slider = Child<QSlider>(*form, "sld_Playback");
        QCOMPARE(speed->currentText(), QStringLiteral("×1"));
        TCapturePlayer &player = form->Session().Player();

        QElapsedTimer clock;
        clock.start();
        OpenWithButton(*form, file);
        QCOMPARE(playPause->text(), QStringLiteral("Pause"));
        QVERIFY(PumpUntil([&] { return player.AtEnd(); }, kSlowMs));
        const qint64 normal = clock.elapsed();
        QCOMPARE(player.Duration(), uint64_t(1500000));
        QVERIFY2(normal >= 1450, qPrintable(QString::number(normal)));
        QCOMPARE(playPause->text(), QStringLiteral("Play"));
        QCOMPARE(slider->value(), slider->maximum());

        // x2: the same recording in half the time.
        speed->setFocus();
        QTest::keyClick(speed, Qt::Key_Down);
        QCOMPARE(speed->currentText(), QStringLiteral("×2"));
        clock.restart();
        QTest::mouseClick(playPause, Qt::LeftButton);  // from the start again
        QVERIFY(PumpUntil([&] { return player.AtEnd(); }, kSlowMs));
        const qint64 twice = clock.elapsed();
        QVERIFY2(twice >= 700 && twice < normal - 400,
                 qPrintable(QStringLiteral("%1 / %2").arg(twice).arg(normal)));

        // Paused at the start, a page step on the slider moves a tenth on and shows the
        // picture there; the right-arrow key steps one frame further.
        slider->setFocus();
        QTest::keyClick(slider, Qt::Key_Home);
        QVERIFY(!player.IsPlaying());
        QVERIFY(player.Position() < 125000);
        const uint64_t before = FrameNumber(*form);
        QTest::keyClick(slider, Qt::Key_PageUp);
        // The frame at 125 ms, the last one before 150 ms.
        QVERIFY2(player.Position() >= 125000 && player.Position() <= 150000,
                 qPrintable(QString::number(player.Position())));
        QCOMPARE(slider->value(), int(player.Position() / 1000));
        QVERIFY(FrameNumber(*form) > before);
        const uint64_t atSeek = FrameNumber(*form);
        const uint64_t positionAtSeek = player.Position();
        QTest::keyClick(&form->Form(), Qt::Key_Right);
        QCOMPARE(FrameNumber(*form), atSeek + 1);
        QVERIFY(player.Position() > positionAtSeek);
        QVERIFY(!player.IsPlaying());
        QVERIFY(errors.Messages().isEmpty());
    }

    void cutRecordingPlaysUpToTheCutAndSaysSo() {
        QTemporaryDir dir;
        const QString file = MakeCapture(dir, QStringLiteral("cut.kvc"), 10);
        QFile f(file);
        QVERIFY(f.resize(f.size() - 500));  // inside the last frame's record
        auto form = MakeShownForm();
        TCapturedErrors errors;
        const uint64_t before = FrameNumber(*form);
        OpenWithButton(*form, file);
        QVERIFY(PumpUntil([&] { return PlayedToTheEnd(*form); }, kSlowMs));
        QTRY_VERIFY_WITH_TIMEOUT(FrameNumber(*form) >= before + 9, kSlowMs);
        QTest::qWait(50);
        const QString notice = form->StatusBar1->PanelText(6);
        QVERIFY2(notice.contains(QStringLiteral("damaged")) && notice.contains(QStringLiteral("truncated")),
                 qPrintable(notice));
        QCOMPARE(Child<QPushButton>(*form, "btn_PlayPause")->text(), QStringLiteral("Play"));
        QVERIFY(errors.Messages().isEmpty());
    }

    void temperatureFileOfASnapshotOpensAndABadOneChangesNothing() {
        QTemporaryDir dir;
        const QString capture = MakeCapture(dir, QStringLiteral("snap.kvc"), 3);
        auto form = MakeShownForm();
        form->Form().SetApplicationPathStr(programDir.path() + QLatin1Char('/'));
        TCapturedErrors errors;
        OpenWithButton(*form, capture);
        QVERIFY(PumpUntil([&] { return PlayedToTheEnd(*form); }, kSlowMs));
        QTRY_VERIFY_WITH_TIMEOUT(form->Form().GetShownFrame() && form->Form().GetShownFrame()->Subpage >= 0,
                                 kSlowMs);
        QTest::qWait(50);
        const auto shot = form->Form().GetShownFrame();
        const TGrid saved = GridOf(*shot);
        const QDir photos(programDir.filePath(QStringLiteral("Photos")));
        const QStringList old = photos.entryList({QStringLiteral("MLX_PHOTO_*.txt")});
        QTest::mouseDClick(form->Image1, Qt::LeftButton, Qt::NoModifier, QPoint(256, 192));
        QStringList texts = photos.entryList({QStringLiteral("MLX_PHOTO_*.txt")});
        for (const QString &o : old)
            texts.removeAll(o);
        QCOMPARE(texts.size(), 1);
        const QString txt = photos.filePath(texts[0]);
        QVERIFY(form->StatusBar1->PanelText(6).contains(QDir::toNativeSeparators(txt).chopped(4)));

        OpenWithButton(*form, txt);
        QCOMPARE(form->Form().GetShownTemperatureFile(), txt);
        QVERIFY(!form->Session().PlaybackOpen());
        QTRY_VERIFY_WITH_TIMEOUT(form->Form().GetShownFrame()->Subpage == -1, kSlowMs);
        QVERIFY(GridOf(*form->Form().GetShownFrame()) == saved);
        double max = saved.front();
        for (double t : saved)
            max = std::max(max, t);
        QCOMPARE(form->lbl_MaxTemp->text(), QStringLiteral("Max Temp:%1℃").arg(max, 0, 'f', 1));

        // A display option applies to the file's picture.
        const QImage before = form->Image1->Picture();
        PickItem(form->cbb_GrayColor_SubMeth, 9);  // grey
        QTRY_VERIFY_WITH_TIMEOUT(form->Image1->Picture() != before, kSlowMs);

        // A file that is no temperature file: the loader's message, nothing changes.
        const QString bad = WriteTempFile(QStringLiteral("bad.txt"), "21.5 abc 22\n");
        const uint64_t shown = form->Form().GetShownFrame()->FrameNumber;
        OpenWithButton(*form, bad);
        QCOMPARE(errors.Messages().size(), 1);
        QVERIFY2(errors.Messages()[0].contains(QStringLiteral("\"abc\" is not a number")),
                 qPrintable(errors.Messages()[0]));
        QTest::qWait(50);
        QCOMPARE(form->Form().GetShownFrame()->FrameNumber, shown);
        QCOMPARE(form->Form().GetShownTemperatureFile(), txt);
    }
};

QTEST_MAIN(TstPlayback)
#include "PlaybackTest.moc"
