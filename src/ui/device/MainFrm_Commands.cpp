// Sending commands to the module: the one send path CommSendStr, the
// read-parameters action, the module actions, the clock, the free command line and
// the device-parameter controls. The command lines themselves come from the link
// layer (Commands.h).

#include "protocol/Commands.h"
#include "serial/SPComm.h"
#include "serial/nrComm.h"
#include "timing/Delay.h"
#include "ui/device/MainFrm_ConnectParts.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QLineEdit>
#include <QPushButton>

#include <algorithm>
#include <limits>

void TForm_Main::CommSendStr(const QString &str) {
    const int lang = WinState.LanguageNum.load();
    edt_Tx->setText(str);
    StatusBar1->SetPanelText(3, SendingStatusText(lang));
    Delay(CommSendDelayMs);
    const QByteArray bytes = CommandBytes(str);
    CommSendBytes(reinterpret_cast<const uint8_t *>(bytes.constData()), int32_t(bytes.size()));
    WinState.TXByteCount.fetch_add(int32_t(bytes.size()));
    StatusBar1->SetPanelText(1, SendCountText(lang, WinState.TXByteCount.load()));
}

void TForm_Main::CommSendBytes(const uint8_t *bytes, int32_t count) {
    // Queues the bytes on the component in use; with no port open they go nowhere.
    if (!bytes || count <= 0 || !fLink)
        return;
    if (WinState.portType.load() != 0) {
        fLink->nrComm1->SendData(bytes, uint32_t(count));
        return;
    }
    // One queued block holds at most 65535 bytes; a longer text goes in several.
    constexpr int32_t kMaxBlock = std::numeric_limits<uint16_t>::max();
    for (int32_t offset = 0; offset < count; offset += kMaxBlock) {
        const int32_t n = std::min(kMaxBlock, count - offset);
        fLink->Comm1->WriteCommData(bytes + offset, uint16_t(n));
    }
}

void TForm_Main::btn_GetCalibInfoClick(QObject *) {
    // Asks for the calibration memory and the system parameters; the pauses keep the
    // event loop running, so the answers arrive and fill the controls while
    // ReadParsIsBusy keeps them from being sent back.
    bool ended = false;
    auto end = [this, &ended] {
        btn_GetCalibInfo->setEnabled(true);
        WinState.ReadParsIsBusy.store(false);
        ended = true;
    };
    try {
        for (const TReadParsStep &step : ReadParsSequence()) {
            switch (step.Kind) {
            case RPS_Begin:
                WinState.ReadParsIsBusy.store(true);
                btn_GetCalibInfo->setEnabled(false);
                break;
            case RPS_Send: CommSendStr(step.Command()); break;
            case RPS_Delay: Delay(step.DelayMs); break;
            case RPS_End: end(); break;
            }
        }
    } catch (...) {
        // The button and the device-parameter controls must not stay blocked.
        if (!ended)
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
    CommSendStr(SetDateTimeCommand(QDateTime::currentDateTime()));
}

// ---- Device-parameter controls: each sends its value unless ReadParsIsBusy is set.

void TForm_Main::cbb_ADCResolutionChange(QObject *) {
    if (const auto cmd = ItemIndexParCommand(SPN_ADCResolution, ItemIndex(cbb_ADCResolution),
                                             WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::cbb_RefreshRateChange(QObject *) {
    if (const auto cmd =
            ItemIndexParCommand(SPN_RefreshRate, ItemIndex(cbb_RefreshRate), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::cbb_ArrangeModeChange(QObject *) {
    if (const auto cmd =
            ItemIndexParCommand(SPN_ArrangeMode, ItemIndex(cbb_ArrangeMode), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::cbb_OutPortNumChange(QObject *) {
    if (const auto cmd =
            ItemIndexParCommand(SPN_OutPortNum, ItemIndex(cbb_OutPortNum), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::cbb_OutBaudChange(QObject *) {
    // A text that is not a number raises a conversion error for the error dialog.
    if (const auto cmd = OutBaudParCommand(cbb_OutBaud->currentText(), WinState.ReadParsIsBusy.load(),
                                           WinState.LanguageNum.load()))
        CommSendStr(*cmd);
}

void TForm_Main::chk_AutoSendClick(QObject *) {
    if (const auto cmd =
            CheckParCommand(SPN_AutoSend, chk_AutoSend->isChecked(), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::chk_LedENClick(QObject *) {
    if (const auto cmd = CheckParCommand(SPN_LedEN, chk_LedEN->isChecked(), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::chk_FrmHalfClick(QObject *) {
    if (const auto cmd =
            CheckParCommand(SPN_FrmHalf, chk_FrmHalf->isChecked(), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}

void TForm_Main::edt_DelayMsChange(QObject *) {
    if (const auto cmd = DelayMsParCommand(edt_DelayMs->text(), WinState.ReadParsIsBusy.load()))
        CommSendStr(*cmd);
}
