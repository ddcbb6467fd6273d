// What the device-parameter controls show for a system-parameter block.

#include "ui/device/SysParsShow.h"
#include "ui/support/TextCatalogue.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <vector>

namespace {

using TBlock = std::array<uint16_t, SysParsWordCount>;

// The block a module in its usual state reports.
TBlock SampleBlock() {
    TBlock b{};
    b[1] = 4608;     // 460800 baud
    b[4] = 2;        // 18 bits
    b[5] = 3;        // 4 Hz
    b[6] = 1;        // chess
    b[7] = 1;        // live output on
    b[8] = 2;        // UART2
    b[9] = 0;        // LED off
    b[10] = 25;      // 25 ms between frames
    b[11] = 1;       // half frames
    b[19] = 3012;    // coin cell, mV
    b[21] = 0x2103;  // 2021-03
    b[22] = 0x0509;  // 05 09:
    b[23] = 0x4517;  // 45:17
    b[24] = 7;       // photos saved
    return b;
}

std::string Str(const QString &text) {
    return text.toStdString();
}

// What the controls show for the block `words` reported by a "SYS" frame.
std::optional<TSysParsShow> Show(const TBlock &words, int32_t languageNum) {
    const auto block = DecodeSysParsBlock(words);
    if (!block)
        return std::nullopt;
    return SysParsShow(*block, languageNum);
}

}  // namespace

TEST(SysParsShow, MapsEveryWordToItsControl) {
    const auto show = Show(SampleBlock(), 1);
    ASSERT_TRUE(show);
    EXPECT_EQ(show->ADCResolutionIndex, 2);
    EXPECT_EQ(show->RefreshRateIndex, 3);
    EXPECT_EQ(show->ArrangeModeIndex, 1);
    EXPECT_TRUE(show->AutoSend);
    EXPECT_EQ(show->OutPortNumIndex, 2);
    EXPECT_FALSE(show->LedEN);
    EXPECT_EQ(Str(show->DelayMsText), "25");
    EXPECT_TRUE(show->FrmHalf);
    EXPECT_EQ(Str(show->SavedPhotoNumText), "7");
    EXPECT_EQ(show->OutBaudIndex, 2);
}

TEST(SysParsShow, OutBaudSelectsTheItemOfWordOneTimesHundred) {
    TBlock b = SampleBlock();
    b[1] = 9216;
    EXPECT_EQ(Show(b, 1)->OutBaudIndex, 4);
    EXPECT_EQ(Str(BaudRateItems()[4]), "921600");
    b[1] = 13824;
    EXPECT_EQ(Show(b, 1)->OutBaudIndex, 5);
    b[1] = 1152;
    EXPECT_EQ(Show(b, 1)->OutBaudIndex, 0);
    // No item "100000", none for 0 ("000") either: no selection.
    b[1] = 1000;
    EXPECT_EQ(Show(b, 1)->OutBaudIndex, -1);
    b[1] = 0;
    EXPECT_EQ(Show(b, 1)->OutBaudIndex, -1);
}

TEST(SysParsShow, WordsOutsideAListLeaveItWithoutSelection) {
    TBlock b = SampleBlock();
    b[4] = 4;
    b[5] = 8;
    b[6] = 2;
    b[8] = 0xFFFF;
    const auto show = Show(b, 1);
    EXPECT_EQ(show->ADCResolutionIndex, -1);
    EXPECT_EQ(show->RefreshRateIndex, -1);
    EXPECT_EQ(show->ArrangeModeIndex, -1);
    EXPECT_EQ(show->OutPortNumIndex, -1);

    b[4] = 3;
    b[5] = 7;
    b[6] = 0;
    b[8] = 3;
    const auto last = Show(b, 1);
    EXPECT_EQ(last->ADCResolutionIndex, 3);
    EXPECT_EQ(last->RefreshRateIndex, 7);
    EXPECT_EQ(last->ArrangeModeIndex, 0);
    EXPECT_EQ(last->OutPortNumIndex, 3);
}

TEST(SysParsShow, CheckBoxesAreOnOnlyForOne) {
    TBlock b = SampleBlock();
    b[7] = 2;
    b[9] = 1;
    b[11] = 0xFFFF;
    const auto show = Show(b, 1);
    EXPECT_FALSE(show->AutoSend);
    EXPECT_TRUE(show->LedEN);
    EXPECT_FALSE(show->FrmHalf);
}

TEST(SysParsShow, ClockAndCellTextsInBothLanguages) {
    const auto zh = Show(SampleBlock(), 0);
    const auto en = Show(SampleBlock(), 1);
    EXPECT_EQ(Str(zh->RTCText), "2021-03-05 09:45:17");
    EXPECT_EQ(Str(en->RTCText), "2021-03-05 09:45:17");
    EXPECT_EQ(Str(zh->CellText), "钮扣电池电压：3012mV");
    EXPECT_EQ(Str(en->CellText), "Button battery voltage:3012mV");

    // Bytes that are not BCD still show as their two hex digits, upper case.
    TBlock b = SampleBlock();
    b[21] = 0xAB0C;
    b[22] = 0x0000;
    b[23] = 0xFFFF;
    EXPECT_EQ(Str(Show(b, 1)->RTCText), "20AB-0C-00 00:FF:FF");
    b[10] = 65535;
    b[24] = 0;
    EXPECT_EQ(Str(Show(b, 1)->DelayMsText), "65535");
    EXPECT_EQ(Str(Show(b, 1)->SavedPhotoNumText), "0");
}

TEST(SysParsShow, ShortBlockShowsNothing) {
    const TBlock full = SampleBlock();
    EXPECT_FALSE(DecodeSysParsBlock(std::span<const uint16_t>(full.data(), 31)));
    EXPECT_FALSE(DecodeSysParsBlock(std::span<const uint16_t>()));
    EXPECT_TRUE(DecodeSysParsBlock(std::span<const uint16_t>(full.data(), 32)));
}

TEST(SysParsShow, ApplyOrder) {
    const std::vector<TSysParsField> expected{
        SPF_ADCResolution, SPF_RefreshRate, SPF_ArrangeMode, SPF_AutoSend, SPF_OutPortNum,    SPF_Cell,
        SPF_RTC,           SPF_LedEN,       SPF_DelayMs,     SPF_FrmHalf,  SPF_SavedPhotoNum, SPF_OutBaud};
    const auto order = SysParsApplyOrder();
    EXPECT_EQ(std::vector<TSysParsField>(order.begin(), order.end()), expected);
}
