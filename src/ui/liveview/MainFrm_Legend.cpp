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

void TForm_Main::DrawColorLegend() {
    TMLX90640 *mlx = &fImage;
    const int width = img_ColorLegend->width();
    const int height = img_ColorLegend->height();
    const TTempToColorConverMeth method = mlx->GetTempToColorConverMeth();
    const TGrayColor_SubMeth palette = mlx->GetGrayColor_SubMeth();
    const TContinuColor_K coefficient = mlx->GetContinuColor_K();
    const int32_t classNum = GrayToContinuColor_ClassNum.load();

    QImage bitmap(std::max(width, 0), std::max(height, 0), QImage::Format_BGR888);
    int32_t color = 0;  // a converter that produces no colours keeps black
    for (int r = 0; r < height; ++r) {
        // Row 0 is grey 255 (hottest), the last row grey 0. A legend one row high
        // has no span to divide: its only row is the hottest.
        const double fraction = height > 1 ? double(r) / double(height - 1) : 0.0;
        const int32_t grey = 255 - static_cast<int32_t>(RoundHalfEven(fraction * 255.0));
        if (method == CM_GrayColor)
            color = GrayToPseColor(palette, grey);
        else if (method == CM_ContinuColor)
            color = GrayToContinuColor(coefficient, grey, classNum);
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

    const double lower = mlx->GetTemperature_LowerLimit();
    const double upper = mlx->GetTemperature_UpperLimit();
    const double step = (upper - lower) / 10.0;
    for (int k = 0; k <= 10; ++k)
        lbl_ColorLegend[size_t(10 - k)]->setText(FormatFixed(lower + k * step, 1));
}
