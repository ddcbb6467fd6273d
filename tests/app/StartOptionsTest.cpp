// The window receives the command line's options: port and speed texts in its
// lists, a connect as the user's click once the window is shown, and a word on
// every option it cannot take.

#include "app/StartOptions.h"

#include "e2e/LinkTestKit.h"
#include "serial/SPComm.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"

#include <QComboBox>
#include <QPushButton>
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

    void playAndOpenAreReportedNotIgnored() {
        auto form = MakeShownForm();
        TStartOptions play;
        play.PlayFile = QStringLiteral("session 1.bin");
        const QStringList playSaid = ApplyStartOptions(form->Form(), play);
        QCOMPARE(playSaid.size(), 1);
        QVERIFY(playSaid[0].contains(QStringLiteral("cannot play 'session 1.bin'")));

        TStartOptions open;
        open.OpenFile = QStringLiteral("MLX_PHOTO_20240102030405.txt");
        const QStringList openSaid = ApplyStartOptions(form->Form(), open);
        QCOMPARE(openSaid.size(), 1);
        QVERIFY(openSaid[0].contains(QStringLiteral("cannot open 'MLX_PHOTO_20240102030405.txt'")));
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
