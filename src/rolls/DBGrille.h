#pragma once

#include <QStyledItemDelegate>
#include <QTableView>
#include <QVector>

#include <functional>

class QueryGridModel;

// The roll grid: a read-only data grid over a query, with a title row, a row
// indicator, lines, whole-row and multi-row selection. A click selects one row,
// Ctrl+click toggles one, Shift with the up or down arrow extends the selection,
// an arrow without Shift clears it whatever else is held, and so does any other
// movement key but with Ctrl alone; nothing selects every row at once. Each
// cell is drawn the grid's way, then handed to the window's cell-drawing hook.
class DBGrille : public QTableView {
    Q_OBJECT
public:
    using DrawColumnCell = std::function<void(QPainter*, const QStyleOptionViewItem&, const QModelIndex&)>;

    DBGrille(QWidget* parent, QueryGridModel* model);

    // The selected rows (the query's bookmarks), in the grid's order.
    QVector<int> SelectedRows() const;
    bool RowSelected(int row) const;

    void SetDrawColumnCell(DrawColumnCell hook);
    // Draws a cell the grid's own way, with the colours of the option's palette.
    void DefaultDrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const;

    // Makes the row current, keeping the selection: the grid follows its query.
    void FollowRow(int row);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(
        const QModelIndex& index, const QEvent* event = nullptr) const override;

private:
    class CellDelegate;
    CellDelegate* m_delegate;
};
