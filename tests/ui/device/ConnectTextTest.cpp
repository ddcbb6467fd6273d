// Connecting: port settings, the read time-out box, and the connection texts of the
// status bar and messages.

#include "ui/device/ConnectText.h"

#include "link/WindowState.h"
#include "protocol/Commands.h"

#include <gtest/gtest.h>

namespace {

std::string Str(const QString &text) {
    return text.toStdString();
}

std::string ErrorOf(const char *port, const char *baud, const char *timeout, int lang) {
    try {
        ConnectPortSettings(QString::fromUtf8(port), QString::fromUtf8(baud), QString::fromUtf8(timeout),
                            lang);
    } catch (const TConvertError &e) {
        return Str(e.Message());
    }
    return "no error";
}

}  // namespace

TEST(ConnectPortSettings, FromTheThreeBoxes) {
    const TPortSettings s =
        ConnectPortSettings(QStringLiteral("COM4"), QStringLiteral("460800"), QStringLiteral("5"), 1);
    EXPECT_EQ(Str(s.CommName), "//./COM4");
    EXPECT_EQ(s.BaudRate, 460800u);
    EXPECT_EQ(s.ByteSize, 8);
    EXPECT_EQ(s.Parity, 'N');
    EXPECT_TRUE(s.ParityCheck);
    EXPECT_EQ(s.StopBits, 1);
    EXPECT_EQ(s.ReadIntervalTimeout, 5u);
    EXPECT_EQ(s.ReadTotalTimeoutConstant, 0u);
    EXPECT_EQ(s.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_FALSE(s.Inx_XonXoffFlow);
    EXPECT_FALSE(s.Outx_XonXoffFlow);

    const TPortSettings dev = ConnectPortSettings(QStringLiteral("/dev/ttyUSB0"), QStringLiteral("1382400"),
                                                  QStringLiteral("0"), 1);
    EXPECT_EQ(Str(dev.CommName), "//.//dev/ttyUSB0");
    EXPECT_EQ(dev.BaudRate, 1382400u);
    EXPECT_EQ(dev.ReadIntervalTimeout, 0u);
}

TEST(ConnectPortSettings, BadNumbersRaiseConversionErrors) {
    EXPECT_EQ(ErrorOf("COM4", "fast", "5", 1), "'fast' is not a valid integer value");
    EXPECT_EQ(ErrorOf("COM4", "460800", "", 1), "'' is not a valid integer value");
    EXPECT_EQ(ErrorOf("COM4", "460800", "5ms", 0), "'5ms' 不是有效的整数值");
    // Negative values would reach the port as huge unsigned numbers.
    EXPECT_EQ(ErrorOf("COM4", "-9600", "5", 1), "'-9600' is not a valid speed");
    EXPECT_EQ(ErrorOf("COM4", "0", "5", 0), "'0' 不是有效的通讯速率");
    EXPECT_EQ(ErrorOf("COM4", "460800", "-5", 1), "'-5' is not a valid read time-out");
}

TEST(ComTimeoutBox, OnlyNonNegativeNumbersApply) {
    EXPECT_FALSE(ComTimeoutFromText(QString()));
    EXPECT_FALSE(ComTimeoutFromText(QStringLiteral("abc")));
    EXPECT_FALSE(ComTimeoutFromText(QStringLiteral("-1")));
    EXPECT_EQ(ComTimeoutFromText(QStringLiteral("0")), 0u);
    EXPECT_EQ(ComTimeoutFromText(QStringLiteral("20")), 20u);
}

TEST(ConnectionTexts, Panel0InBothLanguages) {
    const QString port = QStringLiteral("COM4");
    const QString baud = QStringLiteral("460800");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, true, 0)), "COM4 460800 N 8 1 已连接");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, false, 0)), "COM4 460800 N 8 1 未连接");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, true, 1)), "COM4 460800 N 8 1 Connected");
    EXPECT_EQ(Str(ConnectionPanelText(port, baud, false, 1)), "COM4 460800 N 8 1 Disconnected");
}

TEST(ConnectionTexts, OpenErrorNamesThePortFirst) {
    EXPECT_EQ(Str(OpenErrorText(QStringLiteral("COM9"), 0)),
              "COM9打开错误\n\r请确认存在此端口或未被其它程序占用");
    EXPECT_EQ(Str(OpenErrorText(QStringLiteral("COM9"), 1)),
              "COM9Open Error\n\rPlease confirm that this port exists or is not used by another "
              "program");
}

TEST(ConnectionTexts, LostConnectionNotice) {
    EXPECT_EQ(Str(ConnectionLostText(0)), "提示消息：连接已断开");
    EXPECT_EQ(Str(ConnectionLostText(1)), "Toast:Connection lost");
}

TEST(RatesPanel, TextsInBothLanguages) {
    EXPECT_EQ(Str(RatesPanelText(0, 16, 8, 7)), "数据接收：16Hz  数据计算：8Hz  图像更新：7Hz");
    EXPECT_EQ(Str(RatesPanelText(1, 16, 8, 7)), "DataRecv:16Hz  DataCalc:8Hz  ImageRefresh:7Hz");
}

TEST(RatesPanel, TimerTakesTheCountsAndStartsANewSecond) {
    TWindowState state;
    state.LanguageNum = 1;
    state.dataRecvRate = 9;
    state.dataCalcRate = 8;
    state.picUpdateRate = 6;
    EXPECT_EQ(Str(TakeRatesPanelText(state)), "DataRecv:9Hz  DataCalc:8Hz  ImageRefresh:6Hz");
    EXPECT_EQ(state.dataRecvRate, 0);
    EXPECT_EQ(state.dataCalcRate, 0);
    EXPECT_EQ(state.picUpdateRate, 0);

    state.LanguageNum = 0;
    state.dataCalcRate += 1;
    EXPECT_EQ(Str(TakeRatesPanelText(state)), "数据接收：0Hz  数据计算：1Hz  图像更新：0Hz");
}
