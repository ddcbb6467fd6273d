// Grey values, rounding, the ten palettes and the continuous colouring.
#include "pipeline/ColorMap.h"
#include "pipeline/SysFun.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

struct Rgb {
    int r, g, b;
};

Rgb Split(int32_t word) {
    return {word & 255, (word >> 8) & 255, (word >> 16) & 255};
}

void ExpectRgb(int32_t word, Rgb want, const std::string &what) {
    const Rgb got = Split(word);
    EXPECT_EQ(got.r, want.r) << what << " red";
    EXPECT_EQ(got.g, want.g) << what << " green";
    EXPECT_EQ(got.b, want.b) << what << " blue";
    EXPECT_EQ(word & ~0xFFFFFF, 0) << what << " high byte";
}

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(127.5), 128.0);
    EXPECT_EQ(RoundHalfEven(126.5), 126.0);
    EXPECT_EQ(RoundHalfEven(0.5), 0.0);
    EXPECT_EQ(RoundHalfEven(1.5), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5), 2.0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2.0);
    EXPECT_EQ(RoundHalfEven(-2.5), -2.0);
    EXPECT_EQ(RoundHalfEven(2.4999999999999996), 2.0);
    EXPECT_EQ(RoundHalfEven(2.5000000000000004), 3.0);
    EXPECT_EQ(RoundHalfEven(254.6), 255.0);
    // Beyond 2^51 the halves are still decided correctly.
    EXPECT_EQ(RoundHalfEven(2251799813685249.5), 2251799813685250.0);
    EXPECT_EQ(RoundHalfEven(4503599627370495.5), 4503599627370496.0);
    EXPECT_EQ(RoundHalfEven(1e300), 1e300);
    EXPECT_TRUE(std::isnan(RoundHalfEven(std::nan(""))));
}

TEST(GreyValue, PositionInsideTheRangeWithClamps) {
    EXPECT_EQ(GrayValueOf(20.0, 20.0, 40.0), 0.0);
    EXPECT_EQ(GrayValueOf(40.0, 20.0, 40.0), 255.0);
    EXPECT_EQ(GrayValueOf(30.0, 20.0, 40.0), 127.5);
    EXPECT_EQ(GrayValueOf(-5.0, 20.0, 40.0), 0.0);
    EXPECT_EQ(GrayValueOf(99.0, 20.0, 40.0), 255.0);
    // Equal limits: at or below gives 0, above 255, without dividing by zero.
    EXPECT_EQ(GrayValueOf(20.0, 20.0, 20.0), 0.0);
    EXPECT_EQ(GrayValueOf(19.0, 20.0, 20.0), 0.0);
    EXPECT_EQ(GrayValueOf(20.5, 20.0, 20.0), 255.0);
    // Lower above upper: everything is 0 or 255.
    EXPECT_EQ(GrayValueOf(30.0, 40.0, 20.0), 0.0);
    EXPECT_EQ(GrayValueOf(45.0, 40.0, 20.0), 255.0);
}

TEST(GreyValue, ColorPixelRoundsHalfToEvenAndSplitsTheWord) {
    TColorScheme scheme;
    scheme.Method = CM_GrayColor;
    scheme.Palette = GCM_Gray;
    const TColorTable table = BuildColorTable(scheme);
    TPixel px;
    px.Temperature = 30.0;
    ColorPixel(px, 20.0, 40.0, table);
    EXPECT_EQ(px.GrayValue0, 127.5);
    EXPECT_EQ(px.Color, 128 * 65536 + 128 * 256 + 128);
    EXPECT_EQ(px.ColorR, 128);
    EXPECT_EQ(px.ColorG, 128);
    EXPECT_EQ(px.ColorB, 128);

    // A grey value of exactly 126.5 (range 0..255) becomes 126.
    px.Temperature = 126.5;
    ColorPixel(px, 0.0, 255.0, table);
    EXPECT_EQ(px.GrayValue0, 126.5);
    EXPECT_EQ(px.ColorR, 126);
}

TEST(GreyValue, MethodsWithoutColoursKeepTheColourAndNaNStopsEarly) {
    TPixel px;
    px.Temperature = 30.0;
    px.Color = 0x00123456;
    px.ColorR = 7;
    for (auto method : {CM_DenLayer, CM_PixConver, CM_CompColor}) {
        TColorScheme scheme;
        scheme.Method = method;
        ColorPixel(px, 20.0, 40.0, BuildColorTable(scheme));
        EXPECT_EQ(px.GrayValue0, 127.5);
        EXPECT_EQ(px.Color, 0x00123456);
        EXPECT_EQ(px.ColorR, 0x56);
        EXPECT_EQ(px.ColorG, 0x34);
        EXPECT_EQ(px.ColorB, 0x12);
    }
    // A temperature that yields no grey value leaves the colour as it was.
    TColorScheme scheme;
    scheme.Method = CM_GrayColor;
    TPixel nanPx;
    nanPx.Temperature = std::numeric_limits<double>::infinity();
    nanPx.Color = 0x00ABCDEF;
    nanPx.ColorR = 1;
    ColorPixel(nanPx, -std::numeric_limits<double>::infinity(), std::nan(""), BuildColorTable(scheme));
    EXPECT_TRUE(std::isnan(nanPx.GrayValue0));
    EXPECT_EQ(nanPx.Color, 0x00ABCDEF);
    EXPECT_EQ(nanPx.ColorR, 1);
}

