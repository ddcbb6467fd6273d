#include "protocol/SysParsBlock.h"

#include "protocol/FrameFormat.h"

#include <array>

namespace {

TSysParsBlock FromWords(const uint16_t *w) {
    TSysParsBlock b;
    b.OutBaudHundreds = w[SPW_OutBaud];
    b.ADCResolution = w[SPW_ADCResolution];
    b.RefreshRate = w[SPW_RefreshRate];
    b.ArrangeMode = w[SPW_ArrangeMode];
    b.AutoSend = w[SPW_AutoSend] == 1;
    b.OutPortNum = w[SPW_OutPortNum];
    b.LedEN = w[SPW_LedEN] == 1;
    b.DelayMs = w[SPW_DelayMs];
    b.FrmHalf = w[SPW_FrmHalf] == 1;
    b.CellMillivolts = w[SPW_Cell];
    b.YearMonth = w[SPW_YearMonth];
    b.DayHour = w[SPW_DayHour];
    b.MinuteSecond = w[SPW_MinuteSecond];
    b.SavedPhotoNum = w[SPW_SavedPhotoNum];
    return b;
}

}  // namespace

std::optional<TSysParsBlock> DecodeSysParsBlock(std::span<const uint16_t> words) {
    if (words.size() < size_t(SysParsWordCount))
        return std::nullopt;
    return FromWords(words.data());
}

TSysParsBlock DecodeSysParsBlockAt(const uint8_t *data, size_t pos) {
    std::array<uint16_t, SysParsWordCount> words{};
    for (size_t k = 0; k < words.size(); ++k)
        words[k] = BigEndianWordAt(data, pos + 2 * k);
    return FromWords(words.data());
}

TPhotoStamp DecodePhotoStampAt(const uint8_t *data, size_t pos) {
    const uint8_t *d = data + pos;
    return TPhotoStamp{d[0], d[1], d[2], d[3], d[4], d[5]};
}
