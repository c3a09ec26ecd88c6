#include "payments/PaymentExport.h"

#include "common/StatementLog.h"
#include "data/AdoQuery.h"
#include "payments/LastRunDates.h"
#include "payments/LocalPayment.h"
#include "payments/PaymentExportDetail.h"
#include "payments/PaymentExportStatements.h"
#include "payments/SynchronisationFeedback.h"
#include "portal/FonctionsVendrolles.h"
#include "portal/PortalBatch.h"

PaymentExport::PaymentExport(AdoQuery& selection, SynchronisationFeedback& feedback)
    : m_selection(selection)
    , m_feedback(feedback)
{
}

void PaymentExport::Run(const QDate& startDate)
{
    StatementLog log(QStringLiteral("export-paiement"));
    // Each statement goes to its Windows-1252 bytes once: the log takes them,
    // the batch their form encoding, straight into the request's body.
    PortalBatch batch(log);
    batch.Append(ExportDeleteStatement(startDate));

    m_selection.Close();
    m_selection.SetSql(ExportSelection(startDate));
    m_selection.Open();

    m_feedback.InsertDetail(ExportHeading(startDate), true);
    m_selection.First();
    while (!m_selection.Eof()) {
        const LocalPayment payment = ReadLocalPayment(m_selection);
        m_feedback.InsertDetail(ExportDetailLine(payment.client, payment.invoiceReference), false);
        batch.Append(ExportInsertStatement(payment));
        m_selection.Next();
    }
    m_feedback.InsertDetail(ExportCountLine(m_selection.RecordCount()), false);
    m_feedback.InsertDetail(ExportCheckRequest(), false);
    m_feedback.ShowDetail();

    m_feedback.InsertDetail(ExportReplyLine(PortalExport(batch)), false);

    log.Close();
    m_selection.Close();
    m_feedback.SetExportLabel(LastRunLabel(RecordLastRun(kLastExport, startDate)));
}
