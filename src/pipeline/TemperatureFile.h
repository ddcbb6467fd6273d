#pragma once
// Temperature text files: 24 lines of 32 numbers, one line per grid row, in the
// user's number notation. Reading follows the rules of the sensor image object's
// LoadDatasFromTemperatureFile; writing produces files that read back to the same
// values.

#include "pipeline/PixelTypes.h"

#include <stdexcept>
#include <string>
#include <vector>

// A temperature file that cannot be read or written, or a value that is not a number.
class TTemperatureFileError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The decimal separator of the C library's current numeric locale ("." in the
// "C" locale; a Qt program runs with the user's locale).
std::string LocaleDecimalSeparator();

// The file as lines of UTF-8 text. A byte-order mark selects UTF-8, UTF-16 LE or
// UTF-16 BE; without one the bytes are taken as they are. Lines end at CR, LF or
// CR LF. Throws TTemperatureFileError when the file cannot be opened or read.
std::vector<std::string> ReadTextLines(const std::string &fileName);

// The values of one line: separated by runs of characters with codes up to 32; a
// value that begins with a double quote runs to the closing quote, "" inside
// standing for one quote.
std::vector<std::string> SplitTemperatureLine(const std::string &line);

// A decimal number with an optional sign, the given decimal separator and an
// optional exponent ("-7,5", "2.5e1"); surrounding spaces are ignored. Returns
// false for anything else, including "nan", "inf" and values beyond the double
// range.
bool ParseLocaleNumber(const std::string &text, const std::string &decimalSeparator, double &value);

// Writes the 32 x 24 grid (columns 0..31 of rows 0..23 of `pixs`, [column][row]) as
// 24 lines of 32 values, each in "%.17g" form with the given separator, so they
// read back exactly. Throws TTemperatureFileError when the grid is smaller than
// 32 x 24, a value is not finite (it could not be read back), the separator is
// unusable, or writing fails.
void SaveTemperatureFile(const std::string &fileName, const TPixels &pixs,
                         const std::string &decimalSeparator = LocaleDecimalSeparator());
