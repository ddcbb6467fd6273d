// The window and the module's status as a real connect delivers it: the photo box
// settling on the count that arrives after the calibration, a read-parameters action
// started by the module inside another, the hidden alternative port losing its
// device.

#include "e2e/LinkTestKit.h"
#include "protocol/FrameBuild.h"
#include "serial/nrComm.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/device/ModuleSession.h"
#include "ui/widgets/ShapeCircle.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

constexpr int kSlowMs = 8000;  // generous: a loaded machine under the sanitizers

QByteArray Bytes(const TBytes &b) {
    return QByteArray(reinterpret_cast<const char *>(b.data()), qsizetype(b.size()));
}

QByteArray Crlf(const char *text) {
    return QByteArray(text) + "\r\n";
}

// A parameter block as the module reports it, with its photo count; the other
// settings as the window starts, so showing it sends nothing back.
TSysBlock Block(uint16_t photos, bool led = false) {
    TSysBlock w{};
    w[1] = 4608;  // 460800 baud
    w[4] = 2;
    w[5] = 2;
    w[6] = 1;
    w[8] = 1;
    w[9] = led ? 1 : 0;
    w[10] = 3;
    w[24] = photos;
    return w;
}

}  // namespace

class TstModuleStatus : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void photoBoxSettlesOnTheCountThatArrivesAfterTheCalibration() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        pty.Drain();
        // A connect's order: the calibration first; the photo column comes on with no
        // count known yet, so the box shows 0 and both browsing buttons are off.
        QVERIFY(pty.Write(Bytes(BuildEemFrame(std::vector<uint16_t>(832, 0x1234)))));
        QTRY_VERIFY_WITH_TIMEOUT(form->btn_SaveOnePhoto->isEnabled(), kSlowMs);
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("0"));
        QVERIFY(!form->btn_ReadNextPhoto->isEnabled() && !form->btn_ReadPrivPhoto->isEnabled());
        // Then the parameters with 3 photos saved: the box settles in 1..3 at once.
        QVERIFY(pty.Write(Bytes(BuildSysFrame(Block(3)))));
        QTRY_COMPARE_WITH_TIMEOUT(form->lbl_SavedPhotoNum->text(), QStringLiteral("3"), kSlowMs);
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("1"));
        QVERIFY(form->btn_ReadNextPhoto->isEnabled());
        QVERIFY(!form->btn_ReadPrivPhoto->isEnabled());
        pty.Drain();
        QTest::mouseClick(form->btn_ReadNextPhoto, Qt::LeftButton);
        QCOMPARE(pty.ReadCount(9, kSlowMs), Crlf("$OUTP=2"));
        // The count changes (photos cleared): the box follows.
        QVERIFY(pty.Write(Bytes(BuildSysFrame(Block(0)))));
        QTRY_COMPARE_WITH_TIMEOUT(form->edt_CurrentPhotoNum->text(), QStringLiteral("0"), kSlowMs);
        QVERIFY(!form->btn_ReadNextPhoto->isEnabled() && !form->btn_ReadPrivPhoto->isEnabled());
    }

    void readParametersStartedInsideAnotherKeepsTheAnswerFromBeingEchoed() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        form->Session().Intake().Core().SYSIsOK.store(true);
        QTest::qWait(20);  // the tick enables the device controls
        pty.Drain();
        // The module restarts while the user's action runs: its "TYPE" line starts a
        // second action inside the first.
        bool typeSent = false, blockSent = false, busyAfterInner = false;
        QByteArray seen;
        QTimer::singleShot(100, &form->Form(), [&] { typeSent = pty.Write(Bytes(TypeLine())); });
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, &form->Form(), [&] {
            seen += pty.ReadFor(1);
            // The inner action has ended (the outer one's "17,4" follows it); the
            // outer one still waits. Now the module answers.
            if (!blockSent && seen.count("$SETP=17,4") >= 2 && seen.count("$SETP=17,3") >= 2) {
                busyAfterInner = form->Session().ReadParsIsBusy();
                blockSent = pty.Write(Bytes(BuildSysFrame(Block(2, true))));
            }
        });
        poll.start(5);
        QTest::mouseClick(form->btn_GetCalibInfo, Qt::LeftButton);  // returns when the action ends
        poll.stop();
        seen += pty.ReadFor(100);
        QVERIFY2(typeSent && blockSent,
                 (seen.toPercentEncoding() + " type " + QByteArray::number(typeSent)).constData());
        QVERIFY(busyAfterInner);
        QVERIFY(!form->Session().ReadParsIsBusy());
        QVERIFY(form->btn_GetCalibInfo->isEnabled());
        // The block checked the LED box; nothing went back to the module.
        QTRY_VERIFY_WITH_TIMEOUT(form->chk_LedEN->isChecked(), kSlowMs);
        QVERIFY2(!seen.contains("$SETP=9"), seen.constData());
    }

    void alternativePortLosingItsDeviceResetsItsButton() {
        auto form = MakeShownForm();
        auto pty = std::make_unique<TPtyModule>();
        TnrComm &nr = form->Session().nrComm1();
        nr.SetPortName(pty->SlavePath());
        nr.SetStreamProtocol(TnrStreamProtocol::spNone);
        form->btn_Connect2->click();
        QCOMPARE(form->btn_Connect2->text(), QStringLiteral("断开端口"));
        QVERIFY(nr.GetActive());
        pty->CloseMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!nr.GetActive(), kSlowMs);
        QCOMPARE(form->btn_Connect2->text(), QStringLiteral("连接端口"));
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::black));
        // A click connects again (the component's own port).
        pty = std::make_unique<TPtyModule>();
        nr.SetPortName(pty->SlavePath());
        form->btn_Connect2->click();
        QVERIFY(nr.GetActive());
        form->btn_Connect2->click();
    }
};

QTEST_MAIN(TstModuleStatus)
#include "ModuleStatusTest.moc"
