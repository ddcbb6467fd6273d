// Bitmap effects, the marker colour and the bitmap type.
#include "pipeline/Bitmap24.h"
#include "pipeline/SysFun.h"

#include <gtest/gtest.h>

namespace {

TBitmap24 Uniform(int w, int h, uint8_t v) {
    TBitmap24 bmp(w, h);
    for (int y = 0; y < h; ++y)
        for (int i = 0; i < 3 * w; ++i)
            bmp.ScanLine(y)[i] = v;
    return bmp;
}

int Channel(const TBitmap24 &bmp, int x, int y, int ch) {
    return bmp.ScanLine(y)[3 * x + ch];
}

TEST(Bitmap, LayoutAndPixelAccess) {
    TBitmap24 bmp(512, 384);
    EXPECT_EQ(bmp.Width(), 512);
    EXPECT_EQ(bmp.Height(), 384);
    EXPECT_EQ(bmp.BytesPerLine(), 1536);
    EXPECT_EQ(bmp.ScanLine(1), bmp.Bits() + 1536);
    bmp.SetPixel(3, 2, 0x00112233);  // red 0x33, green 0x22, blue 0x11
    EXPECT_EQ(bmp.ScanLine(2)[9], 0x11);
    EXPECT_EQ(bmp.ScanLine(2)[10], 0x22);
    EXPECT_EQ(bmp.ScanLine(2)[11], 0x33);
    EXPECT_EQ(bmp.Pixel(3, 2), 0x00112233);
    // Rows of an odd width are padded to a multiple of 4 bytes.
    TBitmap24 legend(33, 10);
    EXPECT_EQ(legend.BytesPerLine(), 100);
    EXPECT_EQ(legend.SizeInBytes(), 1000u);
    EXPECT_TRUE(TBitmap24(0, 5).Empty());
    EXPECT_TRUE(TBitmap24(-3, 5).Empty());
}

TEST(Sharpen, UniformPictureIsUnchanged) {
    TBitmap24 bmp = Uniform(7, 5, 90);
    const TBitmap24 before = bmp;
    Sharpen(bmp);
    EXPECT_EQ(bmp, before);
}

TEST(Sharpen, InPlaceReferenceRowsRing) {
    TBitmap24 bmp = Uniform(6, 6, 200);
    for (int i = 0; i < 18; ++i)
        bmp.ScanLine(0)[i] = 100;
    Sharpen(bmp);
    const int want[6] = {100, 250, 175, 212, 194, 203};
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            for (int ch = 0; ch < 3; ++ch)
                EXPECT_EQ(Channel(bmp, x, y, ch), want[y]) << x << " " << y;
}

TEST(Sharpen, ResultsAreLimitedToTheByteRange) {
    TBitmap24 bmp(2, 1);
    // Pixel 0 (its own reference) keeps its value; pixel 1 refers to pixel 0.
    uint8_t *row = bmp.ScanLine(0);
    row[0] = 100;
    row[1] = 200;
    row[2] = 0;
    row[3] = 250;
    row[4] = 10;
    row[5] = 3;
    Sharpen(bmp);
    EXPECT_EQ(row[3], 255);  // 250 + 75
    EXPECT_EQ(row[4], 0);    // 10 - 95
    EXPECT_EQ(row[5], 4);    // 3 + 3 div 2
    EXPECT_EQ(row[0], 100);
    // Truncation towards zero: 10 against 13 gives 10 + (-3) div 2 = 9.
    TBitmap24 t(2, 1);
    t.ScanLine(0)[0] = 13;
    t.ScanLine(0)[3] = 10;
    Sharpen(t);
    EXPECT_EQ(t.ScanLine(0)[3], 9);
}

TEST(Blur, UniformUnchangedAndCornerExample) {
    TBitmap24 bmp = Uniform(5, 4, 77);
    const TBitmap24 before = bmp;
    Blur(bmp);
    EXPECT_EQ(bmp, before);

    TBitmap24 dot(4, 4);
    dot.SetPixel(1, 1, 0x005A5A5A);  // 90 in every channel
    Blur(dot);
    EXPECT_EQ(Channel(dot, 0, 0, 0), 10);
    EXPECT_EQ(Channel(dot, 0, 0, 2), 10);
    // Pixel (1, 0) reads row 0 twice (as upper and own row), with the already
    // blurred (0, 0) in it: (2 * 10 + 90) / 9 = 12.
    EXPECT_EQ(Channel(dot, 1, 0, 1), 12);
}

TEST(Blur, ChannelsAreIndependent) {
    TBitmap24 bmp(3, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            bmp.SetPixel(x, y, 0x00000090);  // red only
    Blur(bmp);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(bmp.Pixel(x, y), 0x00000090);
}

TEST(NegativeAndExposure, ChannelMaps) {
    TBitmap24 bmp(5, 1);
    const uint8_t values[5] = {0, 100, 127, 128, 200};
    for (int x = 0; x < 5; ++x)
        for (int ch = 0; ch < 3; ++ch)
            bmp.ScanLine(0)[3 * x + ch] = values[x];
    TBitmap24 neg = bmp;
    Negative(neg);
    EXPECT_EQ(Channel(neg, 1, 0, 0), 155);
    Negative(neg);
    EXPECT_EQ(neg, bmp);

    Exposure(bmp);
    const int want[5] = {255, 155, 128, 128, 200};
    for (int x = 0; x < 5; ++x)
        for (int ch = 0; ch < 3; ++ch)
            EXPECT_EQ(Channel(bmp, x, 0, ch), want[x]);
}

TEST(ColourInverse, Examples) {
    auto word = [](int r, int g, int b) { return b * 65536 + g * 256 + r; };
    EXPECT_EQ(RGBColorInverse(word(255, 255, 255)), word(0, 0, 0));
    EXPECT_EQ(RGBColorInverse(word(128, 128, 128)), word(255, 255, 255));
    EXPECT_EQ(RGBColorInverse(word(255, 0, 0)), word(0, 255, 255));
    EXPECT_EQ(RGBColorInverse(word(120, 60, 200)), word(255, 195, 55));
    // The band 118..137 turns white; 117 and 138 are plain inverses.
    EXPECT_EQ(RGBColorInverse(word(118, 137, 117)), word(255, 255, 138));
    EXPECT_EQ(RGBColorInverse(word(138, 0, 0)), word(117, 255, 255));
}

TEST(Effects, EmptyBitmapIsHarmless) {
    TBitmap24 empty;
    Sharpen(empty);
    Blur(empty);
    Negative(empty);
    Exposure(empty);
    EXPECT_TRUE(empty.Empty());
}

}  // namespace
