// The texts the window builds from the link's data: status panels, the module's
// labels and the connection messages, in both languages.

#include "ui/support/StatusTexts.h"

#include "ui/support/Convert.h"
#include "ui/support/TextCatalogue.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <cerrno>
#include <climits>

namespace {

std::string Str(const QString &text) {
    return text.toStdString();
}

TLinkStatus Frame(TFrameType type, int32_t len, uint8_t subpage = 0) {
    TLinkStatus s;
    s.LastType = type;
    s.LastLength = len;
    s.LastSubpage = subpage;
    return s;
}

}  // namespace

TEST(ReceiveCounterText, ThresholdsInBothLanguages) {
    for (int32_t lang : {0, 1}) {
        const std::string prefix = lang == 0 ? "接收:" : "Recv:";
        EXPECT_EQ(Str(RecvCounterText(11, lang)), prefix + "11Bytes");
        EXPECT_EQ(Str(RecvCounterText(1023, lang)), prefix + "1023Bytes");
        EXPECT_EQ(Str(RecvCounterText(1024, lang)), prefix + "1.000KB");
        EXPECT_EQ(Str(RecvCounterText(1030, lang)), prefix + "1.006KB");
        // Three decimals and no group separator: 1023.999, not 1,023.999.
        EXPECT_EQ(Str(RecvCounterText(1048575, lang)), prefix + "1023.999KB");
        EXPECT_EQ(Str(RecvCounterText(1048576, lang)), prefix + "1.000MB");
        // Past the 32-bit count the text stays right.
        EXPECT_EQ(Str(RecvCounterText(int64_t(INT32_MAX) + 4001, lang)), prefix + "2048.004MB");
    }
}

TEST(ReceiveCounterText, AlternativePathAlwaysChineseAndLocaleSeparator) {
    TReceiveCounters c;
    c.ShownTotal = 1673;
    c.RXByteTotal = 1700;  // the text shows the total of the last examined chunk
    c.LastPath = TReceivePath::Alternative;
    EXPECT_EQ(Str(RecvCounterText(c, 1)), "接收:1.634KB");
    c.LastPath = TReceivePath::Main;
    EXPECT_EQ(Str(RecvCounterText(c, 1)), "Recv:1.634KB");

    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString german = RecvCounterText(1024, 1);
    QLocale::setDefault(saved);
    EXPECT_EQ(Str(german), "Recv:1,000KB");
}

TEST(LinkStatusTexts, FrameTypesAndVerdicts) {
    EXPECT_EQ(Str(FrameTypeText(TLinkStatus{})), "");
    EXPECT_EQ(Str(FrameTypeText(Frame(TFrameType::SYS, 71))), "SysPars 71");
    EXPECT_EQ(Str(FrameTypeText(Frame(TFrameType::EEM, 1673))), "EEPROM 1673");
    EXPECT_EQ(Str(FrameTypeText(Frame(TFrameType::FRM, 1748, 1))), "Frame1 1748");
    EXPECT_EQ(Str(FrameTypeText(Frame(TFrameType::FR0, 912, 1))), "Frame1 912");
    EXPECT_EQ(Str(FrameTypeText(Frame(TFrameType::PHT, 1681, 7))), "Photo7 1681");

    TLinkStatus s;
    EXPECT_EQ(Str(DataCheckText(s, 1)), "");
    s.Check = TCheckVerdict::Error;
    EXPECT_EQ(Str(DataCheckText(s, 0)), "数据校验错误");
    EXPECT_EQ(Str(DataCheckText(s, 1)), "Data check Error");
    s.Check = TCheckVerdict::Correct;
    EXPECT_EQ(Str(DataCheckText(s, 0)), "数据校验正确");  // a calibration: no mean
    s.MeanPixelWord = 1383;
    EXPECT_EQ(Str(DataCheckText(s, 0)), "数据校验正确 1383");
    EXPECT_EQ(Str(DataCheckText(s, 1)), "Data check correct");
}

TEST(ModuleTexts, BatteryClockAndPhotoDate) {
    EXPECT_EQ(Str(CellVoltageText(3012, TBlockSource::SysFrame, 0)), "钮扣电池电压：3012mV");
    EXPECT_EQ(Str(CellVoltageText(3012, TBlockSource::SysFrame, 1)), "Button battery voltage:3012mV");
    EXPECT_EQ(Str(CellVoltageText(3012, TBlockSource::FrameBlock, 0)), "钮扣电池电压：3012mV");
    EXPECT_EQ(Str(CellVoltageText(3012, TBlockSource::FrameBlock, 1)), "Cell voltage:3012mV");

    TSysParsBlock b;
    b.YearMonth = 0x2103;
    b.DayHour = 0x0509;
    b.MinuteSecond = 0x4517;
    EXPECT_EQ(Str(RtcText(b)), "2021-03-05 09:45:17");
    // Bytes that are not BCD still show as their two hex digits, upper case.
    b.YearMonth = 0x99AB;
    b.DayHour = 0xCDEF;
    b.MinuteSecond = 0x0A0B;
    EXPECT_EQ(Str(RtcText(b)), "2099-AB-CD EF:0A:0B");

    const TPhotoStamp stamp{0x19, 0x12, 0x31, 0x23, 0x59, 0x58};
    EXPECT_EQ(Str(PhotoDateText(stamp)), "2019-12-31 ");
    EXPECT_EQ(Str(PhotoTimeText(stamp)), "23:59:58");
}

