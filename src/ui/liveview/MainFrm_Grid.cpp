// The data grid: the 32 x 24 sensor field as a mosaic of palette colours, with
// column numbers 1..32 across the top and row numbers 1..24 down the left. Each data
// cell also holds the pixel's temperature as text (covered by the colour).

#include "pipeline/MLX90640.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/Convert.h"
#include "ui/widgets/StringGrid.h"

#include <QPainter>

void TForm_Main::InitGrid() {
    StringGrid1->SetRowCount(25);
    StringGrid1->SetColCount(33);
    StringGrid1->SetRowHeight(0, 50);
    StringGrid1->SetColWidth(0, 50);
    StringGrid1->resize(740, 580);
    for (int i = 1; i <= 32; ++i) {
        StringGrid1->SetCell(i, 0, QString::number(i));
        StringGrid1->SetColWidth(i, 20);
    }
    for (int i = 1; i <= 24; ++i) {
        StringGrid1->SetCell(0, i, QString::number(i));
        StringGrid1->SetRowHeight(i, 20);
    }
}

void TForm_Main::DatasUpdateToGrid() {
    TMLX90640 *mlx = &fImage;
    // The frame whose picture is on show, so grid and picture always agree; the
    // object's latest frame when none has been shown yet.
    const std::shared_ptr<const TMLX90640Published> frame = fShownFrame ? fShownFrame : mlx->GetPublished();
    if (!frame)
        return;  // no frame yet: the data cells stay empty
    // The grid paints from the same frame whose texts it holds.
    fGridPixels = std::shared_ptr<const TPixels>(frame, &frame->Pixs_Origin);
    const TPixels &pixels = *fGridPixels;
    TStringGridModel *model = StringGrid1->Model();
    for (int y = 0; y < 24; ++y)
        for (int x = 0; x < 32; ++x) {
            const bool present = size_t(x) < pixels.size() && size_t(y) < pixels[size_t(x)].size();
            model->SetCellQuiet(x + 1, y + 1,
                                present ? FormatGeneral15(pixels[size_t(x)][size_t(y)].Temperature)
                                        : QString());
        }
    model->AnnounceAll();  // one repaint request for all 768 cells
}

void TForm_Main::StringGrid1DrawCell(QPainter *Canvas, int ACol, int ARow, const QRect &Rect, QStyle::State) {
    if (ACol <= 0 || ARow <= 0)
        return;  // headers keep the grid's own painting
    if (!fGridPixels) {
        // Before the first frame: the object's initial pixels, colour 0.
        fGridPixels = std::make_shared<const TPixels>(fImage.GetPixs_Origin());
    }
    const size_t col = size_t(ACol - 1);
    const size_t row = size_t(ARow - 1);
    const bool haveColour = fGridPixels && fGridPixels->size() > 20 && col < fGridPixels->size() &&
                            row < (*fGridPixels)[col].size();
    if (!haveColour) {
        // The grid leaves the texts to this handler (DefaultDrawing off): a cell
        // without a colour shows its text as the grid would.
        if (!StringGrid1->DefaultDrawing())
            StringGrid1->DrawCellDefault(Canvas, ACol, ARow, Rect);
        return;
    }
    const int32_t c = (*fGridPixels)[col][row].Color;
    // Fills the whole cell, covering the text the grid has drawn.
    Canvas->fillRect(Rect, QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF));
}
