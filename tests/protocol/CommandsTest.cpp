// The command lines sent to the module: their exact bytes and the read-parameters
// sequence.

#include "protocol/Commands.h"

#include <gtest/gtest.h>

#include <clocale>
#include <locale>
#include <string>
#include <vector>

namespace {

std::string Bytes(std::u16string_view text) {
    return CommandBytes(text);
}

}  // namespace

TEST(CommandBytes, OneLowByteForEachCharacterUpToTheFirstNul) {
    EXPECT_EQ(Bytes(u"ABC"), "ABC");
    // 中 is U+4E2D: its low byte goes out.
    EXPECT_EQ(Bytes(u"A中B"), std::string("A\x2D"
                                          "B"));
    EXPECT_EQ(Bytes(u"\u00FF"), std::string("\xFF"));
    EXPECT_EQ(Bytes(u"$SVEP\r\n"), "$SVEP\r\n");
    EXPECT_EQ(Bytes(u""), "");
    const std::u16string withNul(u"AB\0CD", 5);
    EXPECT_EQ(Bytes(withNul), "AB");
}

TEST(CommandBytes, FreeCommandLineGoesOutAsTyped) {
    // No CR LF is added to what the user typed into edt_Tx.
    EXPECT_EQ(Bytes(u"$SETP=9,1"), "$SETP=9,1");
    EXPECT_EQ(Bytes(u" x "), " x ");
}

TEST(Commands, FixedCommandsEndInCrLf) {
    EXPECT_EQ(SavePhotoCommand(), "$SVEP\r\n");
    EXPECT_EQ(ClearAllPhotoCommand(), "$CLRP\r\n");
    EXPECT_EQ(ReadLastPhotoCommand(), "$OUTP=-1\r\n");
    EXPECT_EQ(ModuleActionCommand(MA_Reboot), "$SETP=17,1\r\n");
    EXPECT_EQ(ModuleActionCommand(MA_ParsToDefault), "$SETP=17,2\r\n");
    EXPECT_EQ(ModuleActionCommand(MA_SendCalibration), "$SETP=17,3\r\n");
    EXPECT_EQ(ModuleActionCommand(MA_SendSysPars), "$SETP=17,4\r\n");
}

TEST(Commands, NumbersAreDecimalWithoutPaddingOrPlus) {
    EXPECT_EQ(SetParCommand(5, 0), "$SETP=5,0\r\n");
    EXPECT_EQ(SetParCommand(10, 65535), "$SETP=10,65535\r\n");
    EXPECT_EQ(SetParCommand(8, -1), "$SETP=8,-1\r\n");
    EXPECT_EQ(SetParCommand(SPN_OutBaud, 13824), "$SETP=1,13824\r\n");
    EXPECT_EQ(ReadPhotoCommand(0), "$OUTP=0\r\n");
    EXPECT_EQ(ReadPhotoCommand(900), "$OUTP=900\r\n");
    EXPECT_EQ(ReadPhotoCommand(2147483648LL), "$OUTP=2147483648\r\n");
}

TEST(Commands, ReadOnePhotoSendsTheBoxTextAsItStands) {
    EXPECT_EQ(ReadOnePhotoCommand("0001"), "$OUTP=0001\r\n");
    EXPECT_EQ(ReadOnePhotoCommand("12"), "$OUTP=12\r\n");
    EXPECT_EQ(ReadOnePhotoCommand(""), "$OUTP=\r\n");
}

TEST(Commands, DateTimeUsesFixedWidthFieldsAndTwentyFourHours) {
    EXPECT_EQ(SetDateTimeCommand({2021, 3, 5, 14, 7, 9}), "$STDT=2021/03/05 14:07:09\r\n");
    EXPECT_EQ(SetDateTimeCommand({2024, 12, 31, 0, 0, 0}), "$STDT=2024/12/31 00:00:00\r\n");
    EXPECT_EQ(SetDateTimeCommand({2030, 1, 1, 23, 59, 59}), "$STDT=2030/01/01 23:59:59\r\n");
}

// The module parses "/" between the date fields, ":" between the time fields and
// plain ASCII digits, whatever locale the program runs under: here a global C++
// locale that groups every digit ("2.0.2.1") and the C library locale of the
// environment, which the window's Qt application takes on at start.
TEST(Commands, DateTimeKeepsItsSeparatorsAndDigitsUnderAnyLocale) {
    struct TDotGrouping : std::numpunct<char> {
        char do_thousands_sep() const override { return '.'; }
        std::string do_grouping() const override { return "\1"; }
        char do_decimal_point() const override { return ','; }
    };
    const std::locale before = std::locale::global(std::locale(std::locale::classic(), new TDotGrouping));
    const std::string cBefore = std::setlocale(LC_ALL, nullptr);
    std::setlocale(LC_ALL, "");
    const std::string line = SetDateTimeCommand({2021, 3, 5, 14, 7, 9});
    std::setlocale(LC_ALL, cBefore.c_str());
    std::locale::global(before);
    EXPECT_EQ(line, "$STDT=2021/03/05 14:07:09\r\n");
}

TEST(ReadParsSequence, AsksForCalibrationThenParametersWhileBusy) {
    const auto steps = ReadParsSequence();
    ASSERT_EQ(steps.size(), 6u);

    // Busy is raised before anything goes out and lowered after the last pause.
    EXPECT_EQ(steps.front().Kind, RPS_Begin);
    EXPECT_EQ(steps.back().Kind, RPS_End);

    std::vector<std::string> sent;
    int pauseBeforeSecond = 0;
    int pauseAfterSecond = 0;
    for (const TReadParsStep &step : steps) {
        if (step.Kind == RPS_Send)
            sent.push_back(ModuleActionCommand(step.Action));
        if (step.Kind == RPS_Delay)
            (sent.size() == 1 ? pauseBeforeSecond : pauseAfterSecond) += step.DelayMs;
    }
    EXPECT_EQ(sent, (std::vector<std::string>{"$SETP=17,3\r\n", "$SETP=17,4\r\n"}));
    EXPECT_EQ(pauseBeforeSecond, 500);
    EXPECT_EQ(pauseAfterSecond, 500);
}
