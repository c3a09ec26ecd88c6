#include "payments/NextNumber.h"

#include "data/AdoQuery.h"

QString NextNumber(AdoQuery& query, const QString& table, const QString& column)
{
    query.Close();
    query.SetSql(QStringLiteral("select max(") + column + QStringLiteral(") from ") + table);
    // A 32-bit number, as the town's numbering column is; a null maximum counts as 0.
    const auto largest = static_cast<qint32>(query.FirstValueAsInteger());
    return QString::number(static_cast<qint64>(largest) + 1);
}
