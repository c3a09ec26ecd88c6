#include "data/OdbcWholeNumber.h"

#ifdef _WIN32
#include <windows.h> // the ODBC headers need its types
#endif
#include <sql.h>
#include <sqlext.h>

namespace OdbcWholeNumber {

bool IsWholeNumberType(short sqlType)
{
    return sqlType == SQL_BIGINT || sqlType == SQL_INTEGER || sqlType == SQL_SMALLINT || sqlType == SQL_TINYINT;
}

std::optional<qint64> ReadAgainAs64Bits(void* statement, unsigned short column)
{
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    const SQLRETURN result = SQLGetData(statement, column, SQL_C_SBIGINT, &value, sizeof value, &indicator);
    // A driver that gives a fixed-size value once answers "no data" the second time.
    if (!SQL_SUCCEEDED(result) || indicator == SQL_NULL_DATA)
        return std::nullopt;
    return static_cast<qint64>(value);
}

Value Read(void* statement, unsigned short column, short sqlType)
{
    SQLLEN indicator = 0;
    if (sqlType == SQL_BIGINT) {
        SQLBIGINT wide = 0;
        if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_SBIGINT, &wide, sizeof wide, &indicator)))
            return {Value::Outcome::Failed};
        if (indicator == SQL_NULL_DATA)
            return {Value::Outcome::Null};
        return {Value::Outcome::Read, static_cast<qint64>(wide)};
    }
    SQLINTEGER narrow = 0;
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_SLONG, &narrow, sizeof narrow, &indicator))) {
        // A driver that keeps to the standard refuses a value that does not
        // fit in 32 bits; where it gives it as 64 bits, that is the value.
        if (const std::optional<qint64> exact = ReadAgainAs64Bits(statement, column))
            return {Value::Outcome::Read, *exact};
        return {Value::Outcome::Failed};
    }
    if (indicator == SQL_NULL_DATA)
        return {Value::Outcome::Null};
    return {Value::Outcome::Read, ReadAgainAs64Bits(statement, column).value_or(narrow)};
}

} // namespace OdbcWholeNumber
