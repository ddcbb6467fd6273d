// The module's status in the window: the read-parameters step after connecting
// (Timer3), the rates of panel 5 (Timer2), the port's read time-out and the
// device-parameter controls set from the module's system-parameter block.

#include "protocol/SysParsBlock.h"
#include "timing/Delay.h"
#include "ui/device/ModuleSession.h"
#include "ui/device/PortSettings.h"
#include "ui/device/SysParsShow.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/StatusTexts.h"
#include "ui/widgets/ComboUtil.h"
#include "ui/widgets/StatusPanels.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

void TForm_Main::Timer3Timer(QObject *) {
    // Once per connection, about 300 ms after the port opened.
    Timer3->stop();
    Delay(AfterConnectDelayMs);
    btn_GetCalibInfoClick(btn_GetCalibInfo);
}

void TForm_Main::Timer2Timer(QObject *) {
    // The three counts of the past second, each reset as it is taken: a frame
    // counted meanwhile goes into the next second, none is lost.
    const TLinkRates rates = fSession.Intake().TakeRates();
    const int32_t pictures = picUpdateRate;
    picUpdateRate = 0;
    StatusBar1->SetPanelText(5, RatesPanelText(LanguageNum, rates.Received, rates.Computed, pictures));
    if (fSession.IsRecording())
        UpdateRecordInfo();
}

void TForm_Main::edt_ComTimeoutChange(QObject *) {
    // Applied at once when the port is open; an empty or bad text is ignored.
    if (const auto timeout = ComTimeoutFromText(edt_ComTimeout->text()))
        fSession.SetReadIntervalTimeout(*timeout);
}

void TForm_Main::UpdateSysParsShow(const TUINT16s &pars) {
    const auto block = DecodeSysParsBlock(pars);
    if (!block)
        return;
    const TSysParsShow s = SysParsShow(*block, LanguageNum);
    // Item indexes are set without running the lists' handlers; a check box or the
    // interval edit that changes runs its handler, which sends the value back to the
    // module unless ReadParsIsBusy is set.
    for (const TSysParsField field : SysParsApplyOrder()) {
        switch (field) {
        case SPF_ADCResolution: SelectItemQuiet(cbb_ADCResolution, s.ADCResolutionIndex); break;
        case SPF_RefreshRate: SelectItemQuiet(cbb_RefreshRate, s.RefreshRateIndex); break;
        case SPF_ArrangeMode: SelectItemQuiet(cbb_ArrangeMode, s.ArrangeModeIndex); break;
        case SPF_AutoSend: chk_AutoSend->setChecked(s.AutoSend); break;
        case SPF_OutPortNum: SelectItemQuiet(cbb_OutPortNum, s.OutPortNumIndex); break;
        case SPF_Cell: lbl_Cell->setText(s.CellText); break;
        case SPF_RTC: lbl_RTC->setText(s.RTCText); break;
        case SPF_LedEN: chk_LedEN->setChecked(s.LedEN); break;
        case SPF_DelayMs: edt_DelayMs->setText(s.DelayMsText); break;
        case SPF_FrmHalf: chk_FrmHalf->setChecked(s.FrmHalf); break;
        case SPF_SavedPhotoNum:
            lbl_SavedPhotoNum->setText(s.SavedPhotoNumText);
            SavedPhotoNumShown();
            break;
        case SPF_OutBaud: SelectItemQuiet(cbb_OutBaud, s.OutBaudIndex); break;
        }
    }
}
