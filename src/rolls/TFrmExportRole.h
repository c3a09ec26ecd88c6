#pragma once

#include "rolls/ErrorList.h"
#include "rolls/ExportFeedback.h"
#include "rolls/RollQueries.h"

#include <QDialog>
#include <QElapsedTimer>

class DBGrille;
class Gauge;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QStyleOptionViewItem;
class QueryGridModel;

// The roll export window: the rolls of the town's base in a grid; the operator
// selects some and sends them, with the reference tables, to the family portal.
class TFrmExportRole : public QDialog, private ExportFeedback {
    Q_OBJECT
public:
    explicit TFrmExportRole(QWidget* parent = nullptr);
    ~TFrmExportRole() override;

    void FormCreate();
    void BtExporterClick();
    // Selected rows are drawn again in the active title bar colour with black text.
    void DBGrilleDrawColumnCell(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index);

    bool Running() const { return m_running; }

    RollQueries Queries;
    QueryGridModel* DataSource1;
    ::DBGrille* DBGrille;
    QPushButton* BtExporter;
    QLabel* LabelGauge;
    ::Gauge* Gauge;
    QLabel* LabelErreur;
    QPlainTextEdit* Memo1;

public slots:
    void reject() override; // Escape and the close box: refused while a run goes on

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void ProgressStart(int maximum, const QString& text) override;
    void ProgressStep(int rowNumber) override;
    void ProgressEnd() override;
    void AppendReply(const QString& reply) override;
    void ShowErrorList() override;

    ErrorList m_errorList;
    bool m_running = false;
    QElapsedTimer m_sinceEvents;
};

// The window while it is shown, set while one exists.
extern TFrmExportRole* FrmExportRole;