TEST(Palettes, CheckTable) {
    const int greys[5] = {0, 64, 128, 192, 255};
    struct Row {
        TGrayColor_SubMeth palette;
        Rgb values[5];
    };
    const Row table[] = {
        {GCM_Pseudo1, {{0, 127, 255}, {64, 63, 191}, {128, 1, 127}, {192, 65, 63}, {255, 128, 0}}},
        {GCM_Pseudo2, {{0, 0, 0}, {0, 0, 251}, {0, 255, 0}, {255, 251, 0}, {255, 0, 0}}},
        {GCM_Metal1, {{0, 0, 0}, {4, 4, 255}, {255, 255, 0}, {255, 255, 0}, {255, 255, 251}}},
        {GCM_Metal2, {{0, 0, 28}, {99, 0, 98}, {230, 59, 0}, {255, 198, 0}, {255, 255, 255}}},
        {GCM_Rainbow1, {{0, 0, 0}, {0, 255, 247}, {255, 251, 0}, {255, 0, 0}, {255, 251, 251}}},
        {GCM_Rainbow2, {{0, 0, 255}, {0, 255, 247}, {255, 251, 0}, {255, 0, 0}, {255, 251, 251}}},
        {GCM_Rainbow3, {{0, 0, 255}, {0, 255, 190}, {130, 255, 0}, {255, 157, 0}, {255, 0, 0}}},
        {GCM_Veska, {{0, 255, 255}, {0, 0, 251}, {0, 255, 0}, {255, 251, 0}, {255, 0, 0}}},
        {GCM_Toral, {{0, 254, 255}, {0, 2, 254}, {2, 255, 0}, {255, 254, 0}, {255, 2, 0}}},
        {GCM_Gray, {{0, 0, 0}, {64, 64, 64}, {128, 128, 128}, {192, 192, 192}, {255, 255, 255}}},
    };
    for (const Row &row : table)
        for (int k = 0; k < 5; ++k)
            ExpectRgb(GrayToPseColor(row.palette, greys[k]), row.values[k],
                      "palette " + std::to_string(row.palette) + " g " + std::to_string(greys[k]));
}

TEST(Palettes, SegmentBordersAndRange) {
    // Values on both sides of segment borders, where an off-by-one shows.
    ExpectRgb(GrayToPseColor(GCM_Pseudo2, 63), {0, 0, 251}, "pseudo2 63");
    ExpectRgb(GrayToPseColor(GCM_Pseudo2, 127), {0, 251, 0}, "pseudo2 127");
    ExpectRgb(GrayToPseColor(GCM_Metal1, 95), {127, 127, 255}, "metal1 95");
    ExpectRgb(GrayToPseColor(GCM_Metal1, 96), {132, 132, 247}, "metal1 96");
    ExpectRgb(GrayToPseColor(GCM_Metal2, 16), {0, 0, 46}, "metal2 16");
    ExpectRgb(GrayToPseColor(GCM_Metal2, 17), {2, 0, 47}, "metal2 17");
    ExpectRgb(GrayToPseColor(GCM_Metal2, 92), {156, 0, 124}, "metal2 92");
    ExpectRgb(GrayToPseColor(GCM_Metal2, 215), {255, 248, 6}, "metal2 215");
    ExpectRgb(GrayToPseColor(GCM_Rainbow1, 31), {0, 0, 247}, "rainbow1 31");
    ExpectRgb(GrayToPseColor(GCM_Rainbow1, 32), {0, 0, 255}, "rainbow1 32");
    ExpectRgb(GrayToPseColor(GCM_Rainbow3, 51), {0, 255, 255}, "rainbow3 51");
    ExpectRgb(GrayToPseColor(GCM_Rainbow3, 204), {255, 127, 0}, "rainbow3 204");
    ExpectRgb(GrayToPseColor(GCM_Rainbow3, 205), {255, 125, 0}, "rainbow3 205");
    ExpectRgb(GrayToPseColor(GCM_Veska, 63), {0, 4, 255}, "veska 63");
    ExpectRgb(GrayToPseColor(GCM_Toral, 63), {0, 2, 255}, "toral 63");
    ExpectRgb(GrayToPseColor(GCM_Toral, 127), {0, 254, 2}, "toral 127");
    // Every palette stays inside 0..255 for every grey value; outside grey values
    // are taken as the nearest end, an unknown palette gives black.
    for (int p = 0; p <= 9; ++p)
        for (int g = 0; g <= 255; ++g) {
            const int32_t w = GrayToPseColor(static_cast<TGrayColor_SubMeth>(p), g);
            EXPECT_EQ(w & ~0xFFFFFF, 0) << p << " " << g;
        }
    EXPECT_EQ(GrayToPseColor(GCM_Gray, -7), GrayToPseColor(GCM_Gray, 0));
    EXPECT_EQ(GrayToPseColor(GCM_Pseudo2, 300), GrayToPseColor(GCM_Pseudo2, 255));
    EXPECT_EQ(GrayToPseColor(static_cast<TGrayColor_SubMeth>(10), 128), 0);
}

