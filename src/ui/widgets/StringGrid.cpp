#include "ui/widgets/StringGrid.h"

#include <QHeaderView>
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
