// Connecting and disconnecting: btn_Connect through Comm1 (a serial device or the
// built-in virtual module "SIM"), the hidden btn_Connect2 through nrComm1, and the
// lost connection the session reports.

#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/ErrorHandler.h"
#include "ui/support/StatusTexts.h"
#include "ui/support/TextCatalogue.h"
#include "ui/widgets/ShapeCircle.h"
#include "ui/widgets/StatusPanels.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <exception>

namespace {

// btn_Connect2 keeps its Chinese captions whatever the language.
constexpr int32_t kConnect2Language = 0;
constexpr int kConnectionPanel = 0;
constexpr int kNoticePanel = 6;

}  // namespace

void TForm_Main::btn_ConnectClick(QObject *) {
    const QString portText = cbb_Port->currentText();
    const QString baudText = cbb_Baud->currentText();

    if (fSession.IsConnected()) {
        fSession.ClosePort();
        shp_led->SetBrushColor(Qt::black);
        StatusBar1->SetPanelText(kConnectionPanel,
                                 ConnectionPanelText(portText, baudText, false, LanguageNum));
        btn_Connect->setText(ConnectPortCaption);
        return;
    }

    // A recording that plays, or a temperature file on show, gives way to the module.
    CloseOpenedFiles();
    fSession.StopPort();
    // A speed or time-out that is not a number stops here with its own message; the
    // port stays closed.
    const TPortSettings settings =
        ConnectPortSettings(portText, baudText, edt_ComTimeout->text(), LanguageNum);
    const TPortOpenFailure failure = fSession.OpenPort(settings, portText);
    if (failure.IsFailure()) {
        ReportHandlerError(this, PortOpenErrorText(portText, failure.Errno, LanguageNum));
        return;
    }
    fHoldConnectionLostNotice = false;
    btn_Connect->setText(DisConnectPortCaption);
    shp_led->SetBrushColor(Qt::red);
    StatusBar1->SetPanelText(kConnectionPanel, ConnectionPanelText(portText, baudText, true, LanguageNum));
    Timer3->start();
}

void TForm_Main::Comm1LinkLost() {
    // The read-parameters step of a connect that has just happened has nothing to ask.
    Timer3->stop();
    // A picture that is ready is shown now; panel 6 then takes the notice and keeps
    // it until the next connect, so frames still being decoded do not replace it.
    // (Nothing here waits for the decoding worker: it may itself be waiting for this
    // thread, inside the handler that sent a value back to the module.)
    Timer1Timer(Timer1);
    fHoldConnectionLostNotice = true;
    shp_led->SetBrushColor(Qt::black);
    btn_Connect->setText(ConnectPortCaption);
    StatusBar1->SetPanelText(
        kConnectionPanel,
        ConnectionPanelText(cbb_Port->currentText(), cbb_Baud->currentText(), false, LanguageNum));
    StatusBar1->SetPanelText(kNoticePanel, ConnectionLostText(LanguageNum));
}

void TForm_Main::nrComm1LinkLost() {
    // The component has closed itself: the hidden button and the indicator follow.
    shp_led->SetBrushColor(Qt::black);
    StatusBar1->SetPanelText(
        kConnectionPanel,
        ConnectionPanelText(cbb_Port->currentText(), cbb_Baud->currentText(), false, kConnect2Language));
    btn_Connect2->setText(Tr(TText::ConnectPort, kConnect2Language));
}

void TForm_Main::btn_Connect2Click(QObject *) {
    // The alternative component opens its own stored port at its own speed; the
    // panel shows the boxes all the same, always in Chinese.
    const QString portText = cbb_Port->currentText();
    const QString baudText = cbb_Baud->currentText();
    if (!fSession.AlternativeActive()) {
        CloseOpenedFiles();
        try {
            fSession.SetAlternativeActive(true);
        } catch (const std::exception &) {
            ReportHandlerError(this, OpenErrorText(portText, kConnect2Language));
            return;
        }
        btn_Connect2->setText(Tr(TText::DisconnectPort, kConnect2Language));
        shp_led->SetBrushColor(Qt::red);
        StatusBar1->SetPanelText(kConnectionPanel,
                                 ConnectionPanelText(portText, baudText, true, kConnect2Language));
        return;
    }
    fSession.SetAlternativeActive(false);
    shp_led->SetBrushColor(Qt::black);
    StatusBar1->SetPanelText(kConnectionPanel,
                             ConnectionPanelText(portText, baudText, false, kConnect2Language));
    btn_Connect2->setText(Tr(TText::ConnectPort, kConnect2Language));
}
