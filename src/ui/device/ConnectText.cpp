#include "ui/device/ConnectText.h"

#include "link/WindowState.h"
#include "protocol/Commands.h"

TPortSettings ConnectPortSettings(const QString &portText, const QString &baudText,
                                  const QString &timeoutText, int languageNum) {
    TPortSettings settings;
    settings.CommName = QStringLiteral("//./") + portText;

    const int32_t baud = ParseTypedInt(baudText, languageNum);
    if (baud < 1)
        throw TConvertError(
            LangText(languageNum, "'%1' 不是有效的通讯速率", "'%1' is not a valid speed").arg(baudText));
    settings.BaudRate = static_cast<uint32_t>(baud);

    const int32_t timeout = ParseTypedInt(timeoutText, languageNum);
    if (timeout < 0)
        throw TConvertError(
            LangText(languageNum, "'%1' 不是有效的读取超时时间", "'%1' is not a valid read time-out")
                .arg(timeoutText));
    settings.ReadIntervalTimeout = static_cast<uint32_t>(timeout);
    return settings;
}

std::optional<uint32_t> ComTimeoutFromText(const QString &text) {
    const auto value = TryParseTypedInt(text);
    if (!value || *value < 0)
        return std::nullopt;
    return static_cast<uint32_t>(*value);
}

QString ConnectionPanelText(const QString &portText, const QString &baudText, bool connected,
                            int languageNum) {
    const QString state = connected ? LangText(languageNum, "已连接", "Connected")
                                    : LangText(languageNum, "未连接", "Disconnected");
    return portText + QLatin1Char(' ') + baudText + QStringLiteral(" N 8 1 ") + state;
}

QString OpenErrorText(const QString &portText, int languageNum) {
    return portText + LangText(languageNum, "打开错误", "Open Error") + QStringLiteral("\n\r") +
           LangText(languageNum, "请确认存在此端口或未被其它程序占用",
                    "Please confirm that this port exists or is not used by another program");
}

QString ConnectionLostText(int languageNum) {
    return LangText(languageNum, "提示消息：连接已断开", "Toast:Connection lost");
}

QString RatesPanelText(int languageNum, int32_t dataRecvRate, int32_t dataCalcRate, int32_t picUpdateRate) {
    const QString hz = QStringLiteral("Hz");
    const QString gap = QStringLiteral("  ");
    return LangText(languageNum, "数据接收：", "DataRecv:") + QString::number(dataRecvRate) + hz + gap +
           LangText(languageNum, "数据计算：", "DataCalc:") + QString::number(dataCalcRate) + hz + gap +
           LangText(languageNum, "图像更新：", "ImageRefresh:") + QString::number(picUpdateRate) + hz;
}

QString TakeRatesPanelText(TWindowState &state) {
    const int32_t recv = state.dataRecvRate.exchange(0);
    const int32_t calc = state.dataCalcRate.exchange(0);
    const int32_t pic = state.picUpdateRate.exchange(0);
    return RatesPanelText(state.LanguageNum.load(), recv, calc, pic);
}
