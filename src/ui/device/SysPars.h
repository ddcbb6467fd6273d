#pragma once
// What the device-parameter controls show for a system-parameter block reported by
// the module (`UpdateSysParsShow`).
//
// The block is 32 unsigned 16-bit words; positions 1 to 11 are the "$SETP"
// parameter numbers. SysParsShow() turns it into the values of the controls, and
// SysParsApplyOrder() gives the order in which the window sets them. The order
// matters: setting a check box to a different state, or edt_DelayMs to a different
// text, runs that control's handler, which sends the value back to the module
// unless ReadParsIsBusy is set; setting an item index runs no handler.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>
#include <span>

struct TWindowState;

inline constexpr int SysParsWordCount = 32;

// Item counts of the device-parameter lists.
inline constexpr int ADCResolutionItemCount = 4;
inline constexpr int RefreshRateItemCount = 8;
inline constexpr int ArrangeModeItemCount = 2;
inline constexpr int OutPortNumItemCount = 4;

// Items of cbb_OutBaud (and cbb_Baud): "115200" ... "1382400".
const QStringList &OutBaudItems();

struct TSysParsShow {
    int ADCResolutionIndex = -1;  // cbb_ADCResolution item index, -1 no selection
    int RefreshRateIndex = -1;    // cbb_RefreshRate
    int ArrangeModeIndex = -1;    // cbb_ArrangeMode
    bool AutoSend = false;        // chk_AutoSend
    int OutPortNumIndex = -1;     // cbb_OutPortNum
    QString CellText;             // lbl_Cell caption
    QString RTCText;              // lbl_RTC caption, "20YY-MM-DD hh:mm:ss" from packed BCD
    bool LedEN = false;           // chk_LedEN
    QString DelayMsText;          // edt_DelayMs text
    bool FrmHalf = false;         // chk_FrmHalf
    QString SavedPhotoNumText;    // lbl_SavedPhotoNum caption
    int OutBaudIndex = -1;        // cbb_OutBaud item index, -1 no selection
};

// The controls in the order the window sets them. SPF_LabelTexts is the last
// step: lbl_Cell_Text, lbl_RTC_Text and lbl_SavedPhotoNum_Text take the captions
// just set (StoreSysParsTexts), so the live-view tick shows the same.
enum TSysParsField {
    SPF_ADCResolution,
    SPF_RefreshRate,
    SPF_ArrangeMode,
    SPF_AutoSend,
    SPF_OutPortNum,
    SPF_Cell,
    SPF_RTC,
    SPF_LedEN,
    SPF_DelayMs,
    SPF_FrmHalf,
    SPF_SavedPhotoNum,
    SPF_OutBaud,
    SPF_LabelTexts,
};

std::span<const TSysParsField> SysParsApplyOrder();

// The controls' values for the block `pars` in the language `languageNum`.
// A block shorter than 32 words gives std::nullopt: nothing is shown.
std::optional<TSysParsShow> SysParsShow(std::span<const uint16_t> pars, int languageNum);

// Step SPF_LabelTexts: copies the three captions into the window-wide texts.
void StoreSysParsTexts(TWindowState &state, const TSysParsShow &show);

// The item index for a reported word, or -1 when the word lies outside the list.
int ItemIndexFromWord(uint16_t word, int itemCount);

// lbl_Cell as set from a "SYS" block: "钮扣电池电压：" / "Button battery voltage:"
// followed by the millivolts and "mV". (The texts the frame decoder prepares from
// the block inside a frame say "Cell voltage:" in English.)
QString SysParsCellText(int languageNum, uint16_t millivolts);
