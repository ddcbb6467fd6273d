#pragma once
// The isotherm: the picture pixels whose temperature lies in a band.

#include "pipeline/PictureGrid.h"

#include <cstdint>

// Whether `t` lies in [low, high]; never for a value that is not a number, and no
// value lies in a band whose low end is above its high end.
inline bool InIsothermBand(double t, double low, double high) {
    return t >= low && t <= high;
}

// Sets every pixel of a 32-bit picture (`pixels`, `wordsPerLine` words per row,
// at least picture.Width x picture.Height) whose temperature is in the band to
// `color`. Returns the number of pixels set.
int64_t PaintIsotherm(const TPictureValues &picture, double low, double high, uint32_t color,
                      uint32_t *pixels, int64_t wordsPerLine);
