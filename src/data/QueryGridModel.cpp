#include "data/QueryGridModel.h"

#include "data/AdoQuery.h"

#include <utility>

QueryGridModel::QueryGridModel(AdoQuery* query, QVector<GridColumn> columns, QObject* parent)
    : QAbstractTableModel(parent), m_query(query), m_columns(std::move(columns))
{
    connect(m_query, &AdoQuery::Opened, this, &QueryGridModel::rebind);
    connect(m_query, &AdoQuery::Closed, this, &QueryGridModel::rebind);
    rebind();
}

void QueryGridModel::rebind()
{
    beginResetModel();
    m_resultColumn.clear();
    for (const GridColumn& column : std::as_const(m_columns))
        m_resultColumn.append(m_query->Active() ? m_query->ColumnIndex(column.fieldName) : -1);
    endResetModel();
}

int QueryGridModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_query->Active())
        return 0;
    return m_query->RecordCount();
}

int QueryGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

QVariant QueryGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !m_query->Active())
        return {};
    const int column = m_resultColumn.value(index.column(), -1);
    switch (role) {
    case Qt::DisplayRole:
        return column < 0 ? QString() : m_query->DisplayTextAt(index.row(), column);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(m_columns.at(index.column()).alignment | Qt::AlignVCenter);
    default:
        return {};
    }
}

QVariant QueryGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= m_columns.size())
        return QAbstractTableModel::headerData(section, orientation, role);
    if (role == Qt::DisplayRole)
        return m_columns.at(section).title;
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::Alignment(Qt::AlignCenter));
    return {};
}
