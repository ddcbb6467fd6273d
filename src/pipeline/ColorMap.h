#pragma once
// Temperatures to grey values and grey values to colour words (0x00BBGGRR, red in
// the low byte): the ten palettes and the continuous colouring.

#include "pipeline/PixelTypes.h"

#include <cstdint>

// Position of t inside [lower, upper] as a grey value: 0.0 at or below lower,
// otherwise 255.0 at or above upper, otherwise (t - lower) / (upper - lower) * 255.
double GrayValueOf(double t, double lower, double upper);

// Palette colour of grey value g (0..255; values outside are taken as the nearest
// end). A palette outside the enumeration gives 0 (black).
int32_t GrayToPseColor(TGrayColor_SubMeth converMethod, int32_t grayValue);

// Saturation coefficient of a TContinuColor_K: 1.5, 1.2, 1.0, 0.8, 0.5, 0.3, 0.2, 0.1
// (a value outside the enumeration counts as 1.0).
double ContinuColorCoefficient(TContinuColor_K k);

// Continuous colour of grey value g (0..255, outside taken as the nearest end);
// classNum 1 and 2 select the first two variants, any other value the third.
int32_t GrayToContinuColor(TContinuColor_K converCoeK, int32_t grayValue, int32_t classNum);

// The colouring settings of one frame.
struct TColorScheme {
    TTempToColorConverMeth Method = CM_GrayColor;
    TGrayColor_SubMeth Palette = GCM_Gray;
    TContinuColor_K Coefficient = CCK_1_0;
    int32_t ClassNum = 1;
};

// The colour word of every grey value under one scheme, so a frame colours its
// pixels by lookup. Produces is false for the methods that leave colours alone.
struct TColorTable {
    bool Produces = false;
    int32_t Words[256] = {};
};
TColorTable BuildColorTable(const TColorScheme &scheme);

// The grey value and colour of one pixel, as both grids colour their pixels:
// GrayValue0 := the grey value; when the table produces colours, Color := the
// colour of the grey value rounded half to even; then ColorR/G/B from Color.
// A grey value that is not a number leaves Color and its components as they were.
void ColorPixel(TPixel &px, double lower, double upper, const TColorTable &table);
