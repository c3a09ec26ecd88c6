#pragma once

#include "common/Errors.h"

#include <QSqlError>

// The provider's text of a database error; an error that comes without a
// text gets the given one.
DatabaseError DatabaseErrorFrom(const QSqlError& error, const QString& fallback);
// The same from the text of the driver's diagnostic records.
DatabaseError DatabaseErrorFrom(const QString& databaseText, const QString& fallback);
