#include "ui/device/PortSettings.h"

#include "ui/support/Convert.h"
#include "ui/support/TextCatalogue.h"

TPortSettings ConnectPortSettings(const QString &portText, const QString &baudText,
                                  const QString &timeoutText, int32_t languageNum) {
    TPortSettings settings;
    settings.CommName = QStringLiteral("//./") + portText;

    const int32_t baud = StrToInt(baudText, languageNum);
    if (baud < 1)
        throw EConvertError(Tr(TText::NotAValidSpeed, languageNum).arg(baudText));
    settings.BaudRate = static_cast<uint32_t>(baud);

    const int32_t timeout = StrToInt(timeoutText, languageNum);
    if (timeout < 0)
        throw EConvertError(Tr(TText::NotAValidTimeout, languageNum).arg(timeoutText));
    settings.ReadIntervalTimeout = static_cast<uint32_t>(timeout);
    return settings;
}

std::optional<uint32_t> ComTimeoutFromText(const QString &text) {
    int32_t value = 0;
    if (!TryStrToInt(text, value) || value < 0)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}
