#include "einvoice/TFrmReportFactureNum.h"

#include "einvoice/ClientLine.h"
#include "einvoice/ClientListReport.h"
#include "einvoice/ClientRecords.h"
#include "report/ReportPreview.h"
#include "ui/ErrorDisplay.h"
#include "ui/Guard.h"

TFrmReportFactureNum::TFrmReportFactureNum(QWidget* owner)
    : QDialog(owner)
    , m_report(ClientListReport())
{
    setObjectName(QStringLiteral("FrmReportFactureNum"));
    Guarded([this] { FormCreate(); });
}

void TFrmReportFactureNum::FormCreate()
{
    const FieldList fields = FetchClientFields();
    // Lines are built in full before the preview: an incomplete last record ends the step with no preview.
    ForEachClientRecord(fields, [this](int, const ClientRecord& client) { m_report.AppendLine(ClientLine(client)); });
    ReportPreview::Show(m_report, parentWidget(), &ErrorDisplay::Show);
}
