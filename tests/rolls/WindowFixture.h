#pragma once

#include "data/QueryGridModel.h"
#include "rolls/DBGrille.h"
#include "rolls/TFrmExportRole.h"
#include "support/ErrorRecorder.h"

#include <QPushButton>
#include <QtTest>

#include <memory>

// Drives the roll export window the way the operator does: clicks on the
// grid's rows and on the export button.
namespace WindowFixture {

// The window open offscreen as the operator opens it, and the errors it
// displays meanwhile; the window closes before the recording stops.
class OpenWindow {
public:
    OpenWindow() { m_window->show(); }
    [[nodiscard]] bool exposed() { return QTest::qWaitForWindowExposed(m_window.get()); }

    TFrmExportRole& window() { return *m_window; }
    const QStringList& errors() const { return m_errors.messages(); }
    void closeWindow() { m_window.reset(); }

private:
    ErrorRecorder m_errors;
    std::unique_ptr<TFrmExportRole> m_window = std::make_unique<TFrmExportRole>();
};

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
