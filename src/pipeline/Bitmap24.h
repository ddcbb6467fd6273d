#pragma once
// A small owned 24-bit bitmap: three bytes per pixel in the order blue, green, red,
// row 0 at the top, rows contiguous in one buffer with a stride of BytesPerLine()
// (the row size rounded up to a multiple of 4, as device-independent bitmaps and
// QImage expect). The window can wrap Bits() in a QImage of Format_BGR888 without
// copying.

#include <cstddef>
#include <cstdint>
#include <vector>

class TBitmap24 {
public:
    TBitmap24() = default;
    TBitmap24(int width, int height) { SetSize(width, height); }

    // Resizes to width x height (negative sizes count as 0); the contents become black.
    void SetSize(int width, int height);

    int Width() const { return fWidth; }
    int Height() const { return fHeight; }
    int BytesPerLine() const { return fStride; }
    bool Empty() const { return fWidth == 0 || fHeight == 0; }

    // Row y (0 at the top); y must lie in 0 .. Height() - 1.
    uint8_t *ScanLine(int y) { return fData.data() + static_cast<size_t>(y) * fStride; }
    const uint8_t *ScanLine(int y) const { return fData.data() + static_cast<size_t>(y) * fStride; }

    uint8_t *Bits() { return fData.data(); }
    const uint8_t *Bits() const { return fData.data(); }
    size_t SizeInBytes() const { return fData.size(); }

    // Colour word 0x00BBGGRR of pixel (x, y), and the reverse; no bounds check.
    int32_t Pixel(int x, int y) const;
    void SetPixel(int x, int y, int32_t color);
    // Every pixel gets the colour word.
    void Fill(int32_t color);

    friend bool operator==(const TBitmap24 &a, const TBitmap24 &b) {
        return a.fWidth == b.fWidth && a.fHeight == b.fHeight && a.fData == b.fData;
    }

private:
    int fWidth = 0;
    int fHeight = 0;
    int fStride = 0;
    std::vector<uint8_t> fData;
};
