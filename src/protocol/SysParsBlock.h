#pragma once
// The module's system-parameter block: 32 unsigned 16-bit words of settings and
// state, sent as a "SYS" frame and inside whole and half frames. Positions 1 to 11
// equal the "$SETP" parameter numbers. Also the date and time of a stored photo.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

inline constexpr int SysParsWordCount = 32;

// Positions of the words the host reads.
enum TSysParsWord : int {
    SPW_OutBaud = 1,         // module's serial speed / 100
    SPW_ADCResolution = 4,   // 0..3
    SPW_RefreshRate = 5,     // 0..7
    SPW_ArrangeMode = 6,     // 0..1
    SPW_AutoSend = 7,        // 1 on
    SPW_OutPortNum = 8,      // 0..3
    SPW_LedEN = 9,           // 1 on
    SPW_DelayMs = 10,        // minimum interval between frames, ms
    SPW_FrmHalf = 11,        // 1 on
    SPW_Cell = 19,           // coin-cell battery voltage, mV
    SPW_YearMonth = 21,      // packed BCD: high byte year in the century, low byte month
    SPW_DayHour = 22,        // high byte day, low byte hour
    SPW_MinuteSecond = 23,   // high byte minute, low byte second
    SPW_SavedPhotoNum = 24,  // photos saved in the module
};

// The block as the host uses it. The settings keep their raw words: a word outside
// a list's items is shown as no selection, not corrected.
struct TSysParsBlock {
    uint16_t OutBaudHundreds = 0;
    uint16_t ADCResolution = 0;
    uint16_t RefreshRate = 0;
    uint16_t ArrangeMode = 0;
    bool AutoSend = false;  // word 7 = 1
    uint16_t OutPortNum = 0;
    bool LedEN = false;  // word 9 = 1
    uint16_t DelayMs = 0;
    bool FrmHalf = false;  // word 11 = 1
    uint16_t CellMillivolts = 0;
    uint16_t YearMonth = 0, DayHour = 0, MinuteSecond = 0;  // packed BCD
    uint16_t SavedPhotoNum = 0;

    bool operator==(const TSysParsBlock &) const = default;
};

// The block of `words`; std::nullopt when fewer than 32 words are given.
std::optional<TSysParsBlock> DecodeSysParsBlock(std::span<const uint16_t> words);

// The block whose 32 big-endian words start at data[pos]; the caller guarantees
// pos + 64 <= the data's length.
TSysParsBlock DecodeSysParsBlockAt(const uint8_t *data, size_t pos);

// Date and time of a photo from the module's store: six packed-BCD bytes.
struct TPhotoStamp {
    uint8_t Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
    bool operator==(const TPhotoStamp &) const = default;
};

// The stamp whose six bytes start at data[pos] (the caller guarantees pos + 6 <=
// the data's length).
TPhotoStamp DecodePhotoStampAt(const uint8_t *data, size_t pos);
