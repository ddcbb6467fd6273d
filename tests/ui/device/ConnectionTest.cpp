// Connecting and the module's status in the window: the port settings, the
// open-error message, disconnecting, the read-parameters step after a connect, the
// lost connection (hang-up), the rates of panel 5, the read time-out, the port
// list, the hidden alternative connect, and the device-parameter controls set from
// a system-parameter block (directly and through the receive path).

#include "e2e/LinkTestKit.h"
#include "serial/SPComm.h"
#include "serial/nrComm.h"
#include "ui/UiTestSupport.h"
#include "ui/WindowUnderTest.h"
#include "ui/device/PortSettings.h"
#include "ui/support/StatusTexts.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/ShapeCircle.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QTest>
#include <QTimer>

#include <array>
#include <atomic>
#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <poll.h>
#include <unistd.h>

namespace {

constexpr int kSlowMs = 8000;  // generous: a loaded machine under the sanitizers

QByteArray Crlf(const char *text) {
    return QByteArray(text) + "\r\n";
}

// A block with every field the window shows set to something other than the
// window's start-up values.
std::array<uint16_t, 32> ReportedBlock() {
    std::array<uint16_t, 32> w{};
    w[1] = 9216;     // 921600 baud
    w[4] = 3;        // 19 bits
    w[5] = 7;        // 64 Hz
    w[6] = 0;        // TV
    w[7] = 1;        // live output on
    w[8] = 2;        // UART2
    w[9] = 1;        // LED on
    w[10] = 20;      // 20 ms between frames
    w[11] = 1;       // half frames
    w[19] = 3012;    // cell voltage, mV
    w[21] = 0x2103;  // 2021-03
    w[22] = 0x0509;  // day 05, 09 h
    w[23] = 0x4517;  // 45 min 17 s
    w[24] = 5;       // photos saved
    return w;
}

TUINT16s Words(const std::array<uint16_t, 32> &w) {
    return TUINT16s(w.begin(), w.end());
}

}  // namespace

