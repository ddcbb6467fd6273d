// Sending commands to the module: the one send path CommSendStr, the
// read-parameters action, the module actions, the clock, the free command line and
// the device-parameter controls. The command lines come from the protocol
// (protocol/Commands.h); the session queues the bytes.

#include "protocol/Commands.h"
#include "timing/Delay.h"
#include "ui/device/ModuleSession.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/Convert.h"
#include "ui/support/StatusTexts.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Pause, with the message loop running, before a command is queued.
constexpr int CommSendDelayMs = 10;

}  // namespace

void TForm_Main::CommSendStr(const QString &str) {
    edt_Tx->setText(str);
    StatusBar1->SetPanelText(3, SendingStatusText(LanguageNum));
    Delay(CommSendDelayMs);
    fSession.SendBytes(CommandBytes(
        std::u16string_view(reinterpret_cast<const char16_t *>(str.utf16()), size_t(str.size()))));
    StatusBar1->SetPanelText(1, SendCountText(LanguageNum, fSession.TXByteCount()));
}

void TForm_Main::CommSendBytes(const uint8_t *bytes, int32_t count) {
    // Queues the bytes on the component in use; with no port open they go nowhere.
    if (bytes && count > 0)
        fSession.SendBytes(std::string(reinterpret_cast<const char *>(bytes), size_t(count)));
}

void TForm_Main::btn_GetCalibInfoClick(QObject *) {
    // Asks for the calibration memory and the system parameters; the pauses keep the
    // event loop running, so the answers arrive and fill the controls while
    // the read-parameters protection keeps them from being sent back. An action that
    // starts while another runs (the module's "TYPE" reply) holds the protection too;
    // it drops, and the button comes back, when the outermost action ends.
    std::optional<TReadParsHold> hold;
    auto end = [&] {
        hold.reset();
        if (!fSession.ReadParsIsBusy())
            btn_GetCalibInfo->setEnabled(true);
    };
    try {
        for (const TReadParsStep &step : ReadParsSequence()) {
            switch (step.Kind) {
            case RPS_Begin:
                hold.emplace(fSession);
                btn_GetCalibInfo->setEnabled(false);
                break;
            case RPS_Send: CommSendStr(ModuleActionCommand(step.Action)); break;
            case RPS_Delay: Delay(step.DelayMs); break;
            case RPS_End: end(); break;
            }
        }
    } catch (...) {
        // The button and the device-parameter controls must not stay blocked.
        end();
        throw;
    }
}

void TForm_Main::btn_SendCmdClick(QObject *) {
    CommSendStr(edt_Tx->text());
}

void TForm_Main::btn_RebootClick(QObject *) {
    CommSendStr(ModuleActionCommand(MA_Reboot));
}

void TForm_Main::btn_SetParsDefClick(QObject *) {
    CommSendStr(ModuleActionCommand(MA_ParsToDefault));
}

void TForm_Main::btn_SetDTClick(QObject *) {
    const QDateTime now = QDateTime::currentDateTime();
    const QDate d = now.date();
    const QTime t = now.time();
    CommSendStr(SetDateTimeCommand({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()}));
}

// ---- Device-parameter controls: each sends its value unless ReadParsIsBusy is set.
// A list sends only an item it holds: typed text that matches none sends nothing (the
// list returns to its last item when editing ends).

void TForm_Main::SendDeviceParameter(int parameter, int64_t value) {
    if (!fSession.ReadParsIsBusy())
        CommSendStr(SetParCommand(parameter, value));
}

void TForm_Main::SendDeviceListItem(int parameter, QComboBox *list) {
    const int item = ItemIndex(list);
    if (item >= 0)
        SendDeviceParameter(parameter, item);
}

void TForm_Main::cbb_ADCResolutionChange(QObject *) {
    SendDeviceListItem(SPN_ADCResolution, cbb_ADCResolution);
}

void TForm_Main::cbb_RefreshRateChange(QObject *) {
    SendDeviceListItem(SPN_RefreshRate, cbb_RefreshRate);
}

void TForm_Main::cbb_ArrangeModeChange(QObject *) {
    SendDeviceListItem(SPN_ArrangeMode, cbb_ArrangeMode);
}

void TForm_Main::cbb_OutPortNumChange(QObject *) {
    SendDeviceListItem(SPN_OutPortNum, cbb_OutPortNum);
}

void TForm_Main::cbb_OutBaudChange(QObject *) {
    // Only a speed of the list: a typed digit on its way to a speed would otherwise
    // set the module to a speed of 0 and cut the link.
    if (fSession.ReadParsIsBusy() || ItemIndex(cbb_OutBaud) < 0)
        return;
    // The module takes its speed in hundreds.
    SendDeviceParameter(SPN_OutBaud, StrToInt(cbb_OutBaud->currentText(), LanguageNum) / 100);
}

void TForm_Main::chk_AutoSendClick(QObject *) {
    SendDeviceParameter(SPN_AutoSend, chk_AutoSend->isChecked() ? 1 : 0);
}

void TForm_Main::chk_LedENClick(QObject *) {
    SendDeviceParameter(SPN_LedEN, chk_LedEN->isChecked() ? 1 : 0);
}

void TForm_Main::chk_FrmHalfClick(QObject *) {
    SendDeviceParameter(SPN_FrmHalf, chk_FrmHalf->isChecked() ? 1 : 0);
}

void TForm_Main::edt_DelayMsChange(QObject *) {
    // An empty box, a text that is not a number or a number the module's 16-bit
    // parameter cannot hold (negative, above 65535) sends nothing, silently.
    int32_t value = 0;
    if (TryStrToInt(edt_DelayMs->text(), value) && value >= 0 && value <= 0xFFFF)
        SendDeviceParameter(SPN_DelayMs, value);
}
