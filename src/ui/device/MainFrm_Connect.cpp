// Connecting and disconnecting: btn_Connect through Comm1 (a serial device or the
// built-in virtual module "SIM"), the hidden btn_Connect2 through nrComm1, and the
// lost connection reported by Comm1.

#include "serial/SPComm.h"
#include "serial/nrComm.h"
#include "ui/device/ConnectText.h"
#include "ui/device/MainFrm_ConnectParts.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"
#include "ui/widgets/ShapeCircle.h"
#include "ui/widgets/StatusPanels.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSerialPortInfo>
#include <QSignalBlocker>
#include <QTimer>

#include <exception>

namespace {

// btn_Connect2 keeps its Chinese captions whatever the language.
const QString kConnect2Caption = QStringLiteral("连接端口");
const QString kDisconnect2Caption = QStringLiteral("断开端口");
constexpr int kConnectionPanel = 0;
constexpr int kNoticePanel = 6;

void ApplyPortSettings(TComm &comm, const TPortSettings &s, const QString &commName) {
    comm.SetCommName(commName);
    comm.SetBaudRate(s.BaudRate);
    comm.SetParity(TParity::None);
    comm.SetByteSize(TByteSize::_8);
    comm.SetParityCheck(s.ParityCheck);
    comm.SetStopBits(TStopBits::_1);
    comm.SetReadIntervalTimeout(s.ReadIntervalTimeout);
    comm.SetReadTotalTimeoutConstant(s.ReadTotalTimeoutConstant);
    comm.SetReadTotalTimeoutMultiplier(s.ReadTotalTimeoutMultiplier);
    comm.SetInx_XonXoffFlow(s.Inx_XonXoffFlow);
    comm.SetOutx_XonXoffFlow(s.Outx_XonXoffFlow);
}

// StartComm's verdict; an error it raises counts as a failure too.
QString TryStartComm(TComm &comm) {
    try {
        return comm.StartComm();
    } catch (const std::exception &e) {
        const QString why = QString::fromUtf8(e.what());
        return why.isEmpty() ? QStringLiteral("StartComm") : why;
    } catch (...) {
        return QStringLiteral("StartComm");
    }
}

}  // namespace

void AddPresentPortItems(QComboBox *cbb_Port) {
    QStringList extra;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        const QString path = info.systemLocation();
        if (!path.isEmpty() && !extra.contains(path))
            extra << path;
    }
    extra.sort();
    extra << QString::fromLatin1(SimPortName);
    const QSignalBlocker blocker(cbb_Port);
    const QString shown = cbb_Port->currentText();
    cbb_Port->addItems(extra);
    if (cbb_Port->currentText() != shown)
        cbb_Port->setEditText(shown);
}

void TForm_Main::btn_ConnectClick(QObject *) {
    WinState.portType.store(0);
    TComm &comm = *fLink->Comm1;
    const int lang = WinState.LanguageNum.load();
    const QString portText = cbb_Port->currentText();
    const QString baudText = cbb_Baud->currentText();

    if (btn_Connect->text() != WinState.ConnectPortCaption) {
        // Disconnect.
        comm.StopComm();
        fLink->Sim.Stop();
        WinState.PortIsConnected.store(false);
        shp_led->SetBrushColor(Qt::black);
        StatusBar1->SetPanelText(kConnectionPanel, ConnectionPanelText(portText, baudText, false, lang));
        btn_Connect->setText(WinState.ConnectPortCaption);
        return;
    }

    comm.StopComm();
    fLink->Sim.Stop();
    // A speed or time-out that is not a number stops here with its own message; the
    // port stays closed.
    const TPortSettings settings = ConnectPortSettings(portText, baudText, edt_ComTimeout->text(), lang);
    QString commName = settings.CommName;
    QString failure;
    if (IsSimPortName(portText)) {
        // The virtual module: a fresh one on its own pseudo-terminal.
        const QString device = fLink->Sim.Start(&failure);
        if (device.isEmpty()) {
            ReportHandlerError(this, OpenErrorText(portText, lang));
            return;
        }
        commName = QStringLiteral("//./") + device;
    }
    ApplyPortSettings(comm, settings, commName);
    failure = TryStartComm(comm);
    if (!failure.isEmpty()) {
        fLink->Sim.Stop();
        ReportHandlerError(this, OpenErrorText(portText, lang));
        return;
    }

    WinState.PortIsConnected.store(true);
    btn_Connect->setText(WinState.DisConnectPortCaption);
    shp_led->SetBrushColor(Qt::red);
    StatusBar1->SetPanelText(kConnectionPanel, ConnectionPanelText(portText, baudText, true, lang));
    Timer3->start();
}

void Comm1LinkLost(TForm_Main &form, TLinkParts &parts) {
    if (!parts.Comm1 || !parts.Comm1->IsOpen())
        return;  // already closed (a notice of an earlier session)
    const int lang = form.WinState.LanguageNum.load();
    parts.Comm1->StopComm();
    parts.Sim.Stop();
    // The read-parameters step of a connect that has just happened has nothing to ask.
    form.Timer3->stop();
    // A frame that was already being decoded is shown now rather than at the next
    // live-view tick: the refresh rewrites panel 6, and the notice below must stay.
    if (parts.Intake)
        parts.Intake->WaitIdle();
    form.Timer1Timer(form.Timer1);
    form.WinState.PortIsConnected.store(false);
    form.shp_led->SetBrushColor(Qt::black);
    form.btn_Connect->setText(form.WinState.ConnectPortCaption);
    form.StatusBar1->SetPanelText(
        kConnectionPanel,
        ConnectionPanelText(form.cbb_Port->currentText(), form.cbb_Baud->currentText(), false, lang));
    form.StatusBar1->SetPanelText(kNoticePanel, ConnectionLostText(lang));
}

void TForm_Main::btn_Connect2Click(QObject *) {
    // The alternative component opens its own stored port at its own speed; the
    // panel shows the boxes all the same, always in Chinese.
    WinState.portType.store(1);
    TnrComm &comm = *fLink->nrComm1;
    const QString portText = cbb_Port->currentText();
    const QString baudText = cbb_Baud->currentText();
    if (btn_Connect2->text() == kConnect2Caption) {
        try {
            comm.SetActive(true);
        } catch (const std::exception &) {
            ReportHandlerError(this, OpenErrorText(portText, 0));
            return;
        }
        btn_Connect2->setText(kDisconnect2Caption);
        shp_led->SetBrushColor(Qt::red);
        StatusBar1->SetPanelText(kConnectionPanel, ConnectionPanelText(portText, baudText, true, 0));
        return;
    }
    comm.SetActive(false);
    shp_led->SetBrushColor(Qt::black);
    StatusBar1->SetPanelText(kConnectionPanel, ConnectionPanelText(portText, baudText, false, 0));
    btn_Connect2->setText(kConnect2Caption);
}
