#pragma once
// Number conversion and formatting with the user's locale.
//
// Typed numbers are parsed with the decimal separator of the user's locale and no
// thousands grouping; leading and trailing blanks are allowed. A text that is not a
// number raises EConvertError, whose message names the text in the language
// `languageNum` (0 Chinese, any other value English) and reaches the program-wide
// error dialog. Formatting never inserts group separators.

#include <QLocale>
#include <QString>

#include <cstdint>
#include <stdexcept>

class EConvertError : public std::runtime_error {
public:
    explicit EConvertError(const QString &message);
    QString Message() const { return fMessage; }

private:
    QString fMessage;
};

// The locale used for every number the window shows or reads: the default locale
// (the user's, unless a test sets another) without thousands grouping.
QLocale AppLocale();

// 32-bit signed integer in decimal; raises EConvertError on anything else.
int32_t StrToInt(const QString &text, int32_t languageNum = 1);
bool TryStrToInt(const QString &text, int32_t &value);

// Finite floating-point number; raises EConvertError on anything else. "nan" and
// "inf" are refused: such values would poison every temperature computed from them.
double StrToFloat(const QString &text, int32_t languageNum = 1);
bool TryStrToFloat(const QString &text, double &value);

// Fixed notation with the given number of decimals ("0.0" is decimals = 1).
QString FormatFixed(double value, int decimals);

// General notation with up to 15 significant digits: 25 -> "25",
// 23.456789012345678 -> "23.4567890123457".
QString FormatGeneral15(double value);
