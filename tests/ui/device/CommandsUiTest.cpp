// The command lines the window sends: the bytes that reach the line for every
// command control, the send counters and panels, the read-parameters action with
// ReadParsIsBusy, and the photo number box with the browsing buttons.
//
// The window's Comm1 is connected to the slave side of a pseudo-terminal; the test
// reads the master side, so what is checked is what the serial component wrote.

#include "e2e/LinkTestKit.h"
#include "protocol/Commands.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/EditableList.h"
#include "ui/widgets/StatusPanels.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>

#include <memory>

namespace {

constexpr int kReadTimeoutMs = 5000;

// Enables what the live view enables once the module has reported itself.
void EnableModuleControls(TWindowUnderTest &f) {
    for (QWidget *w : std::initializer_list<QWidget *>{
             f.cbb_ADCResolution, f.cbb_RefreshRate, f.cbb_ArrangeMode, f.chk_AutoSend, f.cbb_OutPortNum,
             f.cbb_OutBaud, f.chk_LedEN, f.chk_FrmHalf, f.btn_SaveOnePhoto, f.btn_ReadLastPhoto,
             f.edt_CurrentPhotoNum, f.btn_ReadOnePhoto, f.btn_ReadPrivPhoto, f.btn_ReadNextPhoto,
             f.btn_ClearAllPhoto, f.btn_Reboot, f.btn_SetParsDef, f.btn_SetDT})
        w->setEnabled(true);
}

QByteArray Crlf(const char *text) {
    return QByteArray(text) + "\r\n";
}

}  // namespace

class TstCommands : public QObject {
    Q_OBJECT

    std::unique_ptr<TWindowUnderTest> form;
    std::unique_ptr<TPtyModule> pty;

