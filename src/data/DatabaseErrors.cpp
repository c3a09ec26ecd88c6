#include "data/DatabaseErrors.h"

DatabaseError DatabaseErrorFrom(const QSqlError& error, const QString& fallback)
{
    const QString text = error.databaseText().trimmed();
    return DatabaseErrorFrom(text.isEmpty() ? error.driverText() : text, fallback);
}

DatabaseError DatabaseErrorFrom(const QString& databaseText, const QString& fallback)
{
    const QString text = databaseText.trimmed();
    return DatabaseError(text.isEmpty() ? fallback : text);
}
