#include "rolls/RollExportRun.h"

#include "common/StatementLog.h"
#include "portal/FonctionsVendrolles.h"
#include "portal/PortalBatch.h"
#include "rolls/ErrorList.h"
#include "rolls/ExportFeedback.h"
#include "rolls/RollQueries.h"
#include "rolls/RollStatements.h"

namespace {

// QueryRole's bound grid stops following the rolls the run makes current, and
// follows again however the run ends.
class DisplaySuspended {
public:
    explicit DisplaySuspended(AdoQuery& query)
        : m_query(query)
    {
        m_query.DisableControls();
    }
    ~DisplaySuspended() { m_query.EnableControls(); }
    DisplaySuspended(const DisplaySuspended&) = delete;
    DisplaySuspended& operator=(const DisplaySuspended&) = delete;

private:
    AdoQuery& m_query;
};

// Closes the run's queries however the run ends, so a later run reads its tables again.
class RunQueriesClosed {
public:
    explicit RunQueriesClosed(RollQueries& queries)
        : m_queries(queries)
    {
    }
    ~RunQueriesClosed() { m_queries.CloseRunQueries(); }
    RunQueriesClosed(const RunQueriesClosed&) = delete;
    RunQueriesClosed& operator=(const RunQueriesClosed&) = delete;

private:
    RollQueries& m_queries;
};

} // namespace

RollExportRun::RollExportRun(RollQueries& queries, StatementLog& log, ExportFeedback& feedback)
    : m_queries(queries)
    , m_log(log)
    , m_feedback(feedback)
{
}

void RollExportRun::listIfNotEmpty(const QString& reply)
{
    if (!ReplyIsEmpty(reply))
        m_feedback.AppendReply(reply);
}

void RollExportRun::ExporterRole()
{
    const QString insertStatement = InsertStatement(RollInsertShape(), m_queries.QueryRole).Build();
    const QString numRole = m_queries.QueryRole.FieldByName(QStringLiteral("NumRole")).AsString();
    const QString deleteStatement = RollDelete(numRole);
    m_log.WriteLine(deleteStatement);
    m_log.WriteLine(insertStatement);

    listIfNotEmpty(PortalExport(deleteStatement));
    // The insert's reply is listed even when empty: one line per roll sent.
    m_feedback.AppendReply(PortalExport(insertStatement));

    ExporterFactures(numRole);
    ExporterItemsFactures(numRole);
}

void RollExportRun::ExporterFactures(const QString& numRole)
{
    AdoQuery& query = m_queries.QueryFacture;
    query.SetSql(
        QStringLiteral("SELECT * FROM Facture where NumRole=") + numRole + QStringLiteral(" ORDER BY NumFacture"));
    query.Open();
    sendTable(query, InvoiceDelete(numRole), InvoiceInsertShape(),
        QStringLiteral("Role :") + numRole + QStringLiteral(" - Traitement des factures en cours..."));
}

void RollExportRun::ExporterItemsFactures(const QString& numRole)
{
    AdoQuery& query = m_queries.QueryItemFacture;
    query.SetSql(QStringLiteral("SELECT * FROM ItemFacture where NumRole=") + numRole
        + QStringLiteral(" ORDER BY NumItemFacture"));
    query.Open();
    sendTable(query, InvoiceLineDelete(numRole), InvoiceLineInsertShape(),
        QStringLiteral("Role :") + numRole + QStringLiteral(" - Traitement des items des factures en cours..."));
}

void RollExportRun::ExporterEnfants()
{
    m_queries.QueryEnfant.Open();
    sendTable(m_queries.QueryEnfant, kChildrenDelete, ChildInsertShape(),
        QStringLiteral("Traitement des enfants en cours..."));
}

void RollExportRun::ExporterClients()
{
    m_queries.QueryClient.Open();
    sendTable(m_queries.QueryClient, kClientsDelete, ClientInsertShape(),
        QStringLiteral("Traitement des clients en cours..."));
}

void RollExportRun::ExporterClientGroupes()
{
    m_queries.QueryClientGroupe.Open();
    sendTable(m_queries.QueryClientGroupe, kClientGroupsDelete, ClientGroupInsertShape(),
        QStringLiteral("Traitement des groupes  en cours..."));
}

void RollExportRun::sendTable(
    AdoQuery& query, const QString& deleteStatement, const InsertShape& insert, const QString& progressText)
{
    const int rowCount = query.RecordCount();
    // No guard hides it on the way out: when a send fails, the gauge and its
    // text stay to show the operator where the run stopped.
    m_feedback.ProgressStart(rowCount, progressText);

    // Each statement is built from the row straight into its Windows-1252
    // bytes: the log takes those bytes, the batch their form encoding,
    // straight into the request's body.
    PortalBatch batch(m_log);
    batch.Append(deleteStatement);
    InsertStatement builder(insert, query);
    bool reserved = false;
    for (query.First(); !query.Eof(); query.Next()) {
        builder.BuildInto(m_bytes);
        if (!reserved) {
            // Rows of one table come out about as long as each other: room for all of them at
            // once, generous, since room never written takes no memory.
            batch.Reserve(static_cast<qsizetype>(rowCount) * (2 * m_bytes.size() + 64));
            reserved = true;
        }
        batch.Append(m_bytes);
        m_feedback.ProgressStep(query.RecNo());
    }

    // Nothing reads the rows once their statements are built: letting them go
    // before the batch is sent keeps the result and the request apart in memory.
    query.Close();
    listIfNotEmpty(PortalExport(batch));
    m_feedback.ProgressEnd();
}

void ExportSelectedRolls(RollQueries& queries, const QVector<int>& selectedRows, ExportFeedback& feedback)
{
    StatementLog log(QStringLiteral("export-role"));
    RunQueriesClosed closedAtEnd(queries);
    {
        DisplaySuspended suspended(queries.QueryRole);
        if (!selectedRows.isEmpty()) {
            RollExportRun run(queries, log, feedback);
            for (const int row : selectedRows) {
                queries.QueryRole.GotoBookmark(row);
                run.ExporterRole();
            }
            run.ExporterEnfants();
            run.ExporterClients();
            run.ExporterClientGroupes();
            feedback.ShowErrorList();
        }
    }
    log.Close();
}
