#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

class StatementLog;

// A portal batch written straight into the body of its export request: each
// statement's Windows-1252 bytes are form-encoded onto the end of the one
// form line, so a batch of tens of megabytes is held once, in the form it
// travels in. The request is the one PortalExport would send for the
// statements joined into one text: a NUL ends the query text there, and ends
// it here, whatever is appended after it.
// Every statement appended is also written to the run's statement log, in
// the same Windows-1252 bytes.
class PortalBatch {
public:
    explicit PortalBatch(StatementLog& log);

    // Room for this many more encoded bytes. Room that is never written costs
    // no memory: the pages of a large block are only taken when touched.
    void Reserve(qsizetype bytes);
    void Append(QByteArrayView statement); // a statement already in its Windows-1252 bytes
    void Append(QStringView statement);
    qsizetype size() const { return m_formLine.size(); }

    const QByteArray& formLine() const { return m_formLine; }

private:
    StatementLog& m_log;
    QByteArray m_formLine;
    QByteArray m_encoded; // one statement's bytes, reused
    bool m_ended = false;
};

// Sends the batch to the export endpoint; the reply as PortalExport gives it.
QString PortalExport(const PortalBatch& batch);
