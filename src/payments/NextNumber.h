#pragma once

#include <QString>

class AdoQuery;

// The next free number of a table's numbering column: its largest value plus
// one, as decimal text ("1" on an empty table). The query is left closed.
QString NextNumber(AdoQuery& query, const QString& table, const QString& column);
