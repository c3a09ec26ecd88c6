#include "data/DatabaseErrors.h"

DatabaseError DatabaseErrorFrom(const QSqlError& error, const QString& fallback)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = fallback;
    return DatabaseError(text);
}
