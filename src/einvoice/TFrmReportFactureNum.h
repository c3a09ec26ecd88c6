#pragma once

#include "report/BandedReport.h"

#include <QDialog>

// Holds the client list report; never shown. Its creation step fetches the
// list from the portal again, builds one client line per client and opens the
// preview, returning when the preview closes. The preview is a child window of
// the holder's owner, so a modal owner does not block it.
class TFrmReportFactureNum : public QDialog {
    Q_OBJECT
public:
    explicit TFrmReportFactureNum(QWidget* owner);

    void FormCreate();
    const BandedReport& Report() const { return m_report; }

private:
    BandedReport m_report;
};
