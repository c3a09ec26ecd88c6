#pragma once

#include <QByteArrayView>
#include <QDateTime>
#include <QString>
#include <QStringView>

#include <cstdio>

// The per-run text file of SQL statements, one per line ended by CR LF, in
// Windows-1252, written as each statement is built. Its name is the working
// folder, "/cantine-", the run's kind, the date "dd-mm-yyyy" and the time
// "hh.mm", ".csv"; a log of the same kind started in the same minute is
// added to, after the earlier run's whole record (runs that move records go
// one at a time, see RunLock), never cut nor shared. The file is closed on every path out of its run. The report of
// an unattended synchronisation is written the same way, as a ".txt" file.
// A log is the operator's record of what was sent: every open log is flushed
// to the system before a request leaves for the portal, so a run killed at
// any moment never leaves a log behind what the portal received.
class StatementLog {
public:
    // Creates the log; fails with the system's file error text.
    explicit StatementLog(const QString& kind, const QString& extension = QStringLiteral(".csv"));
    ~StatementLog();
    StatementLog(const StatementLog&) = delete;
    StatementLog& operator=(const StatementLog&) = delete;

    static QString FileName(
        const QString& kind, const QDateTime& when, const QString& extension = QStringLiteral(".csv"));

    void WriteLine(const QString& statement);
    // A statement already in its Windows-1252 bytes.
    void WriteEncodedLine(QByteArrayView statement);
    // Text as it stands, its line ends its own (the report takes the detail text so).
    void WriteText(QStringView text);
    // Hands what is written to the system; fails like a write.
    void Flush();
    // Flushes every open log, the moment before a request leaves.
    static void FlushAll();
    // Flushes to the disk itself and closes; fails like a write. Closing a
    // closed log does nothing.
    void Close();

    const QString& path() const { return m_path; }

private:
    void write(QByteArrayView bytes);
    [[noreturn]] void fail(int errorNumber) const;

    QString m_path;
    std::FILE* m_file = nullptr;
};
