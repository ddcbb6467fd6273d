#include "ui/support/StatusTexts.h"

#include "serial/PortDevice.h"
#include "ui/support/Convert.h"
#include "ui/support/TextCatalogue.h"

QString HexByteText(uint8_t value) {
    return QStringLiteral("%1").arg(uint(value), 2, 16, QLatin1Char('0')).toUpper();
}

QString RecvCounterText(int64_t byteCount, int32_t languageNum) {
    const QString text = Tr(TText::RecvCount, languageNum);
    if (byteCount < 1024)
        return text + QString::number(byteCount) + QStringLiteral("Bytes");
    if (byteCount < 1048576)
        return text + FormatFixed(double(byteCount) / 1024.0, 3) + QStringLiteral("KB");
    return text + FormatFixed(double(byteCount) / 1024.0 / 1024.0, 3) + QStringLiteral("MB");
}

QString RecvCounterText(const TReceiveCounters &counters, int32_t languageNum) {
    const int32_t prefixLanguage = counters.LastPath == TReceivePath::Alternative ? 0 : languageNum;
    return RecvCounterText(counters.ShownTotal, prefixLanguage);
}

QString FrameTypeText(const TLinkStatus &status) {
    const QString len = QString::number(status.LastLength);
    const QString sub = QString::number(status.LastSubpage);
    switch (status.LastType) {
    case TFrameType::SYS: return QStringLiteral("SysPars ") + len;
    case TFrameType::EEM: return QStringLiteral("EEPROM ") + len;
    case TFrameType::FRM:
    case TFrameType::FR0:
    case TFrameType::FR1: return QStringLiteral("Frame") + sub + QLatin1Char(' ') + len;
    case TFrameType::PHT: return QStringLiteral("Photo") + sub + QLatin1Char(' ') + len;
    default: return QString();
    }
}

QString DataCheckText(const TLinkStatus &status, int32_t languageNum) {
    switch (status.Check) {
    case TCheckVerdict::None: return QString();
    case TCheckVerdict::Error: return Tr(TText::DataCheckError, languageNum);
    case TCheckVerdict::Correct: break;
    }
    QString text = Tr(TText::DataCheckCorrect, languageNum);
    if (languageNum == 0 && status.MeanPixelWord >= 0)
        text += QLatin1Char(' ') + QString::number(status.MeanPixelWord);
    return text;
}

QString CellVoltageText(uint16_t millivolts, TBlockSource source, int32_t languageNum) {
    const TText label = source == TBlockSource::SysFrame ? TText::CellVoltageSys : TText::CellVoltageFrame;
    return Tr(label, languageNum) + QString::number(millivolts) + QStringLiteral("mV");
}

QString RtcText(const TSysParsBlock &b) {
    auto hi = [](uint16_t w) { return HexByteText(uint8_t(w >> 8)); };
    auto lo = [](uint16_t w) { return HexByteText(uint8_t(w & 0xFF)); };
    return QStringLiteral("20") + hi(b.YearMonth) + QLatin1Char('-') + lo(b.YearMonth) + QLatin1Char('-') +
           hi(b.DayHour) + QLatin1Char(' ') + lo(b.DayHour) + QLatin1Char(':') + hi(b.MinuteSecond) +
           QLatin1Char(':') + lo(b.MinuteSecond);
}

QString PhotoDateText(const TPhotoStamp &s) {
    return QStringLiteral("20") + HexByteText(s.Year) + QLatin1Char('-') + HexByteText(s.Month) +
           QLatin1Char('-') + HexByteText(s.Day) + QLatin1Char(' ');
}

QString PhotoTimeText(const TPhotoStamp &s) {
    return HexByteText(s.Hour) + QLatin1Char(':') + HexByteText(s.Minute) + QLatin1Char(':') +
           HexByteText(s.Second);
}

QString ConnectionPanelText(const QString &portText, const QString &baudText, bool connected,
                            int32_t languageNum) {
    const QString state = Tr(connected ? TText::Connected : TText::Disconnected, languageNum);
    return portText + QLatin1Char(' ') + baudText + QStringLiteral(" N 8 1 ") + state;
}

QString OpenErrorText(const QString &portText, int32_t languageNum) {
    return portText + Tr(TText::OpenError, languageNum) + QStringLiteral("\n\r") +
           Tr(TText::OpenErrorAdvice, languageNum);
}

QString PortOpenErrorText(const QString &portText, int openErrno, int32_t languageNum) {
    QString text = OpenErrorText(portText, languageNum);
    if (ClassifyOpenError(openErrno) == TOpenFailure::NoPermission)
        text += QLatin1Char('\n') + Tr(TText::PortPermission, languageNum);
    return text;
}

QString ConnectionLostText(int32_t languageNum) {
    return Tr(TText::ConnectionLost, languageNum);
}

QString SnapshotNotSavedText(int32_t languageNum) {
    return Tr(TText::SnapshotNotSaved, languageNum);
}

QString RatesPanelText(int32_t languageNum, int32_t dataRecvRate, int32_t dataCalcRate,
                       int32_t picUpdateRate) {
    const QString hz = QStringLiteral("Hz");
    const QString gap = QStringLiteral("  ");
    return Tr(TText::RateRecv, languageNum) + QString::number(dataRecvRate) + hz + gap +
           Tr(TText::RateCalc, languageNum) + QString::number(dataCalcRate) + hz + gap +
           Tr(TText::RateRefresh, languageNum) + QString::number(picUpdateRate) + hz;
}

QString SendingStatusText(int32_t languageNum) {
    return Tr(TText::SendCommand, languageNum);
}

QString SendCountText(int32_t languageNum, int64_t txByteCount) {
    return Tr(TText::SendCount, languageNum) + QString::number(txByteCount);
}
