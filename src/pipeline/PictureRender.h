#pragma once
// The picture of one frame: the two interpolation passes with the optional filter
// between them, on flat grids of temperatures, then the colours of the picture
// straight into the bitmap rows, each band of rows coloured as soon as the second
// pass has finished it.
//
// The result is the one of PolynomialInterpolation (first pass, Dir 0), PixsFilter,
// PolynomialInterpolation (second pass, Dir 1), the picture-grid colouring and the
// bitmap copy run one after the other on a new grid, bit for bit; the grid of
// pixel records itself is made only on request (TPictureValues::FillGrid). Only the
// work arrays are kept between frames.

#include "pipeline/Bitmap24.h"
#include "pipeline/ColorMap.h"
#include "pipeline/Interpolation.h"
#include "pipeline/PictureGrid.h"
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
    // Enlarges `origin` (C x R, at least 2 x 2) into `picture` (16C x 16R values,
    // its arrays reused). When the picture is at least as large as `bmp`, pixel
    // (x, y) of the bitmap becomes the picture's colour at (x, y) and the result is
    // true; otherwise the bitmap is left alone and the result is false. With the
    // filter on, minStep / maxStep take the filter's range. Throws when the grid is
    // too small or the filter cannot run (PixsFilter), before `picture` and `bmp`
    // are written.
    bool Render(const TPixels &origin, const TPictureSettings &settings, TPictureValues &picture,
                TBitmap24 &bmp);
    // The same with the picture's grid of records written into `grid` (resized when
    // its size differs).
    bool Render(const TPixels &origin, const TPictureSettings &settings, TPixels &grid, TBitmap24 &bmp);

private:
    std::vector<double> fOrigin;    // C x R, row by row
    std::vector<double> fWork;      // row passes
    std::vector<double> fMid;       // 4C x 4R after the first pass
    std::vector<double> fFiltered;  // the same after the filter
    TGridFilter fFilter;
    TPictureValues fValues;  // for the grid form of Render
};
