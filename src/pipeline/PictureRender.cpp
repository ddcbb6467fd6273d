#include "PictureRender.h"

#include "Interpolation.h"
#include "PipelineBuffers.h"
#include "SysFun.h"

#include <cmath>
#include <stdexcept>

namespace {

// Picture pixel in the normal colouring mode.
inline void ColourPicturePixel(TPixel &px, double t, double lower, double upper,
                               const TColorTable &colors) {
    px.Temperature = t;
    px.TemperatureStep = 0.0;
    const double g = GrayValueOf(t, lower, upper);
    px.GrayValue0 = g;
    int32_t color = 0;
    if (colors.Produces && !std::isnan(g)) {
        const int gi = static_cast<int>(RoundHalfEven(g));
        color = colors.Words[gi < 0 ? 0 : (gi > 255 ? 255 : gi)];
    }
    px.Color = color;
    px.ColorR = color & 255;
    px.ColorG = (color >> 8) & 255;
    px.ColorB = (color >> 16) & 255;
}

}  // namespace

bool TPictureRenderer::Render(const TPixels &origin, const TPictureSettings &settings,
                              TPixels &grid, TBitmap24 &bmp) {
    const int columns = static_cast<int>(origin.size());
    const int rows = columns > 0 ? static_cast<int>(origin[0].size()) : 0;
    if (columns < 2 || rows < 2)
        throw std::invalid_argument("Picture: the sensor grid needs at least 2 x 2 pixels");
    for (const auto &column : origin)
        if (static_cast<int>(column.size()) != rows)
            throw std::invalid_argument("Picture: sensor grid columns of different length");

    // First pass (Dir 0) into the intermediate grid, then the optional filter.
    fOrigin.resize(static_cast<size_t>(columns) * rows);
    for (int c = 0; c < columns; ++c)
        for (int r = 0; r < rows; ++r)
            fOrigin[static_cast<size_t>(c) * rows + r] = origin[c][r].Temperature;
    const int midColumns = 4 * columns;
    const int midRows = 4 * rows;
    fPass1.resize(static_cast<size_t>(midColumns) * midRows);
    EnlargeGridFlat(fOrigin.data(), columns, rows, 0, settings.PointsFirst, fPass1.data());
    if (settings.Filter) {
        const TStepRange range = FilterFlat(fPass1, midColumns, midRows, settings.FilterPixsCount,
                                            settings.FilterMethod, settings.GaussSigma, nullptr);
        minStep = range.MinStep;
        maxStep = range.MaxStep;
    }

    // Second pass (Dir 1): rows of the intermediate grid, then each picture column,
    // coloured and copied into the bitmap as soon as it is known.
    const int picColumns = 4 * midColumns;
    const int picRows = 4 * midRows;
    fRows2.resize(static_cast<size_t>(picColumns) * midRows);
    EnlargeRowsFlat(fPass1.data(), midColumns, midRows, 1, settings.PointsSecond, fRows2.data());
    fColumn.resize(static_cast<size_t>(picRows));

    if (static_cast<int>(grid.size()) != picColumns) grid.resize(static_cast<size_t>(picColumns));
    for (auto &column : grid)
        if (static_cast<int>(column.size()) != picRows) column.resize(static_cast<size_t>(picRows));

    const bool toBitmap = picColumns >= bmp.Width() && picRows >= bmp.Height();
    const int bmpColumns = toBitmap ? bmp.Width() : 0;
    const int bmpRows = toBitmap ? bmp.Height() : 0;
    uint8_t *bits = bmp.Bits();
    const size_t stride = static_cast<size_t>(bmp.BytesPerLine());

    const double lower = settings.LowerLimit;
    const double upper = settings.UpperLimit;
    // Step display mode: every new pixel's step is 0, so all get the same value.
    double stepValue = 0.0;
    if (settings.TemperatureStep) {
        const double q = (0.0 - minStep) / (maxStep - minStep);
        stepValue = std::isfinite(q) ? q : 0.0;
    }

    for (int c = 0; c < picColumns; ++c) {
        EnlargeLine(fRows2.data() + static_cast<size_t>(c) * midRows, midRows, 1,
                    settings.PointsSecond, fColumn.data());
        TPixel *px = grid[c].data();
        const double *t = fColumn.data();
        for (int j = 0; j < picRows; ++j) {
            TPixel &p = px[j];
            p.X = c;
            p.Y = j;
            p.Useable = true;
            if (!settings.TemperatureStep) {
                ColourPicturePixel(p, t[j], lower, upper, settings.Colors);
            } else {
                p.Temperature = t[j];
                p.GrayValue0 = 0.0;
                p.Color = p.ColorR = p.ColorG = p.ColorB = 0;
                p.TemperatureStep = stepValue;
            }
        }
        if (c < bmpColumns) {
            uint8_t *dst = bits + 3 * static_cast<size_t>(c);
            for (int j = 0; j < bmpRows; ++j, dst += stride) {
                dst[0] = static_cast<uint8_t>(px[j].ColorB);
                dst[1] = static_cast<uint8_t>(px[j].ColorG);
                dst[2] = static_cast<uint8_t>(px[j].ColorR);
            }
        }
    }
    return toBitmap;
}
