#include "analysis/Trend.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

TTrendBuffer::TTrendBuffer(size_t capacity, size_t seriesCount)
    : fCapacity(std::max<size_t>(1, capacity)), fSeries(seriesCount), fTimes(fCapacity),
      fValues(fCapacity * seriesCount, std::numeric_limits<double>::quiet_NaN()) {}

void TTrendBuffer::Add(double time, const std::vector<double> &values) {
    size_t slot;
    if (fSize < fCapacity) {
        slot = Slot(fSize);
        ++fSize;
    } else {
        slot = fStart;
        fStart = (fStart + 1) % fCapacity;
    }
    fTimes[slot] = time;
    double *row = fValues.data() + slot * fSeries;
    for (size_t s = 0; s < fSeries; ++s)
        row[s] = s < values.size() ? values[s] : std::numeric_limits<double>::quiet_NaN();
}

void TTrendBuffer::Clear() {
    fStart = 0;
    fSize = 0;
}

void TTrendBuffer::ClearSeries(size_t series) {
    if (series >= fSeries)
        return;
    for (size_t slot = 0; slot < fCapacity; ++slot)
        fValues[slot * fSeries + series] = std::numeric_limits<double>::quiet_NaN();
}

size_t TTrendBuffer::FirstWithin(double span) const {
    if (fSize == 0)
        return 0;
    const double from = Time(fSize - 1) - span;
    // Times only grow, so the samples within the span are the newest ones.
    size_t lo = 0, hi = fSize - 1;
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (Time(mid) < from)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo;
}

namespace {

void PutFixed(std::ostream &out, double v, int decimals) {
    if (!std::isfinite(v))
        return;
    // A value that rounds to zero is written without a sign.
    if (std::fabs(v) < 0.5 * std::pow(10.0, -decimals))
        v = 0.0;
    char text[64];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::fixed, decimals);
    if (r.ec == std::errc())
        out.write(text, r.ptr - text);
}

void PutField(std::ostream &out, const std::string &name) {
    // A name with a comma, quote or line break is quoted, quotes doubled.
    if (name.find_first_of(",\"\r\n") == std::string::npos) {
        out << name;
        return;
    }
    out << '"';
    for (char c : name)
        out << (c == '"' ? "\"\"" : std::string(1, c));
    out << '"';
}

}  // namespace

void WriteTrendCsv(std::ostream &out, const TTrendBuffer &trend, size_t first,
                   const std::vector<size_t> &columns, const std::vector<std::string> &names) {
    out << "time_s";
    for (size_t c = 0; c < columns.size(); ++c) {
        out << ',';
        PutField(out, c < names.size() ? names[c] : std::string());
    }
    out << '\n';
    for (size_t i = first; i < trend.Size(); ++i) {
        PutFixed(out, trend.Time(i), 3);
        for (size_t column : columns) {
            out << ',';
            if (column < trend.SeriesCount())
                PutFixed(out, trend.Value(i, column), 2);
        }
        out << '\n';
    }
}
