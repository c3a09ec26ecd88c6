#include "data/OdbcWholeNumber.h"

#ifdef _WIN32
#include <windows.h> // the ODBC headers need its types
#endif
#include <sql.h>
#include <sqlext.h>

#include <QLatin1StringView>

#include <limits>
#include <optional>

namespace OdbcWholeNumber {

namespace {

// Room for the longest whole number of 64 bits and a little more of any other
// value, enough to show it in a message.
constexpr SQLLEN kTextRoom = 40;

// The whole number the text spells exactly (an optional minus sign and
// digits, within 64 bits), or nothing.
std::optional<qint64> WholeNumberOf(QLatin1StringView text)
{
    const bool negative = text.startsWith('-');
    const QLatin1StringView digits = negative ? text.sliced(1) : text;
    if (digits.isEmpty() || digits.size() > 19)
        return std::nullopt;
    quint64 magnitude = 0;
    for (const char c : digits) {
        if (c < '0' || c > '9')
            return std::nullopt;
        magnitude = magnitude * 10 + static_cast<quint64>(c - '0');
    }
    // 19 digits stay below 2^64, so only the sign's limit is left to check.
    const quint64 limit = negative ? quint64(std::numeric_limits<qint64>::max()) + 1
                                   : quint64(std::numeric_limits<qint64>::max());
    if (magnitude > limit)
        return std::nullopt;
    return negative ? static_cast<qint64>(0 - magnitude) : static_cast<qint64>(magnitude);
}

// The value read first (its indicator and number), as the text read after it
// has it: a driver may read a word as a null, a fraction as a whole number.
Value checkedAgainstText(void* statement, unsigned short column, SQLLEN indicator, qint64 read)
{
    const Value again = ReadAgain(statement, column);
    if (again.outcome != Value::Outcome::Failed)
        return again;
    if (indicator == SQL_NULL_DATA)
        return {Value::Outcome::Null};
    return {Value::Outcome::Read, read};
}

} // namespace

bool IsWholeNumberType(short sqlType)
{
    return sqlType == SQL_BIGINT || sqlType == SQL_INTEGER || sqlType == SQL_SMALLINT || sqlType == SQL_TINYINT;
}

Value ReadAgain(void* statement, unsigned short column)
{
    // As narrow characters: a whole number's are plain ASCII in any driver's
    // code page, and the driver spares a conversion to UTF-16 on every value.
    char text[kTextRoom + 1] = {};
    SQLLEN indicator = 0;
    const SQLRETURN result = SQLGetData(statement, column, SQL_C_CHAR, text, sizeof text, &indicator);
    // A driver that gives a fixed-size value once answers "no data" the second time.
    if (!SQL_SUCCEEDED(result))
        return {Value::Outcome::Failed};
    if (indicator == SQL_NULL_DATA)
        return {Value::Outcome::Null};
    const qsizetype length = static_cast<qsizetype>(qstrnlen(text, kTextRoom));
    const bool cut = indicator == SQL_NO_TOTAL || indicator > static_cast<SQLLEN>(length);
    if (!cut)
        if (const std::optional<qint64> whole = WholeNumberOf(QLatin1StringView(text, length)))
            return {Value::Outcome::Read, *whole};
    // Shown to the operator: the driver's narrow characters are the system's code page.
    const QString shown = QString::fromLocal8Bit(text, length);
    return {Value::Outcome::NotWhole, 0, cut ? shown + QStringLiteral("…") : shown};
}

Value Read(void* statement, unsigned short column, short sqlType)
{
    SQLLEN indicator = 0;
    if (sqlType == SQL_BIGINT) {
        SQLBIGINT wide = 0;
        if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_SBIGINT, &wide, sizeof wide, &indicator)))
            return ReadAgain(statement, column);
        return checkedAgainstText(statement, column, indicator, wide);
    }
    SQLINTEGER narrow = 0;
    // A driver that keeps to the standard refuses a value that does not fit
    // in 32 bits; where it gives it as text, that is the value.
    if (!SQL_SUCCEEDED(SQLGetData(statement, column, SQL_C_SLONG, &narrow, sizeof narrow, &indicator)))
        return ReadAgain(statement, column);
    return checkedAgainstText(statement, column, indicator, narrow);
}

} // namespace OdbcWholeNumber