TEST(ConnectionTexts, PanelsAndMessagesInBothLanguages) {
    const QString port = QStringLiteral("COM4");
    const QString baud = QStringLiteral("460800");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, true, 0)), "COM4 460800 N 8 1 已连接");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, false, 0)), "COM4 460800 N 8 1 未连接");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, true, 1)), "COM4 460800 N 8 1 Connected");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, false, 1)), "COM4 460800 N 8 1 Disconnected");
    EXPECT_EQ(Str(OpenErrorText(QStringLiteral("COM9"), 0)),
              "COM9打开错误\n\r请确认存在此端口或未被其它程序占用");
    EXPECT_EQ(Str(OpenErrorText(QStringLiteral("COM9"), 1)),
              "COM9Open Error\n\rPlease confirm that this port exists or is not used by another program");
    EXPECT_EQ(Str(ConnectionLostText(0)), "提示消息：连接已断开");
    EXPECT_EQ(Str(ConnectionLostText(1)), "Toast:Connection lost");
    EXPECT_EQ(Str(RatesPanelText(0, 16, 8, 7)), "数据接收：16Hz  数据计算：8Hz  图像更新：7Hz");
    EXPECT_EQ(Str(RatesPanelText(1, 16, 8, 7)), "DataRecv:16Hz  DataCalc:8Hz  ImageRefresh:7Hz");
    EXPECT_EQ(Str(SendingStatusText(0)), "发送指令");
    EXPECT_EQ(Str(SendingStatusText(7)), "Send Command");
    EXPECT_EQ(Str(SendCountText(0, 24)), "发送:24");
    EXPECT_EQ(Str(SendCountText(1, 0)), "Send:0");
}

TEST(ConnectionTexts, PermissionFailureAddsTheFixAfterTheOpenError) {
    const QString port = QStringLiteral("/dev/ttyUSB0");
    for (int language : {0, 1}) {
        const QString plain = OpenErrorText(port, language);
        const QString fix = plain + QLatin1Char('\n') + Tr(TText::PortPermission, language);
        EXPECT_EQ(Str(PortOpenErrorText(port, EACCES, language)), Str(fix));
        EXPECT_EQ(Str(PortOpenErrorText(port, EPERM, language)), Str(fix));
        for (int other : {0, ENOENT, EBUSY, ENOTTY})
            EXPECT_EQ(Str(PortOpenErrorText(port, other, language)), Str(plain)) << other;
    }
    EXPECT_NE(Str(Tr(TText::PortPermission, 1)).find("dialout"), std::string::npos);
    EXPECT_NE(Str(Tr(TText::PortPermission, 1)).find("log in again"), std::string::npos);
}

TEST(TypedNumbers, ParsingRulesAndMessages) {
    int32_t v = 0;
    EXPECT_TRUE(TryStrToInt(QStringLiteral("0001"), v));
    EXPECT_EQ(v, 1);
    EXPECT_TRUE(TryStrToInt(QStringLiteral(" -100 "), v));
    EXPECT_EQ(v, -100);
    EXPECT_TRUE(TryStrToInt(QStringLiteral("2147483647"), v));
    for (const char *bad : {"2147483648", "1.5", "1,000", "   ", "", "nan"})
        EXPECT_FALSE(TryStrToInt(QString::fromLatin1(bad), v)) << bad;
    try {
        StrToInt(QStringLiteral("12a"), 1);
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(Str(e.Message()), "'12a' is not a valid integer value");
        EXPECT_STREQ(e.what(), "'12a' is not a valid integer value");
    }
    try {
        StrToInt(QString(), 0);
        FAIL() << "no conversion error";
    } catch (const EConvertError &e) {
        EXPECT_EQ(Str(e.Message()), "'' 不是有效的整数值");
    }
}

TEST(TextCatalogue, EveryControlHasAStoredTextAndEnglishListsAreNoLonger) {
    for (const TControlTexts &t : ControlTextTable()) {
        EXPECT_TRUE(!t.Caption.isEmpty() || !t.Hint.isEmpty() || !t.Items.isEmpty() ||
                    t.EnglishHint != THintInEnglish::Keep)
            << t.Name;
        EXPECT_LE(t.EnglishItems.size(), t.Items.size()) << t.Name;
        EXPECT_EQ(&ControlTexts(t.Name), &t) << t.Name;
    }
    EXPECT_TRUE(ControlTexts("no_such_control").Caption.isEmpty());
}
