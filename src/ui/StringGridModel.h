#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <vector>

// The cells of a string grid, the fixed title row included. The view shows the
// title row (at most one fixed row) in its header, so the rows the view sees
// start after it.
class StringGridModel : public QAbstractTableModel {
public:
    StringGridModel(int colCount, int rowCount, QObject* parent);

    int ColCount() const { return m_colCount; }
    int RowCount() const { return m_rowCount; }
    int FixedRows() const { return m_fixedRows; }
    void SetRowCount(int rowCount);
    void SetFixedRows(int fixedRows);

    const QString& Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    qsizetype offset(int col, int row) const { return qsizetype(row) * m_colCount + col; }
    void checkCell(int col, int row) const;
    // Changes the counts with every shown row removed, then shown again.
    void replaceRows(int rowCount, int fixedRows);

    int m_colCount;
    int m_rowCount;
    int m_fixedRows = 0;
    std::vector<QString> m_cells; // row after row
};
