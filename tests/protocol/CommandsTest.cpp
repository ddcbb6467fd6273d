// The command lines sent to the module: their exact bytes, the rules of each
// handler and the read-parameters sequence.

#include "protocol/Commands.h"

#include <QDate>
#include <QTime>
#include <gtest/gtest.h>

#include <string>

namespace {

std::string Bytes(const QString &command) {
    const QByteArray b = CommandBytes(command);
    return std::string(b.constData(), static_cast<size_t>(b.size()));
}

std::string Str(const QString &text) {
    return text.toStdString();
}

}  // namespace

TEST(CommandBytes, OneLowByteForEachCharacterUpToTheFirstNul) {
    EXPECT_EQ(Bytes(QStringLiteral("ABC")), "ABC");
    // 中 is U+4E2D: its low byte goes out.
    EXPECT_EQ(Bytes(QStringLiteral("A中B")), std::string("A\x2D"
                                                         "B"));
    EXPECT_EQ(Bytes(QString(QChar(0x00FF))), std::string("\xFF"));
    EXPECT_EQ(Bytes(QStringLiteral("$SVEP\r\n")), "$SVEP\r\n");
    EXPECT_EQ(Bytes(QString()), "");

    QString withNul = QStringLiteral("AB");
    withNul.append(QChar(0)).append(QStringLiteral("CD"));
    EXPECT_EQ(Bytes(withNul), "AB");
    EXPECT_EQ(CommandBytes(withNul).size(), 2);
}

TEST(CommandBytes, FreeCommandLineGoesOutAsTyped) {
    // No CR LF is added to what the user typed into edt_Tx.
    EXPECT_EQ(Bytes(QStringLiteral("$SETP=9,1")), "$SETP=9,1");
    EXPECT_EQ(Bytes(QStringLiteral(" x ")), " x ");
}

TEST(Commands, FixedCommandsEndInCrLf) {
    EXPECT_EQ(Bytes(SavePhotoCommand()), "$SVEP\r\n");
    EXPECT_EQ(Bytes(ClearAllPhotoCommand()), "$CLRP\r\n");
    EXPECT_EQ(Bytes(ReadLastPhotoCommand()), "$OUTP=-1\r\n");
    EXPECT_EQ(Bytes(ModuleActionCommand(MA_Reboot)), "$SETP=17,1\r\n");
    EXPECT_EQ(Bytes(ModuleActionCommand(MA_ParsToDefault)), "$SETP=17,2\r\n");
    EXPECT_EQ(Bytes(ModuleActionCommand(MA_SendCalibration)), "$SETP=17,3\r\n");
    EXPECT_EQ(Bytes(ModuleActionCommand(MA_SendSysPars)), "$SETP=17,4\r\n");
}

TEST(Commands, NumbersAreDecimalWithoutPaddingOrPlus) {
    EXPECT_EQ(Bytes(SetParCommand(5, 0)), "$SETP=5,0\r\n");
    EXPECT_EQ(Bytes(SetParCommand(10, 65535)), "$SETP=10,65535\r\n");
    EXPECT_EQ(Bytes(SetParCommand(8, -1)), "$SETP=8,-1\r\n");
    EXPECT_EQ(Bytes(ReadPhotoCommand(0)), "$OUTP=0\r\n");
    EXPECT_EQ(Bytes(ReadPhotoCommand(900)), "$OUTP=900\r\n");
    EXPECT_EQ(Bytes(ReadPhotoCommand(2147483648LL)), "$OUTP=2147483648\r\n");
}

TEST(Commands, ReadOnePhotoSendsTheBoxTextAsItStands) {
    EXPECT_EQ(Bytes(ReadOnePhotoCommand(QStringLiteral("0001"))), "$OUTP=0001\r\n");
    EXPECT_EQ(Bytes(ReadOnePhotoCommand(QStringLiteral("12"))), "$OUTP=12\r\n");
    EXPECT_EQ(Bytes(ReadOnePhotoCommand(QString())), "$OUTP=\r\n");
}

TEST(Commands, DateTimeUsesFixedWidthFieldsAndTwentyFourHours) {
    EXPECT_EQ(Bytes(SetDateTimeCommand(QDateTime(QDate(2021, 3, 5), QTime(14, 7, 9)))),
              "$STDT=2021/03/05 14:07:09\r\n");
    EXPECT_EQ(Bytes(SetDateTimeCommand(QDateTime(QDate(2024, 12, 31), QTime(0, 0, 0)))),
              "$STDT=2024/12/31 00:00:00\r\n");
    EXPECT_EQ(Bytes(SetDateTimeCommand(QDateTime(QDate(2030, 1, 1), QTime(23, 59, 59)))),
              "$STDT=2030/01/01 23:59:59\r\n");
}

TEST(DeviceParCommands, ItemIndexAndCheckBoxes) {
    EXPECT_EQ(Bytes(*ItemIndexParCommand(SPN_ADCResolution, 3, false)), "$SETP=4,3\r\n");
    EXPECT_EQ(Bytes(*ItemIndexParCommand(SPN_RefreshRate, 2, false)), "$SETP=5,2\r\n");
    EXPECT_EQ(Bytes(*ItemIndexParCommand(SPN_ArrangeMode, 1, false)), "$SETP=6,1\r\n");
    EXPECT_EQ(Bytes(*ItemIndexParCommand(SPN_OutPortNum, 0, false)), "$SETP=8,0\r\n");

    EXPECT_EQ(Bytes(*CheckParCommand(SPN_AutoSend, true, false)), "$SETP=7,1\r\n");
    EXPECT_EQ(Bytes(*CheckParCommand(SPN_AutoSend, false, false)), "$SETP=7,0\r\n");
    EXPECT_EQ(Bytes(*CheckParCommand(SPN_LedEN, true, false)), "$SETP=9,1\r\n");
    EXPECT_EQ(Bytes(*CheckParCommand(SPN_LedEN, false, false)), "$SETP=9,0\r\n");
    EXPECT_EQ(Bytes(*CheckParCommand(SPN_FrmHalf, true, false)), "$SETP=11,1\r\n");
    EXPECT_EQ(Bytes(*CheckParCommand(SPN_FrmHalf, false, false)), "$SETP=11,0\r\n");
}

