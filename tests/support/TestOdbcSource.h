#pragma once

#include "Korva8Sample.h"

#include <QString>
#include <QTemporaryDir>

// A test's own KORVA 8 database behind its own ODBC data source "DB_KORVA8":
// a SQLite file made by the sample database tool and an odbc.ini naming it, so
// a test never touches the user's ODBC configuration. On Linux both live in a
// temporary folder that ODBCINI is pointed at; under Wine the driver manager is
// the host's, which reads ODBCINI before the test starts, so the test runner
// names the file and the database lives beside it. Create it before the first
// ODBC call of the process.
class TestOdbcSource {
public:
    // How the SQLite driver hands a selection over: the whole result at once
    // (its default), or row by row (StepAPI=1, as the demo's data source has it).
    enum class Fetch { WholeResult, RowByRow };

    explicit TestOdbcSource(const korva8::SampleOptions& options = {}, Fetch fetch = Fetch::WholeResult);

    // An odbc.ini naming this database "DB_KORVA8", for a program started beside the test.
    void WriteOdbcIni(const QString& path, Fetch fetch) const;

    QString databasePath() const { return m_databasePath; }

    // Replaces the database by a new one with these options.
    void recreate(const korva8::SampleOptions& options);
    // Runs statements on the database directly, beside the program's connection.
    void execute(const QString& sql) const;
    // The first column of the first row of a query, as text ("" for null).
    QString scalar(const QString& sql) const;
    // Every row of a query, columns joined by "|".
    QStringList rows(const QString& sql) const;

private:
    QTemporaryDir m_dir;
    QString m_databasePath;
};
