#include "ui/widgets/StringGrid.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>

namespace {

// Paints a cell the default way, then lets the grid's owner paint over it.
class TStringGridDelegate : public QStyledItemDelegate {
public:
    explicit TStringGridDelegate(TStringGrid *grid) : QStyledItemDelegate(grid), fGrid(grid) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override {
        if (fGrid->Model()->IsFixed(index.column(), index.row())) {
            // Header cells: button face and the text centred, never elided (two
            // digits in a 20-pixel column leave no room for the item padding).
            painter->fillRect(option.rect, option.palette.button());
            painter->setPen(option.palette.color(QPalette::ButtonText));
            painter->setFont(option.font);
            painter->drawText(option.rect, Qt::AlignCenter | Qt::TextDontClip,
                              index.data(Qt::DisplayRole).toString());
        } else if (fGrid->DefaultDrawing()) {
            fGrid->DrawCellDefault(painter, index.column(), index.row(), option.rect);
        }
        if (fGrid->OnDrawCell) {
            painter->save();
            fGrid->OnDrawCell(painter, index.column(), index.row(), option.rect, option.state);
            painter->restore();
        }
    }

private:
    TStringGrid *fGrid;
};

}  // namespace

TStringGrid::TStringGrid(QWidget *parent) : QTableView(parent), fModel(new TStringGridModel(this)) {
    setModel(fModel);
    setItemDelegate(new TStringGridDelegate(this));
    horizontalHeader()->hide();
    verticalHeader()->hide();
    for (QHeaderView *h : {horizontalHeader(), verticalHeader()}) {
        h->setMinimumSectionSize(1);
        h->setSectionResizeMode(QHeaderView::Fixed);
    }
    setSelectionMode(QAbstractItemView::NoSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setFocusPolicy(Qt::NoFocus);
    setWordWrap(false);
    setCornerButtonEnabled(false);
}

void TStringGrid::SetDefaultDrawing(bool on) {
    if (on == fDefaultDrawing)
        return;
    fDefaultDrawing = on;
    viewport()->update();
}

void TStringGrid::DrawCellDefault(QPainter *Canvas, int ACol, int ARow, const QRect &Rect) const {
    Canvas->save();
    Canvas->fillRect(Rect, palette().base());
    Canvas->setPen(palette().color(QPalette::Text));
    Canvas->setFont(font());
    Canvas->setClipRect(Rect);
    Canvas->drawText(Rect.adjusted(2, 0, -1, 0), Qt::AlignLeft | Qt::AlignVCenter, fModel->Cell(ACol, ARow));
    Canvas->restore();
}

void TStringGrid::SetColCount(int cols) {
    fModel->SetColCount(cols);
}
void TStringGrid::SetRowCount(int rows) {
    fModel->SetRowCount(rows);
}
void TStringGrid::SetColWidth(int col, int width) {
    setColumnWidth(col, width);
}
void TStringGrid::SetRowHeight(int row, int height) {
    setRowHeight(row, height);
}

QRect TStringGrid::CellRect(int col, int row) const {
    return visualRect(fModel->index(row, col));
}

void TStringGrid::SetCellColours(const QImage &colours) {
    fCellColours =
        colours.format() == QImage::Format_RGB32 ? colours : colours.convertToFormat(QImage::Format_RGB32);
    viewport()->update();
}

bool TStringGrid::HasCellColours() const {
    return !fCellColours.isNull() && fCellColours.width() == ColCount() - 1 &&
           fCellColours.height() == RowCount() - 1;
}

void TStringGrid::paintEvent(QPaintEvent *event) {
    if (!HasCellColours()) {
        QTableView::paintEvent(event);
        return;
    }
    // The fixed row and column go through the view's own painting; the coloured
    // cells are filled here.
    const QRect area = viewport()->rect();
    const QRegion fixedCells =
        QRegion(QRect(area.left(), rowViewportPosition(0), area.width(), rowHeight(0))) |
        QRect(columnViewportPosition(0), area.top(), columnWidth(0), area.height());
    const QRegion headerPart = event->region() & fixedCells;
    if (!headerPart.isEmpty()) {
        QPaintEvent headerEvent(headerPart);
        QTableView::paintEvent(&headerEvent);
    }
    const QRegion colourPart = event->region() - fixedCells;
    if (!colourPart.isEmpty())
        PaintColourBlock(colourPart);
}

// The cells as the view lays them out: each cell's rectangle less the grid line on
// its right and bottom, the lines in the view's grid colour between them.
void TStringGrid::PaintColourBlock(const QRegion &region) {
    QPainter painter(viewport());
    painter.setClipRegion(region);
    const int gridSize = showGrid() ? 1 : 0;
    const int lastCol = ColCount() - 1;
    const int lastRow = RowCount() - 1;
    const QRect cells(QPoint(columnViewportPosition(1), rowViewportPosition(1)),
                      QPoint(columnViewportPosition(lastCol) + columnWidth(lastCol) - 1,
                             rowViewportPosition(lastRow) + rowHeight(lastRow) - 1));
    if (gridSize) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        const QRgb gridHint = QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
        painter.fillRect(cells, QColor::fromRgba(gridHint));
    }
    const QRect area = viewport()->rect();
    for (int row = 1; row < RowCount(); ++row) {
        const int y = rowViewportPosition(row);
        const int h = rowHeight(row);
        if (y + h <= area.top() || y >= area.bottom() + 1)
            continue;
        const QRgb *colours = reinterpret_cast<const QRgb *>(fCellColours.constScanLine(row - 1));
        for (int col = 1; col < ColCount(); ++col) {
            const int x = columnViewportPosition(col);
            const int w = columnWidth(col);
            if (x + w <= area.left() || x >= area.right() + 1)
                continue;
            painter.fillRect(QRect(x, y, w - gridSize, h - gridSize), QColor(colours[col - 1]));
        }
    }
}
