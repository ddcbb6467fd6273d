#include "ui/widgets/StringGrid.h"

#include <QHeaderView>
#include <QPaintEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>
#include <cstring>

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
    const bool had = HasCellColours();
    fCellColours =
        colours.format() == QImage::Format_RGB32 ? colours : colours.convertToFormat(QImage::Format_RGB32);
    const bool has = HasCellColours();
    // The block paints its cells and the room around them itself, so the viewport
    // need not clear them first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent, has);
    if (has && had)
        viewport()->update(ColouredCellsRect());
    else
        viewport()->update();
}

bool TStringGrid::HasCellColours() const {
    return !fCellColours.isNull() && fCellColours.width() == ColCount() - 1 &&
           fCellColours.height() == RowCount() - 1;
}

void TStringGrid::dataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight,
                              const QList<int> &roles) {
    if (!HasCellColours() || !topLeft.isValid() || !bottomRight.isValid() || topLeft.row() == 0 ||
        topLeft.column() == 0) {
        QTableView::dataChanged(topLeft, bottomRight, roles);
        return;
    }
    viewport()->update(visualRect(topLeft) | visualRect(bottomRight));
}

// The non-fixed cells with their grid lines, in the viewport's coordinates.
QRect TStringGrid::ColouredCellsRect() const {
    const int lastCol = ColCount() - 1;
    const int lastRow = RowCount() - 1;
    return QRect(QPoint(columnViewportPosition(1), rowViewportPosition(1)),
                 QPoint(columnViewportPosition(lastCol) + columnWidth(lastCol) - 1,
                        rowViewportPosition(lastRow) + rowHeight(lastRow) - 1));
}

void TStringGrid::paintEvent(QPaintEvent *event) {
    if (!HasCellColours()) {
        QTableView::paintEvent(event);
        return;
    }
    const QRect cells = ColouredCellsRect();
    const QRegion rest = event->region() - cells;
    if (!rest.isEmpty()) {
        // The viewport's own background (it does not clear itself in this mode),
        // then the fixed row and column through the view's own painting.
        {
            QPainter painter(viewport());
            painter.setClipRegion(rest);
            painter.fillRect(rest.boundingRect(), viewport()->palette().brush(viewport()->backgroundRole()));
        }
        QPaintEvent headerEvent(rest);
        QTableView::paintEvent(&headerEvent);
    }
    const QRegion colourPart = event->region() & cells;
    if (!colourPart.isEmpty())
        PaintColourBlock(colourPart, cells);
}

// The cells as the view lays them out: each cell's rectangle less the grid line on
// its right and bottom, the lines in the view's grid colour between them. Drawn into
// an image once per change and copied to the screen in one piece.
void TStringGrid::PaintColourBlock(const QRegion &region, const QRect &cells) {
    const int gridSize = showGrid() ? 1 : 0;
    QRgb gridColour = 0;
    if (gridSize) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        gridColour = QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
    }
    if (fBlock.size() != cells.size() || fBlockColoursKey != fCellColours.cacheKey() ||
        fBlockOrigin != cells.topLeft() || fBlockGridColour != gridColour) {
        if (fBlock.size() != cells.size())
            fBlock = QImage(cells.size(), QImage::Format_RGB32);
        // One line of pixels per row of cells, copied to each of the row's lines;
        // every other line is a grid line.
        const int width = fBlock.width(), height = fBlock.height();
        const QRgb grid = QColor::fromRgba(gridColour).rgb();
        uchar *bits = fBlock.bits();
        const qsizetype stride = fBlock.bytesPerLine();
        fBlockLine.resize(size_t(width));
        const auto gridLines = [&](int from, int to) {
            for (int line = from; line < to; ++line) {
                auto *pixels = reinterpret_cast<QRgb *>(bits + line * stride);
                std::fill(pixels, pixels + width, grid);
            }
        };
        int written = 0;  // rows lie top to bottom: lines above `written` are done
        for (int row = 1; row < RowCount(); ++row) {
            const int y = rowViewportPosition(row) - cells.top();
            const int h = rowHeight(row) - gridSize;
            const int top = std::max(y, written), bottom = std::min(y + h, height);
            if (top >= bottom)
                continue;
            gridLines(written, top);
            std::fill(fBlockLine.begin(), fBlockLine.end(), grid);
            const QRgb *colours = reinterpret_cast<const QRgb *>(fCellColours.constScanLine(row - 1));
            for (int col = 1; col < ColCount(); ++col) {
                const int x = columnViewportPosition(col) - cells.left();
                const int w = columnWidth(col) - gridSize;
                const int left = std::max(x, 0), right = std::min(x + w, width);
                if (left < right)
                    std::fill(fBlockLine.begin() + left, fBlockLine.begin() + right,
                              colours[col - 1] | 0xFF000000u);
            }
            for (int line = top; line < bottom; ++line)
                std::memcpy(bits + line * stride, fBlockLine.data(), size_t(width) * sizeof(QRgb));
            written = bottom;
        }
        gridLines(written, height);
        fBlockColoursKey = fCellColours.cacheKey();
        fBlockOrigin = cells.topLeft();
        fBlockGridColour = gridColour;
    }
    QPainter painter(viewport());
    painter.setClipRegion(region);
    painter.drawImage(cells.topLeft(), fBlock);
}
