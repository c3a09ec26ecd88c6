#pragma once

#include <QDate>
#include <QVector>

class AdoConnection;
class AdoQuery;
class SynchronisationFeedback;
class StatementLog;
class PaymentRecords;

// The import run: fetches the payments made on the portal since the start
// date and records them in the local payments table, replacing the local
// payments of the same roll, client and invoice. Every record of the reply is
// checked before the first statement runs, and the deletions and insertions
// run in one transaction: a reply or a statement that is refused leaves the
// local table as it was. A completed run stores its start date.
class PaymentImport {
public:
    PaymentImport(AdoConnection& connection, AdoQuery& deletion, AdoQuery& insertion, AdoQuery& lastNumber,
        SynchronisationFeedback& feedback);

    void Run(const QDate& startDate);

private:
    void deletePass(const PaymentRecords& records, StatementLog& log);
    int insertPass(const PaymentRecords& records, StatementLog& log);

    AdoConnection& m_connection;
    AdoQuery& m_deletion;
    AdoQuery& m_insertion;
    AdoQuery& m_lastNumber;
    SynchronisationFeedback& m_feedback;
};
