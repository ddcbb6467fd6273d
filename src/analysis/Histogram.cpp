#include "analysis/Histogram.h"

#include <algorithm>
#include <cmath>
#include <numeric>

int THistogram::Total() const {
    return std::accumulate(Counts.begin(), Counts.end(), 0);
}

THistogram MakeHistogram(const double *values, size_t count) {
    THistogram h;
    // Bin numbers are kept within what an int holds; temperatures far outside it are
    // not temperatures the sensor can give, but must not overflow.
    constexpr double kLimit = 1e9;
    double lo = 0.0, hi = 0.0;
    bool any = false;
    for (size_t i = 0; i < count; ++i) {
        const double t = values[i];
        if (!std::isfinite(t))
            continue;
        const double b = std::clamp(std::floor(t), -kLimit, kLimit);
        lo = any ? std::min(lo, b) : b;
        hi = any ? std::max(hi, b) : b;
        any = true;
    }
    if (!any)
        return h;
    h.FirstBin = int(lo);
    const int bins = int(std::min<double>(hi - lo + 1.0, kMaxHistogramBins));
    h.Counts.assign(size_t(bins), 0);
    for (size_t i = 0; i < count; ++i) {
        const double t = values[i];
        if (!std::isfinite(t))
            continue;
        const double k = std::clamp(std::floor(t), -kLimit, kLimit) - lo;
        ++h.Counts[size_t(std::min<double>(k, bins - 1))];
    }
    return h;
}
