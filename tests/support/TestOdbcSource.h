#pragma once

#include "Korva8Sample.h"

#include <QString>
#include <QTemporaryDir>

// A test's own KORVA 8 database behind its own ODBC data source "DB_KORVA8":
// a SQLite file and an odbc.ini in a temporary folder, named by ODBCINI, so a
// test never touches the user's ODBC configuration. Create it before the
// first ODBC call of the process.
class TestOdbcSource {
public:
    explicit TestOdbcSource(const korva8::SampleOptions& options = {});

    QString databasePath() const;
    QString folder() const { return m_dir.path(); }

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
};
