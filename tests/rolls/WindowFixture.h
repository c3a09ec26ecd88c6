#pragma once

#include "data/QueryGridModel.h"
#include "rolls/DBGrille.h"
#include "rolls/TFrmExportRole.h"

#include <QPushButton>
#include <QtTest>

// Drives the roll export window the way the operator does: clicks on the
// grid's rows and on the export button.
namespace WindowFixture {

inline int rowOfRoll(const TFrmExportRole& window, int numRole)
{
    const QAbstractItemModel* model = window.DBGrille->model();
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row, 0).data().toInt() == numRole)
            return row;
    }
    return -1;
}

inline void clickRow(TFrmExportRole& window, int row, Qt::KeyboardModifiers modifiers = {})
{
    DBGrille* grid = window.DBGrille;
    const QRect cell = grid->visualRect(grid->model()->index(row, 1));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, modifiers, cell.center());
}

inline void clickRoll(TFrmExportRole& window, int numRole, Qt::KeyboardModifiers modifiers = {})
{
    clickRow(window, rowOfRoll(window, numRole), modifiers);
}

inline QList<int> selectedRolls(const TFrmExportRole& window)
{
    QList<int> rolls;
    for (const int row : window.DBGrille->SelectedRows())
        rolls << window.DBGrille->model()->index(row, 0).data().toInt();
    return rolls;
}

inline void clickExport(TFrmExportRole& window)
{
    QTest::mouseClick(window.BtExporter, Qt::LeftButton);
}

} // namespace WindowFixture
