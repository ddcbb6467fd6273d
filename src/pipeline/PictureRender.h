#pragma once
// The picture of one frame: the two interpolation passes with the optional filter
// between them, the colouring of the picture grid and the copy into the bitmap,
// done column by column in one sweep over the picture grid.
//
// The result is the one of PolynomialInterpolation (first pass, Dir 0), PixsFilter,
// PolynomialInterpolation (second pass, Dir 1), the picture-grid colouring and the
// bitmap copy run one after the other on a new grid; only the work arrays are kept
// between frames.

#include "pipeline/Bitmap24.h"
#include "pipeline/ColorMap.h"
#include "pipeline/PixelTypes.h"

#include <cstdint>
#include <vector>

struct TPictureSettings {
    int32_t PointsFirst = 4;   // interpolation points of the first pass (2..4)
    int32_t PointsSecond = 2;  // of the second pass
    bool Filter = false;
    int32_t FilterPixsCount = 5;
    int32_t FilterMethod = 0;
    double GaussSigma = 1.5;
    bool TemperatureStep = false;  // step display mode of the picture pixels
    double LowerLimit = 0.0;
    double UpperLimit = 45.0;
    TColorTable Colors;
};

class TPictureRenderer {
public:
    // Enlarges `origin` (C x R) into `grid` (16C x 16R, resized when its size
    // differs) and writes every field of every grid pixel. When the grid is at least
    // as large as `bmp`, pixel (x, y) of the bitmap becomes grid pixel [x][y]'s
    // ColorB, ColorG, ColorR and the result is true; otherwise the bitmap is left
    // alone and the result is false. With the filter on, minStep / maxStep take the
    // filter's range. Throws when the filter cannot run (PixsFilter), before
    // anything is written.
    bool Render(const TPixels &origin, const TPictureSettings &settings, TPixels &grid, TBitmap24 &bmp);

private:
    std::vector<double> fOrigin;   // C x R, column by column
    std::vector<double> fPass1;    // 4C x 4R after the first pass (and the filter)
    std::vector<double> fRows2;    // 16C x 4R after the row pass of the second pass
    std::vector<double> fColumn;   // one enlarged picture column
    std::vector<double> fGrey;     // its grey values
    std::vector<int32_t> fColors;  // its colour words
};
