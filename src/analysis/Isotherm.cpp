#include "analysis/Isotherm.h"

int64_t PaintIsotherm(const TPictureValues &picture, double low, double high, uint32_t color,
                      uint32_t *pixels, int64_t wordsPerLine) {
    if (picture.Empty() || picture.Temps.size() < size_t(picture.Width) * size_t(picture.Height) ||
        !(low <= high))
        return 0;
    int64_t set = 0;
    for (int y = 0; y < picture.Height; ++y) {
        const double *temps = picture.Temps.data() + size_t(y) * size_t(picture.Width);
        uint32_t *row = pixels + y * wordsPerLine;
        for (int x = 0; x < picture.Width; ++x) {
            if (InIsothermBand(temps[x], low, high)) {
                row[x] = color;
                ++set;
            }
        }
    }
    return set;
}
