#include "payments/PaymentImport.h"

#include "common/FieldList.h"
#include "common/StatementLog.h"
#include "data/AdoQuery.h"
#include "payments/LastRunDates.h"
#include "payments/LocalTransaction.h"
#include "payments/NextNumber.h"
#include "payments/PaymentImportDetail.h"
#include "payments/PaymentImportStatements.h"
#include "payments/PaymentRecord.h"
#include "payments/SynchronisationFeedback.h"
#include "portal/FonctionsVendrolles.h"

PaymentImport::PaymentImport(AdoConnection& connection, AdoQuery& deletion, AdoQuery& insertion, AdoQuery& lastNumber,
    SynchronisationFeedback& feedback)
    : m_connection(connection)
    , m_deletion(deletion)
    , m_insertion(insertion)
    , m_lastNumber(lastNumber)
    , m_feedback(feedback)
{
}

void PaymentImport::Run(const QDate& startDate)
{
    StatementLog log(QStringLiteral("import-paiement"));
    m_feedback.ShowStep(ImportStepText(1));

    FieldList fields;
    SplitFields(PortalImportPaiement(startDate), fields);
    const PaymentRecords records = CheckedPaymentRecords(std::move(fields));
    m_feedback.StartGauge(records.fieldCount());

    int recorded = 0;
    try {
        LocalTransaction transaction(m_connection);
        deletePass(records, log);

        m_feedback.StartGauge(records.fieldCount());
        m_feedback.ShowStep(ImportStepText(2));
        m_feedback.MoveDetailCaretToEnd();
        m_feedback.InsertDetail(ImportHeading(startDate), true);

        recorded = insertPass(records, log);
        // The log lists every statement the commit makes lasting.
        log.Flush();
        transaction.Commit();
    } catch (...) {
        // Everything was rolled back: the lines already written must not read
        // as payments recorded.
        m_feedback.MoveDetailCaretToEnd();
        m_feedback.InsertDetail(ImportCancelledLine(), false);
        m_feedback.ShowDetail();
        throw;
    }
    m_feedback.InsertDetail(ImportCountLine(recorded), false);

    m_feedback.HideProgress();
    m_feedback.ShowDetail();
    log.Close();
    m_lastNumber.Close();
    m_deletion.Close();
    m_insertion.Close();

    m_feedback.SetImportLabel(CompletedImportLabel(RecordLastRun(kLastImport, startDate)));
}

void PaymentImport::deletePass(const PaymentRecords& records, StatementLog& log)
{
    for (qsizetype k = 0; k < records.size(); ++k) {
        const PaymentRecord record = records.at(k);
        const QString statement = ImportDeleteStatement(record);
        m_deletion.Close();
        m_deletion.SetSql(statement);
        m_deletion.ExecSql();
        m_feedback.AdvanceGauge(kPaymentRecordFields);
        log.WriteLine(StatementLogLine(statement));
    }
}

int PaymentImport::insertPass(const PaymentRecords& records, StatementLog& log)
{
    int recorded = 0;
    for (qsizetype k = 0; k < records.size(); ++k) {
        const PaymentRecord record = records.at(k);
        m_insertion.Close();
        // Looked up before every insertion, so each sees the rows inserted before it.
        const QString statement = ImportInsertStatement(
            NextNumber(m_lastNumber, QStringLiteral("encaissement"), QStringLiteral("NumEncaissement")), record);
        log.WriteLine(StatementLogLine(statement));
        ++recorded;
        m_feedback.InsertDetail(ImportDetailLine(record), false);
        m_insertion.SetSql(statement);
        m_insertion.ExecSql();
        m_feedback.AdvanceGauge(kPaymentRecordFields);
    }
    return recorded;
}
