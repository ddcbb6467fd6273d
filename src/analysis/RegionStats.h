#pragma once
// Statistics of a region over a frame's picture temperatures, read in place.

#include "analysis/Region.h"
#include "pipeline/PictureGrid.h"

#include <bitset>
#include <cstdint>

// The sensor array: 32 columns, 24 rows.
constexpr int kSensorColumns = 32;
constexpr int kSensorRows = 24;

struct TSensorCell {
    int Column = 0;
    int Row = 0;
    friend bool operator==(const TSensorCell &, const TSensorCell &) = default;
};

// The sensor pixel that picture pixel (x, y) of a width x height picture shows: the
// one whose sample lies nearest (sensor column k is carried to picture column
// 16 k + 9, so picture columns 16 k + 1 .. 16 k + 16 show it; column 0 shows sensor
// column 0; rows alike). With
// `mirrored` the picture was made from the left-right mirrored sensor field, so its
// left edge shows sensor column 31.
TSensorCell SensorCellOf(int x, int y, int width, int height, bool mirrored);

struct TRegionStats {
    bool Valid = false;  // the region has at least one pixel with a temperature
    double Min = 0.0;
    double Max = 0.0;
    double Average = 0.0;
    TRegionPoint MinAt;      // the first pixel (in the region's order) with the minimum
    TRegionPoint MaxAt;      // ... and with the maximum
    int64_t PixelCount = 0;  // picture pixels with a temperature
    std::bitset<kSensorColumns * kSensorRows> Cells;  // sensor pixels touched: bit Row * 32 + Column
    int SensorPixels() const { return int(Cells.count()); }
};

// Minimum, maximum (with their positions), average and the sensor pixels covered,
// over the region's pixels inside the picture. Pixels whose temperature is not a
// number are left out of everything.
TRegionStats RegionStatistics(const TPictureValues &picture, const TRegion &region, bool mirrored);
