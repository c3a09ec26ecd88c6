#include "ui/StringGridModel.h"

#include "common/Errors.h"

#include <algorithm>

namespace {

// A cell outside the grid is a programming error, reported in the runtime's words.
[[noreturn]] void outOfRange(int index)
{
    throw ListIndexError(index);
}

} // namespace

StringGridModel::StringGridModel(int colCount, int rowCount, QObject* parent)
    : QAbstractTableModel(parent)
    , m_colCount(colCount)
    , m_rowCount(rowCount)
    , m_cells(std::size_t(colCount) * std::size_t(rowCount))
{
}

void StringGridModel::SetRowCount(int rowCount)
{
    if (rowCount < 1)
        rowCount = 1;
    if (rowCount == m_rowCount)
        return;
    // A grid needs at least one ordinary row: a last remaining row stops being fixed.
    const int fixedRows = std::min(m_fixedRows, rowCount - 1);
    if (fixedRows != m_fixedRows) {
        replaceRows(rowCount, fixedRows);
        return;
    }
    // Rows are inserted and removed rather than the model reset, so the view keeps its column widths.
    const int shownBefore = m_rowCount - m_fixedRows;
    const int shownAfter = rowCount - m_fixedRows;
    if (shownAfter > shownBefore)
        beginInsertRows({}, shownBefore, shownAfter - 1);
    else
        beginRemoveRows({}, shownAfter, shownBefore - 1);
    m_rowCount = rowCount;
    m_cells.resize(std::size_t(m_colCount) * std::size_t(rowCount)); // kept rows keep their texts
    if (shownAfter > shownBefore)
        endInsertRows();
    else
        endRemoveRows();
}

void StringGridModel::SetFixedRows(int fixedRows)
{
    // The header shows the one title row a grid can have.
    if (fixedRows < 0 || fixedRows > 1 || fixedRows >= m_rowCount)
        outOfRange(fixedRows);
    if (fixedRows != m_fixedRows)
        replaceRows(m_rowCount, fixedRows);
}

void StringGridModel::replaceRows(int rowCount, int fixedRows)
{
    if (m_rowCount > m_fixedRows) {
        beginRemoveRows({}, 0, m_rowCount - m_fixedRows - 1);
        m_fixedRows = m_rowCount; // no row shown while the counts change
        endRemoveRows();
    }
    beginInsertRows({}, 0, rowCount - fixedRows - 1);
    m_rowCount = rowCount;
    m_fixedRows = fixedRows;
    m_cells.resize(std::size_t(m_colCount) * std::size_t(rowCount));
    endInsertRows();
    emit headerDataChanged(Qt::Horizontal, 0, m_colCount - 1);
}

void StringGridModel::checkCell(int col, int row) const
{
    if (col < 0 || col >= m_colCount)
        outOfRange(col);
    if (row < 0 || row >= m_rowCount)
        outOfRange(row);
}

const QString& StringGridModel::Cell(int col, int row) const
{
    checkCell(col, row);
    return m_cells[std::size_t(offset(col, row))];
}

void StringGridModel::SetCell(int col, int row, const QString& text)
{
    checkCell(col, row);
    m_cells[std::size_t(offset(col, row))] = text;
    if (row < m_fixedRows) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex cell = index(row - m_fixedRows, col);
        emit dataChanged(cell, cell, { Qt::DisplayRole });
    }
}

int StringGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_rowCount - m_fixedRows;
}

int StringGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_colCount;
}

QVariant StringGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return m_cells[std::size_t(offset(index.column(), index.row() + m_fixedRows))];
}

QVariant StringGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || m_fixedRows == 0)
        return {};
    return m_cells[std::size_t(offset(section, 0))];
}

Qt::ItemFlags StringGridModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable; // never editable
}
