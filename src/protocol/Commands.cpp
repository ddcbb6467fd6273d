#include "protocol/Commands.h"

#include <QLocale>

#include <array>

TConvertError::TConvertError(const QString &message)
    : std::runtime_error(message.toStdString()), fMessage(message) {}

std::optional<int32_t> TryParseTypedInt(const QString &text) {
    // The user's locale without thousands grouping, as everywhere in the window.
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    bool ok = false;
    const int value = locale.toInt(text.trimmed(), &ok);
    if (!ok)
        return std::nullopt;
    return value;
}

int32_t ParseTypedInt(const QString &text, int languageNum) {
    if (const auto value = TryParseTypedInt(text))
        return *value;
    throw TConvertError(
        LangText(languageNum, "'%1' 不是有效的整数值", "'%1' is not a valid integer value").arg(text));
}

QByteArray CommandBytes(const QString &str) {
    QByteArray bytes;
    bytes.reserve(str.size());
    for (const QChar c : str) {
        if (c.unicode() == 0)
            break;
        bytes.append(static_cast<char>(c.unicode() & 0xFF));
    }
    return bytes;
}

QString SendingStatusText(int languageNum) {
    return LangText(languageNum, "发送指令", "Send Command");
}

QString SendCountText(int languageNum, int32_t txByteCount) {
    return LangText(languageNum, "发送:", "Send:") + QString::number(txByteCount);
}

QString SetParCommand(int parameter, int64_t value) {
    return QStringLiteral("$SETP=%1,%2").arg(parameter).arg(value) + CommandEnd;
}

QString ModuleActionCommand(TModuleAction action) {
    return SetParCommand(SPN_Action, action);
}

QString SavePhotoCommand() {
    return QStringLiteral("$SVEP") + CommandEnd;
}

QString ClearAllPhotoCommand() {
    return QStringLiteral("$CLRP") + CommandEnd;
}

QString ReadLastPhotoCommand() {
    return ReadPhotoCommand(-1);
}

QString ReadPhotoCommand(int64_t number) {
    return QStringLiteral("$OUTP=") + QString::number(number) + CommandEnd;
}

QString ReadOnePhotoCommand(const QString &photoNumText) {
    return QStringLiteral("$OUTP=") + photoNumText + CommandEnd;
}

QString SetDateTimeCommand(const QDateTime &localTime) {
    // The module's clock takes "/" and ":" as separators; the digits are fixed width.
    return QStringLiteral("$STDT=") + localTime.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")) + CommandEnd;
}

std::optional<QString> ItemIndexParCommand(TSetParNum parameter, int itemIndex, bool readParsIsBusy) {
    if (readParsIsBusy)
        return std::nullopt;
    return SetParCommand(parameter, itemIndex);
}

std::optional<QString> CheckParCommand(TSetParNum parameter, bool checked, bool readParsIsBusy) {
    if (readParsIsBusy)
        return std::nullopt;
    return SetParCommand(parameter, checked ? 1 : 0);
}

std::optional<QString> OutBaudParCommand(const QString &boxText, bool readParsIsBusy, int languageNum) {
    if (readParsIsBusy)
        return std::nullopt;
    return SetParCommand(SPN_OutBaud, ParseTypedInt(boxText, languageNum) / 100);
}

std::optional<QString> DelayMsParCommand(const QString &boxText, bool readParsIsBusy) {
    if (readParsIsBusy)
        return std::nullopt;
    const auto value = TryParseTypedInt(boxText);
    if (!value)
        return std::nullopt;
    return SetParCommand(SPN_DelayMs, *value);
}

std::span<const TReadParsStep> ReadParsSequence() {
    static constexpr std::array<TReadParsStep, 6> steps{{
        {RPS_Begin, MA_SendCalibration, 0},
        {RPS_Send, MA_SendCalibration, 0},
        {RPS_Delay, MA_SendCalibration, 500},
        {RPS_Send, MA_SendSysPars, 0},
        {RPS_Delay, MA_SendSysPars, 500},
        {RPS_End, MA_SendSysPars, 0},
    }};
    return steps;
}
