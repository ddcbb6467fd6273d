// The data grid: the 32 x 24 sensor field as a mosaic of palette colours, with
// column numbers 1..32 across the top and row numbers 1..24 down the left. Each data
// cell also holds the pixel's temperature as text (covered by the colour).

#include "pipeline/MLX90640.h"
#include "ui/mainwindow/MainFrm.h"
#include "ui/support/Convert.h"
#include "ui/widgets/StringGrid.h"

#include <QImage>
#include <QPainter>

#include <algorithm>

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
    // The texts are formatted when read (a refresh many times a second shows only
    // colours); they are those of this frame, in the locale of the moment they are read.
    StringGrid1->Model()->SetCellTextSource([pixels = fGridPixels](int col, int row) {
        const size_t x = size_t(col - 1);
        const size_t y = size_t(row - 1);
        const bool present = col >= 1 && row >= 1 && x < pixels->size() && y < (*pixels)[x].size();
        return present ? FormatGeneral15((*pixels)[x][y].Temperature) : QString();
    });
    // The colours as one block, painted in one pass.
    QImage colours;
    if (pixels.size() == 32 &&
        std::all_of(pixels.begin(), pixels.end(), [](const auto &c) { return c.size() == 24; })) {
        colours = QImage(32, 24, QImage::Format_RGB32);
        for (int y = 0; y < 24; ++y) {
            QRgb *line = reinterpret_cast<QRgb *>(colours.scanLine(y));
            for (int x = 0; x < 32; ++x) {
                const int32_t c = pixels[size_t(x)][size_t(y)].Color;
                line[x] = qRgb(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
            }
        }
    }
    StringGrid1->SetCellColours(colours);
    StringGrid1->Model()->AnnounceCells();  // one repaint request for the 768 cells
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
