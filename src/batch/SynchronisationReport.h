#pragma once

#include "common/StatementLog.h"
#include "payments/SynchronisationFeedback.h"

#include <QString>

// The account of an unattended synchronisation: the lines the window's detail
// text would hold go to standard output and to the report file
// cantine-synchronisation-dd-mm-yyyy-hh.mm.txt in the working folder, beside
// the statement logs (Windows-1252, CR LF). Nobody watches the run: the step
// text, the gauge and the labels show nowhere.
class SynchronisationReport : public SynchronisationFeedback {
public:
    // Creates the report file; fails with the system's file error text.
    SynchronisationReport();

    // Ends the report with the error that ended the runs, on a line of its own,
    // and closes it. A report that cannot take it any more is left as it is:
    // the error reaches standard error all the same.
    void AddError(const QString& errorLine) noexcept;
    // Writes the line begun last, if any, and closes the file.
    void Close();

    void ShowStep(const QString&) override { }
    void StartGauge(qint64) override { }
    void AdvanceGauge(qint64) override { }
    void HideProgress() override { }
    void MoveDetailCaretToEnd() override { }
    void InsertDetail(const QString& text, bool bold) override;
    void ShowDetail() override { }
    void SetImportLabel(const QString&) override { }
    void SetExportLabel(const QString&) override { }

private:
    void finishLine();

    StatementLog m_file;
    QString m_line; // the detail text's last line, not ended yet
};
