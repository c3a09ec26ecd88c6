#pragma once

#include <QString>
#include <QStringList>

// Reads and writes a SQLite database directly, beside the program's own
// connection, through the host's sqlite3 shell: the same texts on Linux and
// under Wine. Throws std::runtime_error with the shell's message on an error.
namespace SqliteShell {

void Execute(const QString& databasePath, const QString& sql);
// Every row, columns joined by "|", null as "".
QStringList Rows(const QString& databasePath, const QString& sql);
// The first column of the first row ("" for none or null).
QString Scalar(const QString& databasePath, const QString& sql);

} // namespace SqliteShell
