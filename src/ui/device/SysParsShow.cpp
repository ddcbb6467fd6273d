#include "ui/device/SysParsShow.h"

#include "ui/support/StatusTexts.h"
#include "ui/support/TextCatalogue.h"

#include <array>

std::span<const TSysParsField> SysParsApplyOrder() {
    static constexpr std::array<TSysParsField, 12> order{
        SPF_ADCResolution, SPF_RefreshRate, SPF_ArrangeMode, SPF_AutoSend, SPF_OutPortNum,    SPF_Cell,
        SPF_RTC,           SPF_LedEN,       SPF_DelayMs,     SPF_FrmHalf,  SPF_SavedPhotoNum, SPF_OutBaud,
    };
    return order;
}

int ItemIndexFromWord(uint16_t word, int itemCount) {
    return word < itemCount ? static_cast<int>(word) : -1;
}

TSysParsShow SysParsShow(const TSysParsBlock &b, int32_t languageNum) {
    TSysParsShow show;
    show.ADCResolutionIndex = ItemIndexFromWord(b.ADCResolution, ADCResolutionItemCount);
    show.RefreshRateIndex = ItemIndexFromWord(b.RefreshRate, RefreshRateItemCount);
    show.ArrangeModeIndex = ItemIndexFromWord(b.ArrangeMode, ArrangeModeItemCount);
    show.AutoSend = b.AutoSend;
    show.OutPortNumIndex = ItemIndexFromWord(b.OutPortNum, OutPortNumItemCount);
    show.CellText = CellVoltageText(b.CellMillivolts, TBlockSource::SysFrame, languageNum);
    show.RTCText = RtcText(b);
    show.LedEN = b.LedEN;
    show.DelayMsText = QString::number(b.DelayMs);
    show.FrmHalf = b.FrmHalf;
    show.SavedPhotoNumText = QString::number(b.SavedPhotoNum);
    // The module reports its speed divided by 100; the list holds full speeds.
    show.OutBaudIndex =
        static_cast<int>(BaudRateItems().indexOf(QString::number(b.OutBaudHundreds) + QStringLiteral("00")));
    return show;
}