TEST(DeviceParCommands, OutBaudSendsSpeedDividedByHundred) {
    EXPECT_EQ(Bytes(*OutBaudParCommand(QStringLiteral("1382400"), false, 1)), "$SETP=1,13824\r\n");
    EXPECT_EQ(Bytes(*OutBaudParCommand(QStringLiteral("115200"), false, 1)), "$SETP=1,1152\r\n");
    // Typing sends on every keystroke: the first digit alone gives 0.
    EXPECT_EQ(Bytes(*OutBaudParCommand(QStringLiteral("9"), false, 1)), "$SETP=1,0\r\n");
    EXPECT_EQ(Bytes(*OutBaudParCommand(QStringLiteral("92"), false, 1)), "$SETP=1,0\r\n");
    EXPECT_EQ(Bytes(*OutBaudParCommand(QStringLiteral("921"), false, 1)), "$SETP=1,9\r\n");
}

TEST(DeviceParCommands, OutBaudRaisesConversionErrorNamingTheText) {
    try {
        OutBaudParCommand(QStringLiteral("12a"), false, 1);
        FAIL() << "no conversion error";
    } catch (const TConvertError &e) {
        EXPECT_EQ(Str(e.Message()), "'12a' is not a valid integer value");
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
    try {
        OutBaudParCommand(QString(), false, 0);
        FAIL() << "no conversion error";
    } catch (const TConvertError &e) {
        EXPECT_EQ(Str(e.Message()), "'' 不是有效的整数值");
    }
    // Beyond the 32-bit range is not a number either.
    EXPECT_THROW(OutBaudParCommand(QStringLiteral("99999999999"), false, 1), TConvertError);
}

TEST(DeviceParCommands, DelayMsIgnoresEmptyAndNonNumbers) {
    EXPECT_FALSE(DelayMsParCommand(QString(), false));
    EXPECT_FALSE(DelayMsParCommand(QStringLiteral("1x"), false));
    EXPECT_FALSE(DelayMsParCommand(QStringLiteral("-"), false));
    // Clearing the box and typing 12 sends 1, then 12.
    EXPECT_EQ(Bytes(*DelayMsParCommand(QStringLiteral("1"), false)), "$SETP=10,1\r\n");
    EXPECT_EQ(Bytes(*DelayMsParCommand(QStringLiteral("12"), false)), "$SETP=10,12\r\n");
    EXPECT_EQ(Bytes(*DelayMsParCommand(QStringLiteral(" 7 "), false)), "$SETP=10,7\r\n");
}

TEST(DeviceParCommands, NothingIsSentWhileReadParsIsBusy) {
    EXPECT_FALSE(ItemIndexParCommand(SPN_RefreshRate, 2, true));
    EXPECT_FALSE(CheckParCommand(SPN_LedEN, true, true));
    EXPECT_FALSE(DelayMsParCommand(QStringLiteral("12"), true));
    // Not even a conversion error: the handler does not look at the text.
    EXPECT_FALSE(OutBaudParCommand(QStringLiteral("abc"), true, 1));
}

TEST(TypedNumbers, ParsingRules) {
    EXPECT_EQ(TryParseTypedInt(QStringLiteral("0001")), 1);
    EXPECT_EQ(TryParseTypedInt(QStringLiteral("-100")), -100);
    EXPECT_EQ(TryParseTypedInt(QStringLiteral("2147483647")), 2147483647);
    EXPECT_FALSE(TryParseTypedInt(QStringLiteral("2147483648")));
    EXPECT_FALSE(TryParseTypedInt(QStringLiteral("1.5")));
    EXPECT_FALSE(TryParseTypedInt(QStringLiteral("1,000")));
    EXPECT_FALSE(TryParseTypedInt(QStringLiteral("   ")));
    EXPECT_EQ(ParseTypedInt(QStringLiteral("-150"), 1) / 100, -1);
}

TEST(SendTexts, PanelsInBothLanguages) {
    EXPECT_EQ(Str(SendingStatusText(0)), "发送指令");
    EXPECT_EQ(Str(SendingStatusText(1)), "Send Command");
    EXPECT_EQ(Str(SendingStatusText(7)), "Send Command");
    EXPECT_EQ(Str(SendCountText(0, 24)), "发送:24");
    EXPECT_EQ(Str(SendCountText(1, 0)), "Send:0");
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
            sent.push_back(Bytes(step.Command()));
        if (step.Kind == RPS_Delay)
            (sent.size() == 1 ? pauseBeforeSecond : pauseAfterSecond) += step.DelayMs;
    }
    EXPECT_EQ(sent, (std::vector<std::string>{"$SETP=17,3\r\n", "$SETP=17,4\r\n"}));
    EXPECT_EQ(pauseBeforeSecond, 500);
    EXPECT_EQ(pauseAfterSecond, 500);
}
