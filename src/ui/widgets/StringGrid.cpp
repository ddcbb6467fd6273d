#include "ui/widgets/StringGrid.h"

#include <QHeaderView>
#include <QPaintEngine>
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
// its right and bottom, the lines in the view's grid colour between them. Each row of
// cells is one line of pixels, made once per change of the colours or the layout; the
// block's lines are copies of those.
void TStringGrid::PaintColourBlock(const QRegion &region, const QRect &cells) {
    const int gridSize = showGrid() ? 1 : 0;
    QRgb gridColour = 0;
    if (gridSize) {
        QStyleOptionViewItem option;
        initViewItemOption(&option);
        gridColour = QRgb(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this));
    }
    if (fBlockSize != cells.size() || fBlockColoursKey != fCellColours.cacheKey() ||
        fBlockOrigin != cells.topLeft() || fBlockGridColour != gridColour) {
        MakeBlockLines(cells, gridSize, QColor::fromRgba(gridColour).rgb());
        fBlockColoursKey = fCellColours.cacheKey();
        fBlockOrigin = cells.topLeft();
        fBlockGridColour = gridColour;
        fBlock = QImage();
    }
    QPainter painter(viewport());
    if (WriteBlockInto(painter, region & cells, cells.topLeft()))
        return;
    if (fBlock.isNull()) {
        fBlock = QImage(cells.size(), QImage::Format_RGB32);
        for (int line = 0; line < fBlock.height(); ++line)
            std::memcpy(fBlock.scanLine(line), BlockLine(line), size_t(fBlock.width()) * sizeof(QRgb));
    }
    painter.setClipRegion(region);
    painter.drawImage(cells.topLeft(), fBlock);
}

// Which row of cells each line of the block shows (-1: a grid line), and one line of
// pixels per row of cells: its cells' colours with the grid lines between them.
void TStringGrid::MakeBlockLines(const QRect &cells, int gridSize, QRgb grid) {
    const int width = cells.width(), height = cells.height();
    const int rows = RowCount() - 1;
    fBlockSize = cells.size();
    fBlockRowOfLine.assign(size_t(height), -1);
    fBlockLines.assign(size_t(rows + 1) * size_t(width), grid);  // the last line: all grid
    for (int row = 1; row <= rows; ++row) {
        const int y = rowViewportPosition(row) - cells.top();
        const int top = std::max(y, 0), bottom = std::min(y + rowHeight(row) - gridSize, height);
        for (int line = top; line < bottom; ++line)
            fBlockRowOfLine[size_t(line)] = row - 1;
        QRgb *pixels = fBlockLines.data() + size_t(row - 1) * size_t(width);
        const QRgb *colours = reinterpret_cast<const QRgb *>(fCellColours.constScanLine(row - 1));
        for (int col = 1; col < ColCount(); ++col) {
            const int x = columnViewportPosition(col) - cells.left();
            const int left = std::max(x, 0), right = std::min(x + columnWidth(col) - gridSize, width);
            if (left < right)
                std::fill(pixels + left, pixels + right, colours[col - 1] | 0xFF000000u);
        }
    }
}

const QRgb *TStringGrid::BlockLine(int line) const {
    const int row = fBlockRowOfLine[size_t(line)];
    const int rows = RowCount() - 1;
    return fBlockLines.data() + size_t(row < 0 ? rows : row) * size_t(fBlockSize.width());
}

// On a raster surface that keeps its pixels as 32-bit words in memory (the window's
// backing store) and a painter that only shifts by whole pixels, the block's lines are
// written straight into the surface: one pass over the pixels instead of building the
// block and copying it. Returns false, having written nothing, on any other surface.
bool TStringGrid::WriteBlockInto(QPainter &painter, const QRegion &region, QPoint origin) const {
    QPaintEngine *engine = painter.paintEngine();
    if (!engine || engine->type() != QPaintEngine::Raster || !engine->paintDevice() ||
        engine->paintDevice()->devType() != QInternal::Image)
        return false;
    auto *surface = static_cast<QImage *>(engine->paintDevice());
    const QTransform shift = painter.deviceTransform();
    // A surface shared with another image would be copied by the write (and the
    // painter would go on drawing into the old pixels).
    if (!surface->isDetached() ||
        (surface->format() != QImage::Format_RGB32 &&
         surface->format() != QImage::Format_ARGB32_Premultiplied) ||
        surface->devicePixelRatio() != 1.0 || shift.type() > QTransform::TxTranslate ||
        shift.dx() != int(shift.dx()) || shift.dy() != int(shift.dy()))
        return false;
    const QPoint offset(int(shift.dx()), int(shift.dy()));
    const QRect inSurface = surface->rect().translated(-offset);
    uchar *bits = surface->bits();
    const qsizetype stride = surface->bytesPerLine();
    for (const QRect &part : region) {
        const QRect r = part & inSurface & QRect(origin, fBlockSize);
        if (r.isEmpty())
            continue;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            auto *to = reinterpret_cast<QRgb *>(bits + (y + offset.y()) * stride) + r.left() + offset.x();
            std::memcpy(to, BlockLine(y - origin.y()) + (r.left() - origin.x()),
                        size_t(r.width()) * sizeof(QRgb));
        }
    }
    return true;
}