    // Everything the window has written, once `expected` bytes are in (plus anything
    // that follows at once, so that extra bytes show).
    QByteArray Sent(qsizetype expected) {
        QByteArray got = pty->ReadCount(int(expected), kReadTimeoutMs);
        got += pty->ReadFor(30);
        return got;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void init() {
        form = MakeShownForm();
        pty = std::make_unique<TPtyModule>();
        QVERIFY(pty->IsValid());
        QVERIFY(ConnectWindow(*form, pty->SlavePath()));
        EnableModuleControls(*form);
        pty->Drain();
    }

    void cleanup() {
        form.reset();
        pty.reset();
    }

    void buttonsSendTheirExactLines() {
        struct TCase {
            QPushButton *button;
            QByteArray line;
        };
        const TCase cases[] = {
            {form->btn_SaveOnePhoto, Crlf("$SVEP")},     {form->btn_ClearAllPhoto, Crlf("$CLRP")},
            {form->btn_Reboot, Crlf("$SETP=17,1")},      {form->btn_SetParsDef, Crlf("$SETP=17,2")},
            {form->btn_ReadLastPhoto, Crlf("$OUTP=-1")},
        };
        int32_t total = 0;
        for (const TCase &c : cases) {
            c.button->click();
            QCOMPARE(Sent(c.line.size()), c.line);
            total += int32_t(c.line.size());
            // The free command line shows the last command; the panels the count.
            QCOMPARE(form->edt_Tx->text(), QString::fromLatin1(c.line));
            QCOMPARE(form->Session().TXByteCount(), total);
            QCOMPARE(form->StatusBar1->PanelText(1), QStringLiteral("Send:%1").arg(total));
            QCOMPARE(form->StatusBar1->PanelText(3), QStringLiteral("Send Command"));
        }

        // The photo number as the box shows it, leading zeros included.
        ReportSavedPhotos(*form, 5);
        form->edt_CurrentPhotoNum->setText(QStringLiteral("0003"));
        form->btn_ReadOnePhoto->click();
        QCOMPARE(Sent(11), Crlf("$OUTP=0003"));
    }

    void freeCommandLineGoesOutAsTyped() {
        form->edt_Tx->setText(QStringLiteral("ABC"));
        form->btn_SendCmd->click();
        QCOMPARE(Sent(3), QByteArray("ABC"));
        QCOMPARE(form->Session().TXByteCount(), 3);

        // The low byte of each UTF-16 unit: 中 (U+4E2D) goes out as 0x2D.
        form->edt_Tx->setText(QStringLiteral("中a"));
        form->btn_SendCmd->click();
        QCOMPARE(Sent(2), QByteArray("\x2D"
                                     "a"));
        QCOMPARE(form->Session().TXByteCount(), 5);
        QCOMPARE(form->StatusBar1->PanelText(1), QStringLiteral("Send:5"));
    }

    void dateTimeCommandCarriesTheLocalClock() {
        const QDateTime before = QDateTime::currentDateTime();
        form->btn_SetDT->click();
        const QByteArray line = Sent(27);
        QCOMPARE(line.size(), 27);
        QVERIFY2(line.startsWith("$STDT=") && line.endsWith("\r\n"), line.constData());
        const QString stamp = QString::fromLatin1(line.mid(6, 19));
        const QDateTime sent = QDateTime::fromString(stamp, QStringLiteral("yyyy/MM/dd HH:mm:ss"));
        QVERIFY2(sent.isValid(), qPrintable(stamp));
        QVERIFY(sent.secsTo(before) <= 1 && before.secsTo(sent) <= 5);
    }

    void deviceListsSendTheirItemIndex() {
        PickItem(form->cbb_RefreshRate, 7);
        QCOMPARE(Sent(11), Crlf("$SETP=5,7"));
        PickItem(form->cbb_ADCResolution, 0);
        QCOMPARE(Sent(11), Crlf("$SETP=4,0"));
        PickItem(form->cbb_ArrangeMode, 0);
        QCOMPARE(Sent(11), Crlf("$SETP=6,0"));
        PickItem(form->cbb_OutPortNum, 3);
        QCOMPARE(Sent(11), Crlf("$SETP=8,3"));

        // The module speed divided by 100.
        PickItem(form->cbb_OutBaud, 5);
        QCOMPARE(Sent(15), Crlf("$SETP=1,13824"));
        // Typed text sends only once it is one of the list's items: the first digit
        // of a speed would otherwise set the module to 0 and cut the link.
        {
            const QSignalBlocker blocker(form->cbb_OutBaud);
            form->cbb_OutBaud->setEditText(QString());
        }
        QTest::keyClicks(form->cbb_OutBaud->lineEdit(), QStringLiteral("92160"));
        QCOMPARE(pty->ReadFor(60), QByteArray());
        QTest::keyClicks(form->cbb_OutBaud->lineEdit(), QStringLiteral("0"));
        QCOMPARE(Sent(14), Crlf("$SETP=1,9216"));
    }

    void theWheelChangesAListOnlyWhileItHasFocus() {
        // A wheel turn over a list; true when the list took it (an event it leaves goes
        // on to the window underneath, which scrolls).
        auto wheel = [](QWidget *w) {
            const QPointF at(w->width() / 2.0, w->height() / 2.0);
            QWheelEvent down(at, w->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                             Qt::NoScrollPhase, false);
            QApplication::sendEvent(w, &down);
            return down.isAccepted();
        };
        form->btn_Reboot->setFocus();
        const auto lists = form->Form().findChildren<TEditableList *>();
        QVERIFY(lists.size() >= 12);
        for (TEditableList *list : lists) {
            const QString before = list->currentText();
            QVERIFY2(!wheel(list), qPrintable(list->objectName()));
            QCOMPARE(list->currentText(), before);
        }
        QCOMPARE(pty->ReadFor(60), QByteArray());  // not even "$SETP=1,..." from cbb_OutBaud
        // With focus (a click or Tab) the wheel picks the next item, as a list does.
        form->cbb_RefreshRate->setFocus();
        QVERIFY(form->cbb_RefreshRate->hasFocus());
        const int item = ItemIndex(form->cbb_RefreshRate);
        QVERIFY(wheel(form->cbb_RefreshRate));
        QCOMPARE(ItemIndex(form->cbb_RefreshRate), item + 1);
        QCOMPARE(Sent(11), Crlf(QStringLiteral("$SETP=5,%1").arg(item + 1).toLatin1().constData()));
    }

    void typedTextMatchingNoItemSendsNothingAndTheListReturnsToItsItem() {
        for (QComboBox *box : {form->cbb_RefreshRate, form->cbb_ADCResolution, form->cbb_ArrangeMode,
                               form->cbb_OutPortNum, form->cbb_OutBaud}) {
            const QString before = box->currentText();
            TypeInto(box, QStringLiteral("7x"));
            QTest::keyClick(box->lineEdit(), Qt::Key_Return);  // editing ends
            QCOMPARE(box->currentText(), before);
            QCOMPARE(pty->ReadFor(30), QByteArray());  // not "$SETP=n,-1"
        }
    }

    void outBaudThatIsNotANumberSendsNothingAndShowsNoError() {
        TCapturedErrors errors;
        {
            const QSignalBlocker blocker(form->cbb_OutBaud);
            form->cbb_OutBaud->setEditText(QStringLiteral("4608"));
        }
        QTest::keyClicks(form->cbb_OutBaud->lineEdit(), QStringLiteral("x"));
        QCOMPARE(errors.Messages().size(), 0);
        QCOMPARE(pty->ReadFor(100), QByteArray());
        QCOMPARE(form->Session().TXByteCount(), 0);
    }

    void checkBoxesAndIntervalSendTheirValues() {
        form->chk_AutoSend->setChecked(true);
        QCOMPARE(Sent(11), Crlf("$SETP=7,1"));
        form->chk_AutoSend->setChecked(false);
        QCOMPARE(Sent(11), Crlf("$SETP=7,0"));
        QTest::mouseClick(form->chk_LedEN, Qt::LeftButton);
        QCOMPARE(Sent(11), Crlf("$SETP=9,1"));
        form->chk_FrmHalf->setChecked(true);
        QCOMPARE(Sent(12), Crlf("$SETP=11,1"));

        // Clearing the interval sends nothing; typing 12 sends 1, then 12.
        form->edt_DelayMs->clear();
        QCOMPARE(pty->ReadFor(60), QByteArray());
        QTest::keyClicks(form->edt_DelayMs, QStringLiteral("12"));
        QCOMPARE(Sent(24), Crlf("$SETP=10,1") + Crlf("$SETP=10,12"));
        // A text that is not a number is ignored silently.
        TCapturedErrors errors;
        QTest::keyClicks(form->edt_DelayMs, QStringLiteral("a"));
        QCOMPARE(pty->ReadFor(60), QByteArray());
        QVERIFY(errors.Messages().isEmpty());
    }

    void readParametersActionSuppressesDeviceControls() {
        // Meanwhile (the action waits with the event loop running): the user checks
        // the LED box and picks a rate, and the captions are relabelled.
        bool busyInside = false, buttonOffInside = false, busyAfterRelabel = false;
        QTimer::singleShot(150, &form->Form(), [&] {
            busyInside = form->Session().ReadParsIsBusy();
            buttonOffInside = !form->btn_GetCalibInfo->isEnabled();
            QTest::mouseClick(form->chk_LedEN, Qt::LeftButton);
            PickItem(form->cbb_RefreshRate, 6);
            form->Form().UpdateLanguageShow(1);
            busyAfterRelabel = form->Session().ReadParsIsBusy();
            form->chk_FrmHalf->setChecked(true);
            form->edt_DelayMs->setText(QStringLiteral("40"));
        });
        form->btn_GetCalibInfo->click();
        QVERIFY(busyInside);
        QVERIFY(buttonOffInside);
        QVERIFY(busyAfterRelabel);
        QVERIFY(form->chk_LedEN->isChecked());
        QCOMPARE(Sent(24), Crlf("$SETP=17,3") + Crlf("$SETP=17,4"));
        QVERIFY(!form->Session().ReadParsIsBusy());
        QVERIFY(form->btn_GetCalibInfo->isEnabled());

        // Relabelling outside the action sends nothing and leaves the flag clear.
        form->Form().UpdateLanguageShow(1);
        QVERIFY(!form->Session().ReadParsIsBusy());
        QCOMPARE(pty->ReadFor(60), QByteArray());
        QTest::mouseClick(form->chk_LedEN, Qt::LeftButton);
        QCOMPARE(Sent(11), Crlf("$SETP=9,0"));
    }

    void photoBrowsingStepsAndClampsTheBox() {
        ReportSavedPhotos(*form, 5);

        // "0001", Priv: asks for photo 0; the box ends at 1 and Priv goes off.
        form->edt_CurrentPhotoNum->setText(QStringLiteral("0001"));
        form->btn_ReadPrivPhoto->setEnabled(true);
        form->btn_ReadPrivPhoto->click();
        QCOMPARE(Sent(9), Crlf("$OUTP=0"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("1"));
        QVERIFY(!form->btn_ReadPrivPhoto->isEnabled());
        QVERIFY(form->btn_ReadNextPhoto->isEnabled());

        // At 4, Next: photo 5; the box shows 5 and Next goes off.
        form->edt_CurrentPhotoNum->setText(QStringLiteral("4"));
        QVERIFY(form->btn_ReadPrivPhoto->isEnabled() && form->btn_ReadNextPhoto->isEnabled());
        form->btn_ReadNextPhoto->click();
        QCOMPARE(Sent(9), Crlf("$OUTP=5"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("5"));
        QVERIFY(!form->btn_ReadNextPhoto->isEnabled());
        QVERIFY(form->btn_ReadPrivPhoto->isEnabled());
        // A disabled button does nothing.
        form->btn_ReadNextPhoto->click();
        QCOMPARE(pty->ReadFor(60), QByteArray());

        // Beyond the count the box settles on the count.
        form->edt_CurrentPhotoNum->setText(QStringLiteral("9"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("5"));
        // Read Last asks for the latest and shows the count.
        ReportSavedPhotos(*form, 3);
        form->btn_ReadLastPhoto->click();
        QCOMPARE(Sent(10), Crlf("$OUTP=-1"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("3"));
        QVERIFY(!form->btn_ReadNextPhoto->isEnabled() && form->btn_ReadPrivPhoto->isEnabled());
    }

    void photoBoxWithNoPhotoSavedSettlesOnZero() {
        // The module reports no photo: the box settles on 0 with both buttons off
        // (instead of flipping between 0 and 1 for ever).
        ReportSavedPhotos(*form, 0);
        form->edt_CurrentPhotoNum->setText(QStringLiteral("3"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("0"));
        QVERIFY(!form->btn_ReadPrivPhoto->isEnabled());
        QVERIFY(!form->btn_ReadNextPhoto->isEnabled());
        form->edt_CurrentPhotoNum->setText(QStringLiteral("1"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("0"));
        QCOMPARE(pty->ReadFor(60), QByteArray());

        // A photo arrives: browsing works again from the box's next change.
        ReportSavedPhotos(*form, 2);
        form->edt_CurrentPhotoNum->setText(QStringLiteral("2"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("2"));
        QVERIFY(form->btn_ReadPrivPhoto->isEnabled() && !form->btn_ReadNextPhoto->isEnabled());
    }

    void photoBoxIgnoresTextThatIsNotANumberButTheButtonsReportIt() {
        ReportSavedPhotos(*form, 5);
        form->edt_CurrentPhotoNum->setText(QStringLiteral("3"));
        QVERIFY(form->btn_ReadPrivPhoto->isEnabled() && form->btn_ReadNextPhoto->isEnabled());
        form->edt_CurrentPhotoNum->setText(QStringLiteral("x7"));
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("x7"));
        QVERIFY(form->btn_ReadPrivPhoto->isEnabled() && form->btn_ReadNextPhoto->isEnabled());

        TCapturedErrors errors;
        form->btn_ReadNextPhoto->click();
        form->btn_ReadPrivPhoto->click();
        QCOMPARE(errors.Messages().size(), 2);
        QVERIFY(errors.Messages().first().contains(QStringLiteral("x7")));
        QCOMPARE(pty->ReadFor(60), QByteArray());
        QCOMPARE(form->edt_CurrentPhotoNum->text(), QStringLiteral("x7"));
    }

    void sendingWithoutAPortStillCountsAndShows() {
        QVERIFY(DisconnectWindow(*form));
        form->Form().SetLanguageNum(0);
        form->btn_Reboot->click();
        QCOMPARE(form->edt_Tx->text(), QStringLiteral("$SETP=17,1\r\n"));
        QCOMPARE(form->Session().TXByteCount(), 12);
        QCOMPARE(form->StatusBar1->PanelText(1), QStringLiteral("发送:12"));
        QCOMPARE(form->StatusBar1->PanelText(3), QStringLiteral("发送指令"));
        QCOMPARE(pty->ReadFor(60), QByteArray());
    }
};

QTEST_MAIN(TstCommands)
#include "CommandsUiTest.moc"
