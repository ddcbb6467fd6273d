// Connecting: the port settings from the three boxes and the read time-out box.

#include "ui/device/PortSettings.h"

#include "ui/support/Convert.h"

#include <gtest/gtest.h>

namespace {

std::string Str(const QString &text) {
    return text.toStdString();
}

std::string ErrorOf(const char *port, const char *baud, const char *timeout, int lang) {
    try {
        ConnectPortSettings(QString::fromUtf8(port), QString::fromUtf8(baud), QString::fromUtf8(timeout),
                            lang);
    } catch (const EConvertError &e) {
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
