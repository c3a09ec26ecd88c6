#pragma once

#include "payments/DetailWriter.h"
#include "payments/SynchronisationFeedback.h"

#include <QDialog>

#include <optional>

class AdoQuery;
class BevelPanel;
class Gauge;
class QDateEdit;
class QLabel;
class QPushButton;
class QPlainTextEdit;

// The payment synchronisation window: one start date and one button that
// records the portal's payments since that date locally, then sends the
// local payments since that date to the portal. It shows the dates of the
// last runs, kept in the settings file, and an account of each run.
class TFrmSynchroniserPaiement : public QDialog, private SynchronisationFeedback {
    Q_OBJECT
public:
    explicit TFrmSynchroniserPaiement(QWidget* parent = nullptr);
    ~TFrmSynchroniserPaiement() override;

    void FormCreate();
    void BtSynchroniserClick();
    void BtImporterClick();
    void BtExporterClick();

    QLabel* LabelDetail;
    ::Gauge* Gauge;
    QLabel* LabelGauge;
    BevelPanel* Panel1;
    QLabel* Label2;
    QDateEdit* DatePaiementImport;
    QLabel* LabelImport;
    QPushButton* BtSynchroniser;
    QLabel* Image1;
    QDateEdit* DatePaiementExport;
    QLabel* LabelExport;
    QPlainTextEdit* RichDetail;

    AdoQuery* QueryDeleteEncaissement;
    AdoQuery* QueryInsertEncaissement;
    AdoQuery* QueryIDEncaissement;
    AdoQuery* QueryEncaissement;

private:
    void createControls();
    // Runs one of the two runs; its account reaches RichDetail on every way out.
    template <class Run> void runWithDetail(Run&& run);
    // Writes the gathered detail into RichDetail before a repaint that would
    // show it, so that every repaint shows the text inserted so far.
    void bringDetailUpToDate();

    void ShowStep(const QString& text) override;
    void StartGauge(qint64 maximum) override;
    void AdvanceGauge(qint64 step) override;
    void HideProgress() override;
    void MoveDetailCaretToEnd() override;
    void InsertDetail(const QString& text, bool bold) override;
    void ShowDetail() override;
    void SetImportLabel(const QString& text) override;
    void SetExportLabel(const QString& text) override;

    std::optional<DetailWriter> m_detail;
};

// The window while it is open.
extern TFrmSynchroniserPaiement* FrmSynchroniserPaiement;
