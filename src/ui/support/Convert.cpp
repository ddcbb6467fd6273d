#include "ui/support/Convert.h"

#include "ui/support/TextCatalogue.h"

#include <cmath>
#include <limits>

EConvertError::EConvertError(const QString &message)
    : std::runtime_error(message.toStdString()), fMessage(message) {}

QLocale AppLocale() {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator | QLocale::RejectGroupSeparator);
    return locale;
}

bool TryStrToInt(const QString &text, int32_t &value) {
    bool ok = false;
    const qlonglong v = AppLocale().toLongLong(text.trimmed(), &ok);
    if (!ok || v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
        return false;
    value = static_cast<int32_t>(v);
    return true;
}

int32_t StrToInt(const QString &text, int32_t languageNum) {
    int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(Tr(TText::NotAValidInteger, languageNum).arg(text));
    return value;
}

bool TryStrToFloat(const QString &text, double &value) {
    bool ok = false;
    const double v = AppLocale().toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

double StrToFloat(const QString &text, int32_t languageNum) {
    double value = 0.0;
    if (!TryStrToFloat(text, value))
        throw EConvertError(Tr(TText::NotAValidFloat, languageNum).arg(text));
    return value;
}

QString FormatFixed(double value, int decimals) {
    return AppLocale().toString(value, 'f', decimals);
}

QString FormatGeneral15(double value) {
    return AppLocale().toString(value, 'g', 15);
}