TEST(ContinuousColouring, CheckValuesOfTheThreeVariants) {
    const int greys[5] = {0, 64, 128, 192, 255};
    const Rgb v1[5] = {{0, 0, 0}, {103, 25, 64}, {153, 103, 76}, {153, 231, 192}, {255, 255, 255}};
    const Rgb v2[5] = {{0, 0, 0}, {37, 56, 18}, {1, 110, 111}, {112, 56, 164}, {147, 147, 147}};
    const Rgb v3[5] = {{0, 0, 0}, {37, 46, 28}, {37, 92, 93}, {113, 27, 193}, {255, 0, 0}};
    for (int k = 0; k < 5; ++k) {
        const std::string g = " g " + std::to_string(greys[k]);
        ExpectRgb(GrayToContinuColor(CCK_1_0, greys[k], 1), v1[k], "variant 1" + g);
        ExpectRgb(GrayToContinuColor(CCK_1_0, greys[k], 2), v2[k], "variant 2" + g);
        ExpectRgb(GrayToContinuColor(CCK_1_0, greys[k], 3), v3[k], "variant 3" + g);
        // Any class other than 1 and 2 is the third variant.
        EXPECT_EQ(GrayToContinuColor(CCK_1_0, greys[k], 0), GrayToContinuColor(CCK_1_0, greys[k], 3));
        EXPECT_EQ(GrayToContinuColor(CCK_1_0, greys[k], -1), GrayToContinuColor(CCK_1_0, greys[k], 3));
    }
}

TEST(ContinuousColouring, ComponentsAreLimitedToTheByteRange) {
    // Variant 3 at 255 computes red near 441.7: limited to 255.
    ExpectRgb(GrayToContinuColor(CCK_1_0, 255, 3), {255, 0, 0}, "variant 3 g 255");
    // High coefficients give small negative components: they become 0.
    const Rgb over = Split(GrayToContinuColor(CCK_1_5, 86, 2));
    EXPECT_EQ(over.r, 0);
    EXPECT_GT(over.g, 0);
    for (int k = 0; k <= 7; ++k)
        for (int cls = 1; cls <= 3; ++cls)
            for (int g = 0; g <= 255; ++g) {
                const int32_t w = GrayToContinuColor(static_cast<TContinuColor_K>(k), g, cls);
                EXPECT_EQ(w & ~0xFFFFFF, 0) << k << " " << cls << " " << g;
            }
    // The coefficient scales the saturation: grey stays grey-ish with 0.1.
    const Rgb faint = Split(GrayToContinuColor(CCK_0_1, 128, 3));
    EXPECT_NEAR(faint.r, 128 / std::sqrt(3.0) * 0.95, 2);
    EXPECT_EQ(ContinuColorCoefficient(CCK_1_5), 1.5);
    EXPECT_EQ(ContinuColorCoefficient(CCK_0_1), 0.1);
}

TEST(ColourTable, MatchesTheColouringFunctions) {
    TColorScheme scheme;
    scheme.Method = CM_ContinuColor;
    scheme.Coefficient = CCK_0_8;
    scheme.ClassNum = 2;
    const TColorTable continuous = BuildColorTable(scheme);
    EXPECT_TRUE(continuous.Produces);
    scheme.Method = CM_GrayColor;
    scheme.Palette = GCM_Rainbow2;
    const TColorTable palette = BuildColorTable(scheme);
    for (int g = 0; g <= 255; ++g) {
        EXPECT_EQ(continuous.Words[g], GrayToContinuColor(CCK_0_8, g, 2));
        EXPECT_EQ(palette.Words[g], GrayToPseColor(GCM_Rainbow2, g));
    }
    scheme.Method = CM_CompColor;
    EXPECT_FALSE(BuildColorTable(scheme).Produces);
}

}  // namespace
