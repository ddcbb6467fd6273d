#pragma once
// A text grid with a fixed first row and column and owner-painted cells.
//
// Each cell is first painted by default (its text on the grid's background, headers
// on the button face), then handed to OnDrawCell with the cell's rectangle, so the
// owner can paint over it. An owner that covers its cells anyway can turn the
// default drawing of the non-fixed cells off (DefaultDrawing false) and call
// DrawCellDefault for the cells it does not cover: drawing 768 texts that are then
// painted over costs several times more than the rest of a repaint.

#include "ui/widgets/StringGridModel.h"

#include <QImage>
#include <QStyle>
#include <QTableView>

#include <functional>

class QPainter;

class TStringGrid : public QTableView {
    Q_OBJECT
public:
    using TDrawCellEvent =
        std::function<void(QPainter *Canvas, int ACol, int ARow, const QRect &Rect, QStyle::State State)>;

    explicit TStringGrid(QWidget *parent = nullptr);

    TStringGridModel *Model() const { return fModel; }

    void SetColCount(int cols);
    void SetRowCount(int rows);
    int ColCount() const { return fModel->ColCount(); }
    int RowCount() const { return fModel->RowCount(); }
    void SetColWidth(int col, int width);
    void SetRowHeight(int row, int height);
    int ColWidth(int col) const { return columnWidth(col); }
    int RowHeight(int row) const { return rowHeight(row); }

    QString Cell(int col, int row) const { return fModel->Cell(col, row); }
    void SetCell(int col, int row, const QString &text) { fModel->SetCell(col, row, text); }

    // Rectangle of a cell in the viewport's coordinates.
    QRect CellRect(int col, int row) const;

    // Whether the grid paints the text of the non-fixed cells before OnDrawCell
    // (true after construction); the fixed cells are always painted.
    bool DefaultDrawing() const { return fDefaultDrawing; }
    void SetDefaultDrawing(bool on);
    // The default painting of a non-fixed cell: its text on the grid's background.
    void DrawCellDefault(QPainter *Canvas, int ACol, int ARow, const QRect &Rect) const;

    // The colours of the non-fixed cells as one image of (ColCount - 1) x
    // (RowCount - 1) pixels, pixel (c - 1, r - 1) for cell (c, r): the grid fills those
    // cells from it in one pass, without the per-cell item painting and without
    // OnDrawCell. An image of another size (or a null one) returns to painting each
    // cell.
    void SetCellColours(const QImage &colours);
    bool HasCellColours() const;

    TDrawCellEvent OnDrawCell;

protected:
    void paintEvent(QPaintEvent *event) override;
    // With a colour block, a change of the non-fixed cells repaints only them (the
    // view would repaint all of itself, headers included, at every refresh).
    void dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                     const QList<int> &roles = QList<int>()) override;

private:
    QRect ColouredCellsRect() const;
    void PaintColourBlock(const QRegion &region, const QRect &cells);
    void MakeBlockLines(const QRect &cells, int gridSize, QRgb grid);
    const QRgb *BlockLine(int line) const;
    bool WriteBlockInto(QPainter &painter, const QRegion &region, QPoint origin) const;

    QImage fCellColours;
    // The coloured cells with their grid lines as drawn last, made again when the
    // colours, the cells' layout or the line colour change: one line of pixels per
    // row of cells (and one of grid colour after them), the row each line of the
    // block shows, and the whole block for surfaces it cannot be written into.
    std::vector<QRgb> fBlockLines;
    std::vector<int> fBlockRowOfLine;
    QSize fBlockSize;
    QImage fBlock;
    qint64 fBlockColoursKey = 0;
    QPoint fBlockOrigin;
    QRgb fBlockGridColour = 0;
    TStringGridModel *fModel;
    bool fDefaultDrawing = true;
};
