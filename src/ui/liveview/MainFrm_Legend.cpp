// The colour legend beside the picture: the current palette from the upper limit at
// the top to the lower limit at the bottom, and eleven temperature labels.

#include "pipeline/ColorMap.h"
#include "pipeline/MLX90640.h"
#include "pipeline/PipelineBuffers.h"
#include "pipeline/SysFun.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/Convert.h"
#include "ui/widgets/PictureBox.h"

#include <QImage>
#include <QLabel>

#include <algorithm>
#include <iterator>

void TForm_Main::DrawColorLegend() {
    // The frame on screen decides the scale: the colours and limits it was coloured
    // with, so the legend always belongs to the picture beside it. Before the first
    // frame, the object's own settings.
    TColorTable table;
    double lower = 0.0;
    double upper = 0.0;
    if (fShownFrame) {
        table = fShownFrame->Picture.Colors;
        lower = fShownFrame->Temperature_LowerLimit;
        upper = fShownFrame->Temperature_UpperLimit;
    } else {
        TColorScheme scheme;
        scheme.Method = fImage.GetTempToColorConverMeth();
        scheme.Palette = fImage.GetGrayColor_SubMeth();
        scheme.Coefficient = fImage.GetContinuColor_K();
        scheme.ClassNum = GrayToContinuColor_ClassNum.load();
        table = BuildColorTable(scheme);
        lower = fImage.GetTemperature_LowerLimit();
        upper = fImage.GetTemperature_UpperLimit();
    }
    // The labels (a label given its own text again does nothing).
    const double step = (upper - lower) / 10.0;
    for (int k = 0; k <= 10; ++k)
        lbl_ColorLegend[size_t(10 - k)]->setText(FormatFixed(lower + k * step, 1));

    // The bar only when its colours changed (most refreshes keep them).
    if (fLegendDrawn && table.Produces == fLegendColors.Produces &&
        std::equal(std::begin(table.Words), std::end(table.Words), std::begin(fLegendColors.Words)))
        return;
    fLegendDrawn = true;
    fLegendColors = table;

    const int width = img_ColorLegend->width();
    const int height = img_ColorLegend->height();
    QImage bitmap(std::max(width, 0), std::max(height, 0), QImage::Format_BGR888);
    int32_t color = 0;  // a converter that produces no colours keeps black
    for (int r = 0; r < height; ++r) {
        // Row 0 is grey 255 (hottest), the last row grey 0. A legend one row high
        // has no span to divide: its only row is the hottest.
        const double fraction = height > 1 ? double(r) / double(height - 1) : 0.0;
        const int32_t grey = 255 - static_cast<int32_t>(RoundHalfEven(fraction * 255.0));
        if (table.Produces)
            color = table.Words[std::clamp(grey, 0, 255)];
        uchar *line = bitmap.scanLine(r);
        const uchar blue = uchar((color >> 16) & 0xFF);
        const uchar green = uchar((color >> 8) & 0xFF);
        const uchar red = uchar(color & 0xFF);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = blue;
            line[3 * x + 1] = green;
            line[3 * x + 2] = red;
        }
    }
    img_ColorLegend->SetPicture(bitmap);
}
