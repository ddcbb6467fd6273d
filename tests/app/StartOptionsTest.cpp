// The window receives the command line's options: port and speed texts in its
// lists, a connect as the user's click once the window is shown, and a word on
// every option it cannot take.

#include "app/StartOptions.h"

#include "e2e/LinkTestKit.h"
#include "pipeline/MLX90640.h"
#include "serial/SPComm.h"
#include "sim/SimOptions.h"
#include "sim/SimRecord.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/playback/CapturePlayer.h"

#include <QComboBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class TstStartOptions : public QObject {
    Q_OBJECT

private slots:
    void portAndSpeedConnectOnTheEventLoop() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(pty.IsValid());
        TStartOptions options;
        options.Port = pty.SlavePath();
        options.Baud = 921600;
        options.Connect = true;

        QCOMPARE(ApplyStartOptions(form->Form(), options), QStringList());
        QCOMPARE(form->cbb_Port->currentText(), pty.SlavePath());
        QCOMPARE(form->cbb_Baud->currentText(), QStringLiteral("921600"));
        // The click waits for the event loop.
        QVERIFY(!form->Session().IsConnected());
        QVERIFY(PumpUntil([&] { return form->Session().IsConnected(); }, 5000));
        form->Timer3->stop();
        TComm *comm = Comm1Of(*form);
        QVERIFY(comm && comm->IsOpen());
        QCOMPARE(comm->GetCommName(), QStringLiteral("//./") + pty.SlavePath());
        QCOMPARE(comm->GetBaudRate(), 921600u);
        QCOMPARE(form->btn_Connect->text(), form->Form().GetDisConnectPortCaption());
        QVERIFY(DisconnectWindow(*form));
    }

    void listItemsAreSelectedAndOtherTextsShownWithoutConnecting() {
        auto form = MakeShownForm();
        TStartOptions options;
        options.Port = QStringLiteral("SIM");
        options.Baud = 115200;
        QCOMPARE(ApplyStartOptions(form->Form(), options), QStringList());
        QCOMPARE(form->cbb_Port->currentText(), QStringLiteral("SIM"));
        QCOMPARE(form->cbb_Port->currentIndex(), form->cbb_Port->count() - 1);
        QCOMPARE(form->cbb_Baud->currentText(), QStringLiteral("115200"));
        QCOMPARE(form->cbb_Baud->itemText(form->cbb_Baud->currentIndex()), QStringLiteral("115200"));

        options.Port = QStringLiteral("/dev/ttyKORVALE-none");
        options.Baud = 123;
        QCOMPARE(ApplyStartOptions(form->Form(), options), QStringList());
        QCOMPARE(form->cbb_Port->currentText(), options.Port);
        QCOMPARE(form->cbb_Baud->currentText(), QStringLiteral("123"));
        QTest::qWait(50);
        QVERIFY(!form->Session().IsConnected());
    }

    void playStartsPlaybackAndOpenShowsATemperatureFile() {
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const QString recording = dir.filePath(QStringLiteral("session 1.kvc"));
        std::string why;
        QVERIFY(RecordSessionToFile(TSimOptions{}, 6, recording.toStdString(), TRecordFormat::Capture, &why));
        auto form = MakeShownForm();
        TCapturedErrors errors;
        TStartOptions play;
        play.PlayFile = recording;
        QCOMPARE(ApplyStartOptions(form->Form(), play), QStringList());
        // From the event loop, as the user's choice in "Open…" would.
        QVERIFY(!form->Session().PlaybackOpen());
        QVERIFY(PumpUntil([&] { return form->Session().Player().IsPlaying(); }, 5000));
        QCOMPARE(form->Session().Player().Path(), recording);
        QVERIFY(PumpUntil([&] { return form->Form().GetShownFrame() != nullptr; }, 10000));

        // A snapshot's temperatures: 24 lines of 32 values.
        QByteArray text;
        for (int row = 0; row < 24; ++row) {
            for (int col = 0; col < 32; ++col)
                text += QByteArray::number(20.0 + row + col / 10.0) + ' ';
            text += '\n';
        }
        TStartOptions open;
        open.OpenFile = WriteTempFile(QStringLiteral("MLX_PHOTO_20240102030405.txt"), text);
        QCOMPARE(ApplyStartOptions(form->Form(), open), QStringList());
        QVERIFY(PumpUntil([&] { return form->Form().GetShownTemperatureFile() == open.OpenFile; }, 5000));
        QVERIFY(!form->Session().PlaybackOpen());
        QVERIFY(PumpUntil([&] { return form->Form().GetShownFrame()->Subpage == -1; }, 5000));
        QCOMPARE(form->Form().GetShownFrame()->Pixs_Origin[31][23].Temperature, 20.0 + 23 + 3.1);
        QVERIFY(errors.Messages().isEmpty());

        // A file that is not there is reported for standard error; one that is there
        // but is no temperature file gets the window's own message.
        TStartOptions missing;
        missing.PlayFile = dir.filePath(QStringLiteral("none.kvc"));
        QCOMPARE(ApplyStartOptions(form->Form(), missing),
                 QStringList{QStringLiteral("cannot play '%1': no such file").arg(missing.PlayFile)});
        TStartOptions bad;
        bad.OpenFile = recording;
        QCOMPARE(ApplyStartOptions(form->Form(), bad), QStringList());
        QVERIFY(PumpUntil([&] { return !errors.Messages().isEmpty(); }, 5000));
        QCOMPARE(form->Form().GetShownTemperatureFile(), open.OpenFile);
    }

    void playAndOpenAreReportedNotIgnored() {
        // A window that cannot play or show files says so instead.
        QWidget bare;
        TStartOptions play;
        play.PlayFile = QStringLiteral("session 1.bin");
        const QStringList playSaid = ApplyStartOptions(bare, play);
        QCOMPARE(playSaid.size(), 1);
        QVERIFY(playSaid[0].contains(QStringLiteral("--play 'session 1.bin'")));

        TStartOptions open;
        open.OpenFile = QStringLiteral("MLX_PHOTO_20240102030405.txt");
        const QStringList openSaid = ApplyStartOptions(bare, open);
        QCOMPARE(openSaid.size(), 1);
        QVERIFY(openSaid[0].contains(QStringLiteral("--open 'MLX_PHOTO_20240102030405.txt'")));
    }

    void aWindowWithoutTheControlsSaysSo() {
        QWidget bare;
        TStartOptions options;
        options.Port = QStringLiteral("SIM");
        options.Baud = 460800;
        options.Connect = true;
        const QStringList said = ApplyStartOptions(bare, options);
        QCOMPARE(said.size(), 3);
        QVERIFY(said[0].contains(QStringLiteral("--port SIM")));
        QVERIFY(said[1].contains(QStringLiteral("--baud 460800")));
        QVERIFY(said[2].contains(QStringLiteral("--connect")));
    }
};

QTEST_MAIN(TstStartOptions)
#include "StartOptionsTest.moc"
