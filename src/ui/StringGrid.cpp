#include "ui/StringGrid.h"

#include "ui/StringGridModel.h"

#include <QHeaderView>

StringGrid::StringGrid(
    QWidget* parent, const QString& name, const QRect& geometry, int colCount, int rowCount, int defaultRowHeight)
    : QTableView(parent)
    , m_model(new StringGridModel(colCount, rowCount, this))
    , m_defaultRowHeight(defaultRowHeight)
{
    setObjectName(name);
    setGeometry(geometry);
    setModel(m_model);

    setShowGrid(true);
    setWordWrap(false);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);

    verticalHeader()->hide(); // no fixed column
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(defaultRowHeight);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionResizeMode(QHeaderView::Interactive);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setStretchLastSection(false);
    titles->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    titles->setMinimumSectionSize(1);
    titles->setFixedHeight(defaultRowHeight);
    showFixedRows();
}

int StringGrid::ColCount() const
{
    return m_model->ColCount();
}

int StringGrid::RowCount() const
{
    return m_model->RowCount();
}

void StringGrid::SetRowCount(int rowCount)
{
    m_model->SetRowCount(rowCount);
    showFixedRows();
}

int StringGrid::FixedRows() const
{
    return m_model->FixedRows();
}

void StringGrid::SetFixedRows(int fixedRows)
{
    m_model->SetFixedRows(fixedRows);
    showFixedRows();
}

const QString& StringGrid::Cell(int col, int row) const
{
    return m_model->Cell(col, row);
}

void StringGrid::SetCell(int col, int row, const QString& text)
{
    m_model->SetCell(col, row, text);
}

int StringGrid::ColWidth(int col) const
{
    return columnWidth(col);
}

void StringGrid::SetColWidth(int col, int width)
{
    setColumnWidth(col, width);
}

int StringGrid::RowHeight(int row) const
{
    if (row < FixedRows())
        return horizontalHeader()->height();
    return rowHeight(row - FixedRows());
}

void StringGrid::showFixedRows()
{
    horizontalHeader()->setVisible(FixedRows() > 0);
}
