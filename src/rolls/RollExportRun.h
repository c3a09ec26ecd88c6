#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

class AdoQuery;
class ExportFeedback;
class RollQueries;
class StatementLog;
struct InsertShape;

// The steps of one roll export run. Each step writes its statements to the
// run's log as it builds them, sends them to the portal and lists the replies.
class RollExportRun {
public:
    RollExportRun(RollQueries& queries, StatementLog& log, ExportFeedback& feedback);

    // The current roll of QueryRole: its delete and insert, each alone, then its invoices and invoice lines.
    void ExporterRole();
    void ExporterFactures(const QString& numRole);
    void ExporterItemsFactures(const QString& numRole);
    // The three reference tables, each whole in one batch.
    void ExporterEnfants();
    void ExporterClients();
    void ExporterClientGroupes();

private:
    // Logs the delete statement and one insert per row of the open query,
    // closes the query, sends the statements as one batch and lists a non-empty reply.
    void sendTable(
        AdoQuery& query, const QString& deleteStatement, const InsertShape& insert, const QString& progressText);
    void listIfNotEmpty(const QString& reply);

    RollQueries& m_queries;
    StatementLog& m_log;
    ExportFeedback& m_feedback;
    QByteArray m_bytes; // the statement being built, in its Windows-1252 bytes: one buffer for the whole walk
};

// The export run of the roll window: the rolls at these rows of QueryRole (in
// the grid's order), then the reference tables. The log is closed, the grid's
// display resumed and the run's queries closed on every path out, failure
// included. With no row, an empty log is left and nothing is sent.
void ExportSelectedRolls(RollQueries& queries, const QVector<int>& selectedRows, ExportFeedback& feedback);
