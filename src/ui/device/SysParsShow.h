#pragma once
// What the device-parameter controls show for a system-parameter block reported by
// the module (UpdateSysParsShow), and the order in which the window sets them.
//
// The order matters: setting a check box to a different state, or edt_DelayMs to a
// different text, runs that control's handler, which sends the value back to the
// module unless ReadParsIsBusy is set; setting an item index runs no handler.

#include "protocol/SysParsBlock.h"

#include <QString>

#include <cstdint>
#include <span>

// Item counts of the device-parameter lists.
inline constexpr int ADCResolutionItemCount = 4;
inline constexpr int RefreshRateItemCount = 8;
inline constexpr int ArrangeModeItemCount = 2;
inline constexpr int OutPortNumItemCount = 4;

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

// The controls in the order the window sets them.
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
};

std::span<const TSysParsField> SysParsApplyOrder();

// The controls' values for a block from a "SYS" frame, in the language `languageNum`.
TSysParsShow SysParsShow(const TSysParsBlock &block, int32_t languageNum);

// The item index for a reported word, or -1 when the word lies outside the list.
int ItemIndexFromWord(uint16_t word, int itemCount);
