#pragma once
// The trend: a ring of samples (a time in seconds and one value per series), the
// oldest overwritten once it is full, and its CSV form.

#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

// The spans the trend shows, in seconds: 10 s, 1 min, 10 min.
constexpr double kTrendSpans[] = {10.0, 60.0, 600.0};

class TTrendBuffer {
public:
    // Room for `capacity` samples (at least 1) of `seriesCount` values each.
    TTrendBuffer(size_t capacity, size_t seriesCount);

    // Appends a sample; missing values are NaN, extra ones are dropped. When full,
    // the oldest sample goes.
    void Add(double time, const std::vector<double> &values);
    void Clear();
    // Sets every stored value of one series to NaN (its source changed).
    void ClearSeries(size_t series);

    size_t Size() const { return fSize; }
    size_t Capacity() const { return fCapacity; }
    size_t SeriesCount() const { return fSeries; }
    // Sample i counted from the oldest (0 <= i < Size()).
    double Time(size_t i) const { return fTimes[Slot(i)]; }
    double Value(size_t i, size_t series) const { return fValues[Slot(i) * fSeries + series]; }
    // The first sample not older than `span` seconds before the newest; Size() when
    // empty.
    size_t FirstWithin(double span) const;

private:
    size_t Slot(size_t i) const { return (fStart + i) % fCapacity; }

    size_t fCapacity;
    size_t fSeries;
    size_t fStart = 0;  // slot of the oldest sample
    size_t fSize = 0;
    std::vector<double> fTimes;
    std::vector<double> fValues;  // fCapacity x fSeries
};

// Writes samples [first, Size()) of the chosen series as CSV: a header line
// ("time_s" then the names), then one line per sample: its time in seconds with
// three decimals, then each value with two decimals, an empty field for a value
// that is not a number. The decimal separator is always a dot; lines end with "\n".
// `columns` names the series to write (indices into the buffer) and `names` their
// headers, one each.
void WriteTrendCsv(std::ostream &out, const TTrendBuffer &trend, size_t first,
                   const std::vector<size_t> &columns, const std::vector<std::string> &names);
