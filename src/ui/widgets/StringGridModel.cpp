#include "ui/widgets/StringGridModel.h"

#include <algorithm>

TStringGridModel::TStringGridModel(QObject *parent) : QAbstractTableModel(parent) {}

int TStringGridModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : fRows;
}

int TStringGridModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : fCols;
}

QVariant TStringGridModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const int col = index.column();
    const int row = index.row();
    switch (role) {
    case Qt::DisplayRole: return Cell(col, row);
    case Qt::TextAlignmentRole:
        return IsFixed(col, row) ? QVariant(int(Qt::AlignCenter))
                                 : QVariant(int(Qt::AlignLeft | Qt::AlignVCenter));
    default: return {};
    }
}

void TStringGridModel::Resize(int cols, int rows) {
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    if (cols == fCols && rows == fRows)
        return;
    beginResetModel();
    QVector<QString> cells(qsizetype(cols) * rows);
    for (int r = 0; r < std::min(rows, fRows); ++r)
        for (int c = 0; c < std::min(cols, fCols); ++c)
            cells[qsizetype(r) * cols + c] = fCells[qsizetype(r) * fCols + c];
    fCells.swap(cells);
    fCols = cols;
    fRows = rows;
    endResetModel();
}

void TStringGridModel::SetColCount(int cols) {
    Resize(cols, fRows);
}
void TStringGridModel::SetRowCount(int rows) {
    Resize(fCols, rows);
}

QString TStringGridModel::Cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= fCols || row >= fRows)
        return {};
    if (fSource && !IsFixed(col, row))
        return fSource(col, row);
    return fCells[qsizetype(row) * fCols + col];
}

void TStringGridModel::SetCellQuiet(int col, int row, const QString &text) {
    if (col < 0 || row < 0 || col >= fCols || row >= fRows)
        return;
    fCells[qsizetype(row) * fCols + col] = text;
}

void TStringGridModel::SetCell(int col, int row, const QString &text) {
    if (col < 0 || row < 0 || col >= fCols || row >= fRows)
        return;
    SetCellQuiet(col, row, text);
    const QModelIndex i = index(row, col);
    emit dataChanged(i, i, {Qt::DisplayRole});
}

void TStringGridModel::AnnounceAll() {
    if (fCols == 0 || fRows == 0)
        return;
    emit dataChanged(index(0, 0), index(fRows - 1, fCols - 1), {Qt::DisplayRole});
}

void TStringGridModel::AnnounceCells() {
    if (fCols < 2 || fRows < 2)
        return;
    emit dataChanged(index(1, 1), index(fRows - 1, fCols - 1), {Qt::DisplayRole});
}
