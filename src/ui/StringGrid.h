#pragma once

#include <QTableView>

class StringGridModel;

// A grid of texts at a fixed place: an optional fixed title row (shown as the
// column header), ordinary rows of one height, columns the user may widen by
// dragging, grid lines both ways, whole-row selection and no editing. Rows and
// columns are counted from the title row, as the cells are addressed.
class StringGrid : public QTableView {
    Q_OBJECT
public:
    StringGrid(
        QWidget* parent, const QString& name, const QRect& geometry, int colCount, int rowCount, int defaultRowHeight);

    int ColCount() const;
    int RowCount() const;
    // Rows past the new count are dropped; the rows kept keep their texts. A grid
    // left with one row shows it as an ordinary row.
    void SetRowCount(int rowCount);
    int FixedRows() const;
    void SetFixedRows(int fixedRows);

    const QString& Cell(int col, int row) const;
    void SetCell(int col, int row, const QString& text);

    int ColWidth(int col) const;
    void SetColWidth(int col, int width);
    int RowHeight(int row) const;

private:
    void showFixedRows();

    StringGridModel* m_model;
    int m_defaultRowHeight;
};
