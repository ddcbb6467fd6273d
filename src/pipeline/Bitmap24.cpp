#include "pipeline/Bitmap24.h"

void TBitmap24::SetSize(int width, int height) {
    fWidth = width > 0 ? width : 0;
    fHeight = height > 0 ? height : 0;
    if (fWidth == 0 || fHeight == 0)
        fWidth = fHeight = 0;
    fStride = (fWidth * 3 + 3) & ~3;
    fData.assign(static_cast<size_t>(fStride) * static_cast<size_t>(fHeight), 0);
}

int32_t TBitmap24::Pixel(int x, int y) const {
    const uint8_t *p = ScanLine(y) + 3 * x;
    return static_cast<int32_t>(p[0]) << 16 | static_cast<int32_t>(p[1]) << 8 | p[2];
}

void TBitmap24::SetPixel(int x, int y, int32_t color) {
    uint8_t *p = ScanLine(y) + 3 * x;
    p[0] = static_cast<uint8_t>(color >> 16);
    p[1] = static_cast<uint8_t>(color >> 8);
    p[2] = static_cast<uint8_t>(color);
}

void TBitmap24::Fill(int32_t color) {
    for (int y = 0; y < fHeight; ++y)
        for (int x = 0; x < fWidth; ++x)
            SetPixel(x, y, color);
}
