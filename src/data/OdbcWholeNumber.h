#pragma once

#include <QtGlobal>

#include <optional>

// Whole numbers as an ODBC driver hands them out. A column reads in the C type
// that matches its SQL type, as Qt's driver reads it (32 bits for an integer
// and smaller, 64 for a big integer): an old driver, such as Windows' Access
// driver, may not convert to any other. Some drivers, the SQLite one among
// them, report a column as a 32-bit integer yet hold 64-bit values in it and
// cut them to 32 bits without a word; so a value read as 32 bits is read once
// more as 64 bits where the driver allows it, and that value is the exact one.
namespace OdbcWholeNumber {

// A column of this SQL type reads as a whole number.
bool IsWholeNumberType(short sqlType);

struct Value {
    enum class Outcome { Read, Null, Failed };
    Outcome outcome = Outcome::Null;
    qint64 value = 0;
};

// Reads the column (from 1) of the fetched row on the statement handle (a SQLHSTMT).
Value Read(void* statement, unsigned short column, short sqlType);

// The column's value read as 64 bits, when the driver gives a value after the
// column was read once; nothing for a null or where the driver refuses.
std::optional<qint64> ReadAgainAs64Bits(void* statement, unsigned short column);

} // namespace OdbcWholeNumber
