#pragma once
// Cell texts of a text grid whose first row and column are fixed headers.
//
// Texts can be set quietly and announced together, so a refresh of many cells costs
// one dataChanged signal instead of one per cell.

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

#include <functional>

class TStringGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit TStringGridModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;

    void SetColCount(int cols);
    void SetRowCount(int rows);
    int ColCount() const { return fCols; }
    int RowCount() const { return fRows; }

    // Text of cell (col, row); empty outside the grid.
    QString Cell(int col, int row) const;
    // Sets a text and announces it at once.
    void SetCell(int col, int row, const QString &text);
    // Sets a text without announcing it; follow with AnnounceAll().
    void SetCellQuiet(int col, int row, const QString &text);
    // One dataChanged for the whole grid.
    void AnnounceAll();
    // One dataChanged for the non-fixed cells.
    void AnnounceCells();

    bool IsFixed(int col, int row) const { return col == 0 || row == 0; }

    // The texts of the non-fixed cells come from this function, asked when a text is
    // read, so a grid refreshed many times a second formats only the texts someone
    // reads. An empty function returns to the stored texts.
    using TCellTextSource = std::function<QString(int col, int row)>;
    void SetCellTextSource(TCellTextSource source) { fSource = std::move(source); }

private:
    void Resize(int cols, int rows);

    int fCols = 0;
    int fRows = 0;
    QVector<QString> fCells;  // row-major
    TCellTextSource fSource;
};
