#include "link/LinkTexts.h"

#include <QLocale>

QString HexByteText(uint8_t value) {
    return QStringLiteral("%1").arg(uint(value), 2, 16, QLatin1Char('0')).toUpper();
}

QString RecvCounterText(int64_t byteCount, int32_t languageNum) {
    QString text = languageNum == 0 ? QStringLiteral("接收:") : QStringLiteral("Recv:");
    if (byteCount < 1024)
        return text + QString::number(byteCount) + QStringLiteral("Bytes");
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    if (byteCount < 1048576)
        return text + locale.toString(double(byteCount) / 1024.0, 'f', 3) + QStringLiteral("KB");
    return text + locale.toString(double(byteCount) / 1024.0 / 1024.0, 'f', 3) + QStringLiteral("MB");
}

QString DataCheckText(bool correct, int32_t languageNum, int64_t meanPixelWord) {
    if (!correct)
        return languageNum == 0 ? QStringLiteral("数据校验错误") : QStringLiteral("Data check Error");
    if (languageNum != 0)
        return QStringLiteral("Data check correct");
    if (meanPixelWord < 0)
        return QStringLiteral("数据校验正确");
    return QStringLiteral("数据校验正确 ") + QString::number(meanPixelWord);
}

QString SysParsTypeText(int32_t frameLen) {
    return QStringLiteral("SysPars ") + QString::number(frameLen);
}

QString EepromTypeText(int32_t frameLen) {
    return QStringLiteral("EEPROM ") + QString::number(frameLen);
}

QString FrameTypeText(uint8_t subpage, int32_t frameLen) {
    return QStringLiteral("Frame") + QString::number(subpage) + QLatin1Char(' ') + QString::number(frameLen);
}

QString PhotoTypeText(uint8_t subpage, int32_t frameLen) {
    return QStringLiteral("Photo") + QString::number(subpage) + QLatin1Char(' ') + QString::number(frameLen);
}

QString CellVoltageText(uint16_t millivolts, int32_t languageNum) {
    return (languageNum == 0 ? QStringLiteral("钮扣电池电压：") : QStringLiteral("Cell voltage:")) +
           QString::number(millivolts) + QStringLiteral("mV");
}

QString RtcText(uint16_t word21, uint16_t word22, uint16_t word23) {
    auto hi = [](uint16_t w) { return HexByteText(uint8_t(w >> 8)); };
    auto lo = [](uint16_t w) { return HexByteText(uint8_t(w & 0xFF)); };
    return QStringLiteral("20") + hi(word21) + QLatin1Char('-') + lo(word21) + QLatin1Char('-') + hi(word22) +
           QLatin1Char(' ') + lo(word22) + QLatin1Char(':') + hi(word23) + QLatin1Char(':') + lo(word23);
}

QString SavedPhotoNumText(uint16_t count) {
    return QString::number(count);
}

QString PhotoDateText(uint8_t year, uint8_t month, uint8_t day) {
    return QStringLiteral("20") + HexByteText(year) + QLatin1Char('-') + HexByteText(month) +
           QLatin1Char('-') + HexByteText(day) + QLatin1Char(' ');
}

QString PhotoTimeText(uint8_t hour, uint8_t minute, uint8_t second) {
    return HexByteText(hour) + QLatin1Char(':') + HexByteText(minute) + QLatin1Char(':') +
           HexByteText(second);
}
