#include "pipeline/FrameScan.h"

#include <cmath>
#include <cstdint>

TFrameScan ScanFrame(double *temps, double *last, TPixels &origin, int columns, int rows, bool mirror,
                     bool slugg) {
    TFrameScan scan;
    double sum = 0.0;
    bool first = true;
    for (int j = 0; j < rows; ++j) {
        for (int i = 0; i < columns; ++i) {
            const int p = columns * j + i;
            if (std::isnan(temps[p]))
                temps[p] = -100.0;
            const int x = mirror ? columns - 1 - i : i;
            TPixel &px = origin[x][j];
            px.X = x;
            px.Y = j;
            px.Useable = true;
            const double now = temps[p];
            if (slugg) {
                const double before = last[p];
                px.Temperature = std::fabs(now - before) >= 3.0 ? now : before + (now - before) / 3.0;
                last[p] = now;
            } else {
                px.Temperature = now;
            }
            sum += px.Temperature;
            if (first) {
                scan.MaxPix = px;
                scan.MinPix = px;
                first = false;
            } else {
                if (px.Temperature > scan.MaxPix.Temperature)
                    scan.MaxPix = px;
                if (px.Temperature < scan.MinPix.Temperature)
                    scan.MinPix = px;
            }
        }
    }
    scan.TemperatureAvg = sum / static_cast<double>(columns * rows);
    return scan;
}

namespace {

// floor / ceil as a 32-bit integer, false when out of range.
bool ToInt32(double whole, int32_t &out) {
    if (!(whole >= -2147483648.0 && whole <= 2147483647.0))
        return false;
    out = static_cast<int32_t>(whole);
    return true;
}

}  // namespace

bool LowerLimitFor(double value, double &limit) {
    int32_t l;
    if (!ToInt32(std::floor(value), l))
        return false;
    const int32_t r = l % 5;  // sign of the dividend
    if (r > 0)
        l -= r;
    limit = l;
    return true;
}

bool UpperLimitFor(double value, double &limit) {
    int32_t u;
    if (!ToInt32(std::ceil(value), u))
        return false;
    const int32_t r = u % 5;
    double result = u;
    if (r > 0)
        result = static_cast<double>(u) + 5 - r;  // no 32-bit overflow near the top
    limit = result;
    return true;
}

bool AutoLowUpLimits(double minTemp, double maxTemp, double &lower, double &upper) {
    const double lowerBefore = lower;
    const double upperBefore = upper;
    if (minTemp < lower || minTemp - lower > 5.0)
        LowerLimitFor(minTemp, lower);
    if (maxTemp > upper || upper - maxTemp > 5.0)
        UpperLimitFor(maxTemp, upper);
    return lower != lowerBefore || upper != upperBefore;
}
