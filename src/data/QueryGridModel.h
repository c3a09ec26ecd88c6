#pragma once

#include <QAbstractTableModel>
#include <QString>
#include <QVector>

class AdoQuery;

// One shown column of a grid bound to a query.
struct GridColumn {
    QString fieldName;
    QString title;
    Qt::Alignment alignment;
    int width;
};

// A read-only table model over a query's fetched result: one row per result
// row, the chosen columns in their text form. It follows the query's opening
// and closing.
class QueryGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    QueryGridModel(AdoQuery* query, QVector<GridColumn> columns, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    const QVector<GridColumn>& columns() const { return m_columns; }
    AdoQuery* query() const { return m_query; }

private:
    void rebind();

    AdoQuery* m_query;
    QVector<GridColumn> m_columns;
    QVector<int> m_resultColumn; // result column of each shown column, -1 when absent
};
