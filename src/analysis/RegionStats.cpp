#include "analysis/RegionStats.h"

#include <algorithm>
#include <cmath>
#include <limits>

const char *RegionKindName(TRegionKind kind) {
    switch (kind) {
    case RK_Box: return "box";
    case RK_Line: return "line";
    case RK_Spot: return "spot";
    }
    return "";
}

TSensorCell SensorCellOf(int x, int y, int width, int height, bool mirrored) {
    // Sensor column k lands on picture column 16 k + 9 of a 512-pixel picture (the
    // interpolation's sample positions); a pixel shows the sensor pixel whose sample
    // is nearest: columns 16 k + 1 .. 16 k + 16 (column 0 with the first), and the
    // same for rows.
    const auto cell = [](int v, int size, int cells) {
        if (size <= 0)
            return 0;
        const double scale = double(size) / cells;  // 16 for the picture
        return std::clamp(int(std::floor((v - scale / 16.0) / scale)), 0, cells - 1);
    };
    int column = cell(x, width, kSensorColumns);
    const int row = cell(y, height, kSensorRows);
    if (mirrored)
        column = kSensorColumns - 1 - column;
    return {column, row};
}

TRegionStats RegionStatistics(const TPictureValues &picture, const TRegion &region, bool mirrored) {
    TRegionStats s;
    if (picture.Empty() || picture.Temps.size() < size_t(picture.Width) * size_t(picture.Height))
        return s;
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();
    double sum = 0.0;
    const int w = picture.Width, h = picture.Height;
    const double *temps = picture.Temps.data();
    const auto take = [&](double t, int x, int y) {
        if (std::isnan(t))
            return;
        if (s.PixelCount == 0 || t < lo) {
            lo = t;
            s.MinAt = {x, y};
        }
        if (s.PixelCount == 0 || t > hi) {
            hi = t;
            s.MaxAt = {x, y};
        }
        sum += t;
        ++s.PixelCount;
    };
    if (region.Kind == RK_Box) {
        // Row by row, as ForEachRegionPixel visits a box. The picture was just written
        // by the decoding thread, so its lines are fetched from another core: the next
        // row is asked for while this one is summed. A row is first reduced in four
        // independent lanes (no branch, no chain of dependent additions); only a row
        // that holds a new extreme is looked at again for where it lies.
        const TBoxSpan box = ClampedBox(region, w, h);
        const int x0 = box.x0, y0 = box.y0, x1 = box.x1, y1 = box.y1;
        constexpr int kPerLine = 64 / sizeof(double);
        constexpr double kInf = std::numeric_limits<double>::infinity();
        for (int y = y0; y <= y1; ++y) {
            const double *row = temps + size_t(y) * size_t(w);
            if (y < y1)
                for (int x = x0; x <= x1 + kPerLine - 1; x += kPerLine)
                    __builtin_prefetch(row + w + std::min(x, x1));
            double rowLo[4] = {kInf, kInf, kInf, kInf}, rowHi[4] = {-kInf, -kInf, -kInf, -kInf};
            double rowSum[4] = {0, 0, 0, 0};
            int64_t rowCount[4] = {0, 0, 0, 0};
            int x = x0;
            const auto lane = [&](int k, double t) {
                const bool number = t == t;  // false for NaN, which is left out
                rowLo[k] = t < rowLo[k] ? t : rowLo[k];
                rowHi[k] = t > rowHi[k] ? t : rowHi[k];
                rowSum[k] += number ? t : 0.0;
                rowCount[k] += number ? 1 : 0;
            };
            for (; x + 3 <= x1; x += 4)
                for (int k = 0; k < 4; ++k)
                    lane(k, row[x + k]);
            for (int k = 0; x <= x1; ++x, ++k)
                lane(k, row[x]);
            const int64_t count = rowCount[0] + rowCount[1] + rowCount[2] + rowCount[3];
            if (count == 0)
                continue;
            const double rLo = std::min(std::min(rowLo[0], rowLo[1]), std::min(rowLo[2], rowLo[3]));
            const double rHi = std::max(std::max(rowHi[0], rowHi[1]), std::max(rowHi[2], rowHi[3]));
            // The first pixel of the row with that value, as a scan in order finds it
            // (an infinite extreme compares equal to itself too).
            const auto firstAt = [&](double v) {
                int at = x0;
                while (at < x1 && !(row[at] == v))
                    ++at;
                return TRegionPoint{at, y};
            };
            if (s.PixelCount == 0 || rLo < lo) {
                lo = rLo;
                s.MinAt = firstAt(rLo);
            }
            if (s.PixelCount == 0 || rHi > hi) {
                hi = rHi;
                s.MaxAt = firstAt(rHi);
            }
            sum += (rowSum[0] + rowSum[1]) + (rowSum[2] + rowSum[3]);
            s.PixelCount += count;
        }
    } else {
        ForEachRegionPixel(region, w, h,
                           [&](int x, int y) { take(temps[size_t(y) * size_t(w) + size_t(x)], x, y); });
    }
    // The sensor pixels under the region's pixels inside the picture: a box's cells
    // from its corners, a line's pixel by pixel.
    const auto mark = [&](int x, int y) {
        const TSensorCell c = SensorCellOf(x, y, w, h, mirrored);
        s.Cells.set(size_t(c.Row * kSensorColumns + c.Column));
    };
    if (region.Kind == RK_Box) {
        const TBoxSpan box = ClampedBox(region, w, h);
        const int x0 = box.x0, y0 = box.y0, x1 = box.x1, y1 = box.y1;
        if (x0 <= x1 && y0 <= y1) {
            const TSensorCell a = SensorCellOf(x0, y0, w, h, false);
            const TSensorCell b = SensorCellOf(x1, y1, w, h, false);
            for (int row = a.Row; row <= b.Row; ++row)
                for (int column = a.Column; column <= b.Column; ++column)
                    s.Cells.set(
                        size_t(row * kSensorColumns + (mirrored ? kSensorColumns - 1 - column : column)));
        }
    } else {
        ForEachRegionPixel(region, w, h, mark);
    }
    if (s.PixelCount == 0)
        return s;
    s.Valid = true;
    s.Min = lo;
    s.Max = hi;
    s.Average = sum / double(s.PixelCount);
    return s;
}
