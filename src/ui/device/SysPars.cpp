#include "ui/device/SysPars.h"

#include "link/LinkTexts.h"
#include "link/WindowState.h"
#include "protocol/Commands.h"

#include <array>

namespace {

// Positions of the words the window shows.
enum : int {
    W_OutBaud = 1,
    W_ADCResolution = 4,
    W_RefreshRate = 5,
    W_ArrangeMode = 6,
    W_AutoSend = 7,
    W_OutPortNum = 8,
    W_LedEN = 9,
    W_DelayMs = 10,
    W_FrmHalf = 11,
    W_Cell = 19,
    W_YearMonth = 21,
    W_DayHour = 22,
    W_MinuteSecond = 23,
    W_SavedPhotoNum = 24,
};

}  // namespace

const QStringList &OutBaudItems() {
    static const QStringList items{QStringLiteral("115200"), QStringLiteral("230400"),
                                   QStringLiteral("460800"), QStringLiteral("614400"),
                                   QStringLiteral("921600"), QStringLiteral("1382400")};
    return items;
}

std::span<const TSysParsField> SysParsApplyOrder() {
    static constexpr std::array<TSysParsField, 13> order{
        SPF_ADCResolution, SPF_RefreshRate, SPF_ArrangeMode, SPF_AutoSend, SPF_OutPortNum,
        SPF_Cell,          SPF_RTC,         SPF_LedEN,       SPF_DelayMs,  SPF_FrmHalf,
        SPF_SavedPhotoNum, SPF_OutBaud,     SPF_LabelTexts,
    };
    return order;
}

int ItemIndexFromWord(uint16_t word, int itemCount) {
    return word < itemCount ? static_cast<int>(word) : -1;
}

QString SysParsCellText(int languageNum, uint16_t millivolts) {
    return LangText(languageNum, "钮扣电池电压：", "Button battery voltage:") + QString::number(millivolts) +
           QStringLiteral("mV");
}

std::optional<TSysParsShow> SysParsShow(std::span<const uint16_t> pars, int languageNum) {
    if (pars.size() < SysParsWordCount)
        return std::nullopt;

    TSysParsShow show;
    show.ADCResolutionIndex = ItemIndexFromWord(pars[W_ADCResolution], ADCResolutionItemCount);
    show.RefreshRateIndex = ItemIndexFromWord(pars[W_RefreshRate], RefreshRateItemCount);
    show.ArrangeModeIndex = ItemIndexFromWord(pars[W_ArrangeMode], ArrangeModeItemCount);
    show.AutoSend = pars[W_AutoSend] == 1;
    show.OutPortNumIndex = ItemIndexFromWord(pars[W_OutPortNum], OutPortNumItemCount);
    show.CellText = SysParsCellText(languageNum, pars[W_Cell]);
    show.RTCText = RtcText(pars[W_YearMonth], pars[W_DayHour], pars[W_MinuteSecond]);
    show.LedEN = pars[W_LedEN] == 1;
    show.DelayMsText = QString::number(pars[W_DelayMs]);
    show.FrmHalf = pars[W_FrmHalf] == 1;
    show.SavedPhotoNumText = SavedPhotoNumText(pars[W_SavedPhotoNum]);
    // The module reports its speed divided by 100; the list holds full speeds.
    show.OutBaudIndex =
        static_cast<int>(OutBaudItems().indexOf(QString::number(pars[W_OutBaud]) + QStringLiteral("00")));
    return show;
}

void StoreSysParsTexts(TWindowState &state, const TSysParsShow &show) {
    state.lbl_Cell_Text.Set(show.CellText);
    state.lbl_RTC_Text.Set(show.RTCText);
    state.lbl_SavedPhotoNum_Text.Set(show.SavedPhotoNumText);
}
