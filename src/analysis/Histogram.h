#pragma once
// Temperature distribution in 1 °C bins: bin k holds FirstBin + k <= t < FirstBin + k + 1.

#include <cstddef>
#include <vector>

struct THistogram {
    int FirstBin = 0;         // lower edge of the first bin, °C
    std::vector<int> Counts;  // empty when no value was a finite number
    int Total() const;
};

// The most bins a histogram has: values further above the lowest fall into the last.
constexpr int kMaxHistogramBins = 1024;

// Bins from the lowest to the highest finite value; values that are not finite are
// left out.
THistogram MakeHistogram(const double *values, size_t count);
inline THistogram MakeHistogram(const std::vector<double> &values) {
    return MakeHistogram(values.data(), values.size());
}