class TstConnection : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates)); }

    void portListKeepsComPortsAndAddsPresentDevicesAndSim() {
        auto form = MakeShownForm();
        QComboBox *box = form->cbb_Port;
        QCOMPARE(box->currentText(), QStringLiteral("COM4"));
        for (int i = 0; i < 16; ++i)
            QCOMPARE(box->itemText(i), QStringLiteral("COM%1").arg(i + 1));
        QStringList present;
        for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts())
            if (!present.contains(info.systemLocation()))
                present << info.systemLocation();
        present.sort();
        QCOMPARE(box->count(), 16 + present.size() + 1);
        for (int i = 0; i < present.size(); ++i)
            QCOMPARE(box->itemText(16 + i), present[i]);
        QCOMPARE(box->itemText(box->count() - 1), QStringLiteral("SIM"));
    }

    void connectAppliesThePortSettingsAndDisconnectCloses() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(pty.IsValid());
        TComm *comm = Comm1Of(*form);
        QVERIFY(comm);
        // As the window holds it before any connect.
        QCOMPARE(comm->GetDtrControl(), TDtrControl::DtrDisable);
        QCOMPARE(comm->GetRtsControl(), TRtsControl::RtsDisable);

        form->edt_ComTimeout->setText(QStringLiteral("7"));
        QVERIFY(ConnectWindow(*form, pty.SlavePath(), true));
        QVERIFY(comm->IsOpen());
        QCOMPARE(comm->GetCommName(), QStringLiteral("//./") + pty.SlavePath());
        QCOMPARE(comm->GetBaudRate(), 460800u);
        QCOMPARE(comm->GetReadIntervalTimeout(), 7u);
        QCOMPARE(comm->GetReadTotalTimeoutConstant(), 0u);
        QCOMPARE(comm->GetReadTotalTimeoutMultiplier(), 0u);
        QVERIFY(comm->GetParityCheck());
        QCOMPARE(comm->GetParity(), TParity::None);
        QCOMPARE(comm->GetByteSize(), TByteSize::_8);
        QCOMPARE(comm->GetStopBits(), TStopBits::_1);
        QVERIFY(!comm->GetInx_XonXoffFlow() && !comm->GetOutx_XonXoffFlow());
        QCOMPARE(form->btn_Connect->text(), QStringLiteral("Disconnect"));
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::red));
        QCOMPARE(form->StatusBar1->PanelText(0), pty.SlavePath() + QStringLiteral(" 460800 N 8 1 Connected"));
        QVERIFY(form->Timer3->isActive());
        QCOMPARE(form->Session().GetportType(), 0);

        QVERIFY(DisconnectWindow(*form));
        QVERIFY(!comm->IsOpen());
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::black));
        QCOMPARE(form->StatusBar1->PanelText(0),
                 pty.SlavePath() + QStringLiteral(" 460800 N 8 1 Disconnected"));
        // The module's status stays as it was.
        form->Session().Intake().Core().EEIsOK.store(true);
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        QVERIFY(DisconnectWindow(*form));
        QVERIFY(form->Session().CalibrationReceived());
    }

    void openErrorNamesThePortAndChangesNothing() {
        auto form = MakeShownForm();
        TCapturedErrors errors;
        const QString panel0 = form->StatusBar1->PanelText(0);
        const QString missing = QStringLiteral("/dev/korvale-no-such-port");
        QVERIFY(!ConnectWindow(*form, missing, true));
        QCOMPARE(errors.Messages(), QStringList{OpenErrorText(missing, 1)});
        QVERIFY(errors.Messages().first().startsWith(missing + QStringLiteral("Open Error\n\r")));
        QCOMPARE(form->btn_Connect->text(), form->Form().GetConnectPortCaption());
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::black));
        QCOMPARE(form->StatusBar1->PanelText(0), panel0);
        QVERIFY(!form->Session().IsConnected());
        QVERIFY(!form->Timer3->isActive());

        // A speed that is not a number: its conversion message, the port stays closed.
        TPtyModule pty;
        errors.Clear();
        form->cbb_Baud->setEditText(QStringLiteral("fast"));
        QVERIFY(!ConnectWindow(*form, pty.SlavePath(), true));
        QCOMPARE(errors.Messages().size(), 1);
        QVERIFY(errors.Messages().first().contains(QStringLiteral("fast")));
        QVERIFY(!Comm1Of(*form)->IsOpen());
        QCOMPARE(form->StatusBar1->PanelText(0), panel0);
    }

    void readParametersGoOutAfterTheConnect() {
        auto form = MakeShownForm();
        TPtyModule pty;
        // The action waits inside the event loop, so the arrival times are taken by
        // a reader thread of the test's own.
        using TClock = std::chrono::steady_clock;
        std::atomic<bool> stop{false};
        std::mutex mutex;
        QByteArray got;
        std::vector<std::pair<TClock::duration, qsizetype>> arrivals;  // time, bytes so far
        const TClock::time_point start = TClock::now();
        struct TJoin {
            std::atomic<bool> &stop;
            std::thread thread;
            ~TJoin() {
                stop.store(true);
                if (thread.joinable())
                    thread.join();
            }
        } reader{stop, std::thread([&] {
                     while (!stop.load()) {
                         pollfd p{pty.MasterFd(), POLLIN, 0};
                         if (poll(&p, 1, 5) <= 0 || !(p.revents & POLLIN))
                             continue;
                         char buffer[256];
                         const ssize_t n = read(pty.MasterFd(), buffer, sizeof buffer);
                         if (n <= 0)
                             continue;
                         std::lock_guard<std::mutex> lock(mutex);
                         got.append(buffer, n);
                         arrivals.emplace_back(TClock::now() - start, got.size());
                     }
                 })};
        QVERIFY(ConnectWindow(*form, pty.SlavePath(), true));
        auto received = [&] {
            std::lock_guard<std::mutex> lock(mutex);
            return got.size();
        };
        QTRY_VERIFY_WITH_TIMEOUT(received() >= 24, kSlowMs);
        QTRY_VERIFY_WITH_TIMEOUT(!form->Session().ReadParsIsBusy(), kSlowMs);
        QTest::qWait(30);
        stop.store(true);
        reader.thread.join();

        const QByteArray first = Crlf("$SETP=17,3");
        QCOMPARE(got, first + Crlf("$SETP=17,4"));
        auto arrivalOf = [&](qsizetype bytes) {
            for (const auto &[when, total] : arrivals)
                if (total >= bytes)
                    return std::chrono::duration_cast<std::chrono::milliseconds>(when).count();
            return std::chrono::milliseconds::rep(-1);
        };
        const auto t1 = arrivalOf(first.size());
        const auto t2 = arrivalOf(got.size());
        // About 300 ms after the connect, then about 500 ms later.
        QVERIFY2(t1 >= 280 && t1 < 3000, qPrintable(QString::number(t1)));
        QVERIFY2(t2 - t1 >= 300 && t2 - t1 < 3000, qPrintable(QString::number(t2 - t1)));
        QVERIFY(!form->Timer3->isActive());
        QVERIFY(!form->Session().ReadParsIsBusy());
    }

    void lostDeviceShowsDisconnectedAndAllowsReconnect() {
        auto form = MakeShownForm();
        auto pty = std::make_unique<TPtyModule>();
        QVERIFY(ConnectWindow(*form, pty->SlavePath(), true));
        // The module goes away before the read-parameters step.
        pty->CloseMaster();
        QTRY_VERIFY_WITH_TIMEOUT(!form->Session().IsConnected(), kSlowMs);
        QCOMPARE(form->btn_Connect->text(), QStringLiteral("Connect"));
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::black));
        QVERIFY(form->StatusBar1->PanelText(0).endsWith(QStringLiteral(" N 8 1 Disconnected")));
        QCOMPARE(form->StatusBar1->PanelText(6), ConnectionLostText(1));
        QVERIFY(!Comm1Of(*form)->IsOpen());
        QVERIFY(!form->Timer3->isActive());

        // A new device: connect again and talk to it.
        TPtyModule again;
        QVERIFY(ConnectWindow(*form, again.SlavePath()));
        form->btn_Reboot->setEnabled(true);
        form->btn_Reboot->click();
        QCOMPARE(again.ReadCount(12, kSlowMs), Crlf("$SETP=17,1"));
    }

    void ratesPanelShowsTheLastSecondAndRestarts() {
        auto form = MakeShownForm();
        QCOMPARE(form->Timer2->interval(), 1000);
        QVERIFY(form->Timer2->isActive());
        form->Timer2->stop();  // the test takes the rates itself
        CountRates(*form, 9, 8, 3);
        form->Form().Timer2Timer(form->Timer2);
        QCOMPARE(form->StatusBar1->PanelText(5),
                 QStringLiteral("DataRecv:9Hz  DataCalc:8Hz  ImageRefresh:3Hz"));
        const TLinkRates left = form->Session().Intake().Rates();
        QCOMPARE(left.Received + left.Computed + form->Form().GetpicUpdateRate(), 0);
        form->Form().SetLanguageNum(0);
        CountRates(*form, 0, 8, 0);
        form->Form().Timer2Timer(form->Timer2);
        QCOMPARE(form->StatusBar1->PanelText(5),
                 QStringLiteral("数据接收：0Hz  数据计算：8Hz  图像更新：0Hz"));
    }

    void readTimeoutFollowsTheBox() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        TComm *comm = Comm1Of(*form);
        QCOMPARE(comm->GetReadIntervalTimeout(), 5u);
        TypeInto(form->edt_ComTimeout, QStringLiteral("200"));
        QCOMPARE(comm->GetReadIntervalTimeout(), 200u);
        form->edt_ComTimeout->setText(QStringLiteral("2x"));
        form->edt_ComTimeout->clear();
        QCOMPARE(comm->GetReadIntervalTimeout(), 200u);
        // Applied to the open port at once: three 3-byte pieces 20 ms apart arrive as
        // one chunk of 9 bytes, which is buffered (pieces of 5 bytes or fewer would
        // only be counted).
        pty.Drain();
        const int before = form->Session().Intake().ReceiveCounters().RXByteCount;
        const int32_t buffered = form->Session().Intake().BufferedBytes();
        for (int i = 0; i < 3; ++i) {
            QVERIFY(pty.Write(QByteArray(3, 'z')));
            QTest::qWait(20);
        }
        QTRY_COMPARE_WITH_TIMEOUT(form->Session().Intake().ReceiveCounters().RXByteCount, before + 9,
                                  kSlowMs);
        QCOMPARE(form->Session().Intake().BufferedBytes(), buffered + 9);
    }

    void systemParameterBlockFillsTheControlsAndEchoesChangedBoxes() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        pty.Drain();

        form->Form().UpdateSysParsShow(Words(ReportedBlock()));
        QCOMPARE(ItemIndex(form->cbb_ADCResolution), 3);
        QCOMPARE(ItemIndex(form->cbb_RefreshRate), 7);
        QCOMPARE(ItemIndex(form->cbb_ArrangeMode), 0);
        QCOMPARE(ItemIndex(form->cbb_OutPortNum), 2);
        QCOMPARE(form->cbb_OutBaud->currentText(), QStringLiteral("921600"));
        QCOMPARE(ItemIndex(form->cbb_OutBaud), 4);
        QVERIFY(form->chk_AutoSend->isChecked() && form->chk_LedEN->isChecked() &&
                form->chk_FrmHalf->isChecked());
        QCOMPARE(form->edt_DelayMs->text(), QStringLiteral("20"));
        QCOMPARE(form->lbl_RTC->text(), QStringLiteral("2021-03-05 09:45:17"));
        QCOMPARE(form->lbl_Cell->text(), QStringLiteral("Button battery voltage:3012mV"));
        QCOMPARE(form->lbl_SavedPhotoNum->text(), QStringLiteral("5"));
        // Outside the read-parameters action the changed boxes go back to the
        // module, in the order they were set; the lists send nothing.
        const QByteArray echoed =
            Crlf("$SETP=7,1") + Crlf("$SETP=9,1") + Crlf("$SETP=10,20") + Crlf("$SETP=11,1");
        QByteArray got = pty.ReadCount(int(echoed.size()), kSlowMs);
        got += pty.ReadFor(30);
        QCOMPARE(got, echoed);

        // The same block again changes nothing and sends nothing.
        form->Form().UpdateSysParsShow(Words(ReportedBlock()));
        QCOMPARE(pty.ReadFor(60), QByteArray());

        // While ReadParsIsBusy is set nothing is echoed; words outside a list leave
        // it without a selection.
        auto w = ReportedBlock();
        w[1] = 1000;
        w[4] = 9;
        w[7] = 0;
        w[10] = 3;
        form->Session().BeginReadPars();
        form->Form().UpdateSysParsShow(Words(w));
        form->Session().EndReadPars();
        QCOMPARE(pty.ReadFor(60), QByteArray());
        QCOMPARE(ItemIndex(form->cbb_OutBaud), -1);
        QCOMPARE(form->cbb_OutBaud->currentIndex(), -1);
        QCOMPARE(ItemIndex(form->cbb_ADCResolution), -1);
        QVERIFY(!form->chk_AutoSend->isChecked());
        QCOMPARE(form->edt_DelayMs->text(), QStringLiteral("3"));

        // A block shorter than 32 words shows nothing.
        form->Form().UpdateSysParsShow(TUINT16s(10, 1));
        QCOMPARE(form->edt_DelayMs->text(), QStringLiteral("3"));
    }

    void receivedFramesReachTheWindow() {
        auto form = MakeShownForm();
        TPtyModule pty;
        QVERIFY(ConnectWindow(*form, pty.SlavePath()));
        pty.Drain();

        // A "SYS" frame: decoded by the worker, shown through UpdateSysParsShow.
        QVERIFY(pty.Write(SysFrameBytes(ReportedBlock())));
        QTRY_VERIFY_WITH_TIMEOUT(form->Session().ParametersReceived(), kSlowMs);
        QTRY_COMPARE_WITH_TIMEOUT(form->lbl_RTC->text(), QStringLiteral("2021-03-05 09:45:17"), kSlowMs);
        QCOMPARE(form->Session().Intake().ReceiveCounters().RXByteCount, 71);
        QCOMPARE(form->Session().Intake().Status().LastType, TFrameType::SYS);
        QCOMPARE(form->Session().SavedPhotoCount(), 5);
        pty.ReadFor(100);

        // "TYPE" from a module that has just started runs the read-parameters action.
        QVERIFY(pty.Write(QByteArray("TYPE MLX90640 module\r\n")));
        QCOMPARE(pty.ReadUntil([](const QByteArray &b) { return b.contains(Crlf("$SETP=17,4")); }, kSlowMs),
                 Crlf("$SETP=17,3") + Crlf("$SETP=17,4"));
    }

    void alternativeConnectUsesItsOwnPortAndChineseTexts() {
        auto form = MakeShownForm();
        TnrComm *nr = &form->Session().nrComm1();
        QVERIFY(nr);
        TCapturedErrors errors;
        nr->SetPortName(QStringLiteral("/dev/korvale-no-such-port"));
        form->btn_Connect2->click();
        QCOMPARE(errors.Messages(), QStringList{OpenErrorText(QStringLiteral("COM4"), 0)});
        QCOMPARE(form->btn_Connect2->text(), QStringLiteral("连接端口"));
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::black));

        TPtyModule pty;
        nr->SetPortName(pty.SlavePath());
        form->btn_Connect2->click();
        QVERIFY(nr->GetActive());
        QCOMPARE(form->btn_Connect2->text(), QStringLiteral("断开端口"));
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::red));
        QCOMPARE(form->StatusBar1->PanelText(0), QStringLiteral("COM4 460800 N 8 1 已连接"));
        QCOMPARE(form->Session().GetportType(), 1);
        QVERIFY(!form->Session().IsConnected());
        QVERIFY(!form->Timer3->isActive());
        // Commands now go through the alternative component.
        form->btn_Reboot->setEnabled(true);
        form->btn_Reboot->click();
        QCOMPARE(pty.ReadCount(12, kSlowMs), Crlf("$SETP=17,1"));

        form->btn_Connect2->click();
        QVERIFY(!nr->GetActive());
        QCOMPARE(form->btn_Connect2->text(), QStringLiteral("连接端口"));
        QCOMPARE(form->StatusBar1->PanelText(0), QStringLiteral("COM4 460800 N 8 1 未连接"));
        QCOMPARE(form->shp_led->BrushColor(), QColor(Qt::black));
    }
};

QTEST_MAIN(TstConnection)
#include "ConnectionTest.moc"
