#include "rolls/DBGrille.h"

#include "data/QueryGridModel.h"
#include "rolls/RowIndicator.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <utility>

class DBGrille::CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::paint(painter, option, index);
        if (m_hook)
            m_hook(painter, option, index);
    }

    void paintDefault(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
    {
        QStyledItemDelegate::paint(painter, option, index);
    }

    DrawColumnCell m_hook;
};

namespace {

// Shift with one of these extends the selection; any other movement clears it.
bool stepsOneRow(int key)
{
    return key == Qt::Key_Up || key == Qt::Key_Down;
}

bool isArrow(int key)
{
    return stepsOneRow(key) || key == Qt::Key_Left || key == Qt::Key_Right;
}

bool movesTheCursor(int key)
{
    switch (key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return isArrow(key);
    }
}

} // namespace

DBGrille::DBGrille(QWidget* parent, QueryGridModel* model)
    : QTableView(parent)
    , m_delegate(new CellDelegate(this))
{
    setObjectName(QStringLiteral("DBGrille"));
    setVerticalHeader(new RowIndicator(this));
    setModel(model);
    setItemDelegate(m_delegate);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setShowGrid(true);
    // One press of the export button sends every selected roll: no gesture
    // selects them all at once (no corner button, no Ctrl+A).
    setCornerButtonEnabled(false);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(18);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setDefaultAlignment(Qt::AlignCenter);
    titles->setStretchLastSection(false);
    QFont bold = titles->font();
    bold.setBold(true);
    titles->setFont(bold);
    const QVector<GridColumn>& columns = model->columns();
    for (int i = 0; i < columns.size(); ++i)
        setColumnWidth(i, columns.at(i).width);
}

QVector<int> DBGrille::SelectedRows() const
{
    QVector<int> rows;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        rows.append(index.row());
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool DBGrille::RowSelected(int row) const
{
    return selectionModel()->isRowSelected(row, QModelIndex());
}

void DBGrille::SetDrawColumnCell(DrawColumnCell hook)
{
    m_delegate->m_hook = std::move(hook);
}

void DBGrille::DefaultDrawColumnCell(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    m_delegate->paintDefault(painter, option, index);
}

void DBGrille::FollowRow(int row)
{
    const QModelIndex current = currentIndex();
    const QModelIndex target = model()->index(row, current.isValid() ? current.column() : 0);
    if (target.isValid())
        selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
}

QItemSelectionModel::SelectionFlags DBGrille::selectionCommand(const QModelIndex& index, const QEvent* event) const
{
    if (!event || !index.isValid())
        return QItemSelectionModel::NoUpdate;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<const QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return QItemSelectionModel::NoUpdate;
        if (mouse->modifiers() & Qt::ControlModifier)
            return QItemSelectionModel::Toggle | QItemSelectionModel::Rows;
        return QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows;
    }
    case QEvent::KeyPress: {
        const auto* key = static_cast<const QKeyEvent*>(event);
        if (!movesTheCursor(key->key()))
            return QItemSelectionModel::NoUpdate;
        const bool shift = key->modifiers() & Qt::ShiftModifier;
        if (shift && stepsOneRow(key->key()))
            return QItemSelectionModel::SelectCurrent | QItemSelectionModel::Rows; // from the anchor row
        if (shift && isArrow(key->key()))
            return QItemSelectionModel::NoUpdate; // Shift with Left or Right: the rows stay as they are
        // An arrow without Shift clears whatever else is held; Ctrl with a
        // page or end key only moves.
        if (!shift && isArrow(key->key()))
            return QItemSelectionModel::Clear;
        if (key->modifiers() == Qt::ControlModifier)
            return QItemSelectionModel::NoUpdate;
        return QItemSelectionModel::Clear;
    }
    default:
        return QItemSelectionModel::NoUpdate;
    }
}

void DBGrille::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::SelectAll)) {
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
    // An arrow without Shift clears the selection even where the cursor cannot
    // move (Up on the top row): the view asks about the selection only when it moves.
    if (isArrow(event->key()) && !(event->modifiers() & Qt::ShiftModifier))
        selectionModel()->clearSelection();
}
