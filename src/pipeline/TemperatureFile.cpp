#include "pipeline/TemperatureFile.h"

#include "pipeline/WholeFile.h"

#include <cerrno>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>

std::string LocaleDecimalSeparator() {
    const std::lconv *lc = std::localeconv();
    if (lc && lc->decimal_point && lc->decimal_point[0] != '\0')
        return lc->decimal_point;
    return ".";
}

namespace {

struct FileCloser {
    void operator()(std::FILE *f) const { std::fclose(f); }
};

std::string ReadWholeFile(const std::string &fileName) {
    errno = 0;
    std::unique_ptr<std::FILE, FileCloser> file(std::fopen(fileName.c_str(), "rb"));
    if (!file)
        throw TTemperatureFileError("Cannot open temperature file \"" + fileName +
                                    "\": " + std::strerror(errno));
    std::string bytes;
    char buffer[65536];
    for (;;) {
        const size_t n = std::fread(buffer, 1, sizeof buffer, file.get());
        bytes.append(buffer, n);
        if (n < sizeof buffer)
            break;
    }
    if (std::ferror(file.get()))
        throw TTemperatureFileError("Cannot read temperature file \"" + fileName +
                                    "\": " + std::strerror(errno ? errno : EIO));
    return bytes;
}

void AppendUtf8(std::string &out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

std::string Utf16ToUtf8(const std::string &bytes, size_t offset, bool bigEndian) {
    std::string out;
    out.reserve((bytes.size() - offset) / 2);
    auto unit = [&](size_t i) -> uint32_t {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        return bigEndian ? (b0 << 8 | b1) : (b1 << 8 | b0);
    };
    for (size_t i = offset; i + 1 < bytes.size(); i += 2) {
        uint32_t cp = unit(i);
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 3 < bytes.size()) {
            const uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            } else {
                cp = 0xFFFD;
            }
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        AppendUtf8(out, cp);
    }
    return out;
}

}  // namespace

std::vector<std::string> ReadTextLines(const std::string &fileName) {
    const std::string bytes = ReadWholeFile(fileName);
    std::string text;
    if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0)
        text = bytes.substr(3);
    else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFF\xFE") == 0)
        text = Utf16ToUtf8(bytes, 2, false);
    else if (bytes.size() >= 2 && bytes.compare(0, 2, "\xFE\xFF") == 0)
        text = Utf16ToUtf8(bytes, 2, true);
    else
        text = bytes;

    std::vector<std::string> lines;
    size_t begin = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\r' && text[i] != '\n')
            continue;
        lines.push_back(text.substr(begin, i - begin));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            ++i;
        begin = i + 1;
    }
    if (begin < text.size())
        lines.push_back(text.substr(begin));
    return lines;
}

std::vector<std::string> SplitTemperatureLine(const std::string &line) {
    std::vector<std::string> values;
    auto isSeparator = [](char c) { return static_cast<unsigned char>(c) <= 32; };
    size_t i = 0;
    const size_t n = line.size();
    while (i < n && isSeparator(line[i]))
        ++i;
    while (i < n) {
        std::string value;
        if (line[i] == '"') {
            ++i;
            while (i < n) {
                if (line[i] == '"') {
                    if (i + 1 < n && line[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i++];
            }
        } else {
            while (i < n && !isSeparator(line[i]))
                value += line[i++];
        }
        values.push_back(std::move(value));
        while (i < n && isSeparator(line[i]))
            ++i;
    }
    return values;
}

bool ParseLocaleNumber(const std::string &text, const std::string &decimalSeparator, double &value) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && text[begin] == ' ')
        ++begin;
    while (end > begin && text[end - 1] == ' ')
        --end;

    // Rebuild the number in the notation std::from_chars reads.
    std::string plain;
    size_t i = begin;
    bool negative = false;
    if (i < end && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    size_t digits = 0;
    while (i < end && text[i] >= '0' && text[i] <= '9') {
        plain += text[i++];
        ++digits;
    }
    if (!decimalSeparator.empty() && i + decimalSeparator.size() <= end &&
        text.compare(i, decimalSeparator.size(), decimalSeparator) == 0) {
        i += decimalSeparator.size();
        plain += '.';
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            plain += text[i++];
            ++digits;
        }
    }
    if (digits == 0)
        return false;
    bool negativeExponent = false;
    if (i < end && (text[i] == 'e' || text[i] == 'E')) {
        plain += 'e';
        ++i;
        if (i < end && (text[i] == '+' || text[i] == '-')) {
            negativeExponent = text[i] == '-';
            plain += text[i++];
        }
        size_t exponentDigits = 0;
        while (i < end && text[i] >= '0' && text[i] <= '9') {
            plain += text[i++];
            ++exponentDigits;
        }
        if (exponentDigits == 0)
            return false;
    }
    if (i != end)
        return false;

    double parsed = 0.0;
    const auto result =
        std::from_chars(plain.data(), plain.data() + plain.size(), parsed, std::chars_format::general);
    if (result.ptr != plain.data() + plain.size())
        return false;
    if (result.ec == std::errc::result_out_of_range) {
        if (!negativeExponent)
            return false;  // beyond the largest double
        parsed = 0.0;      // below the smallest: zero
    } else if (result.ec != std::errc()) {
        return false;
    }
    value = negative ? -parsed : parsed;
    return true;
}

namespace {

bool UsableSeparator(const std::string &sep) {
    if (sep.empty())
        return false;
    for (char ch : sep) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= 32 || ch == '"' || (ch >= '0' && ch <= '9') || ch == '+' || ch == '-' || ch == 'e' ||
            ch == 'E')
            return false;
    }
    return true;
}

}  // namespace

void SaveTemperatureFile(const std::string &fileName, const TPixels &pixs,
                         const std::string &decimalSeparator) {
    constexpr int kColumns = 32;
    constexpr int kRows = 24;
    if (!UsableSeparator(decimalSeparator))
        throw TTemperatureFileError("Unusable decimal separator \"" + decimalSeparator + "\"");
    if (pixs.size() < kColumns)
        throw TTemperatureFileError("Temperature grid has fewer than 32 columns");
    for (int c = 0; c < kColumns; ++c)
        if (pixs[c].size() < kRows)
            throw TTemperatureFileError("Temperature grid has fewer than 24 rows");

    std::string text;
    for (int r = 0; r < kRows; ++r) {
        for (int c = 0; c < kColumns; ++c) {
            const double t = pixs[c][r].Temperature;
            char buffer[64];
            const auto result =
                std::to_chars(buffer, buffer + sizeof buffer, t, std::chars_format::general, 17);
            if (!std::isfinite(t) || result.ec != std::errc())
                throw TTemperatureFileError("Temperature at column " + std::to_string(c) + ", row " +
                                            std::to_string(r) + " is not a finite number");
            for (const char *p = buffer; p != result.ptr; ++p) {
                if (*p == '.')
                    text += decimalSeparator;
                else
                    text += *p;
            }
            text += c + 1 < kColumns ? ' ' : '\n';
        }
    }

    // Written beside the final name and renamed over it once complete: a full disk
    // or a crash never leaves a truncated file under that name.
    TWholeFile file(fileName);
    if (!file.File())
        throw TTemperatureFileError("Temperature file: " + file.Error());
    const bool written = std::fwrite(text.data(), 1, text.size(), file.File()) == text.size();
    if (!written || !file.Commit())
        throw TTemperatureFileError("Temperature file: " + (file.Error().empty()
                                                                ? "Cannot write \"" + fileName + "\""
                                                                : file.Error()));
}
