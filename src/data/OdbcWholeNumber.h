#pragma once

#include <QString>

// Whole numbers as an ODBC driver hands them out. A column reads in the C type
// that matches its SQL type, as Qt's driver reads it (32 bits for an integer
// and smaller, 64 for a big integer): an old driver, such as Windows' Access
// driver, may not convert to any other. Some drivers, the SQLite one among
// them, report a column as a 32-bit integer yet hold 64-bit values in it and
// cut them to 32 bits without a word; so a value read as 32 bits is read once
// more, as the text the driver holds, where the driver allows it: that text is
// the exact value. The same drivers also keep in such a column a fraction, an
// exponent or a word, which they would read as some whole number; read as
// text, it shows for what it is.
namespace OdbcWholeNumber {

// A column of this SQL type reads as a whole number.
bool IsWholeNumberType(short sqlType);

struct Value {
    enum class Outcome { Read, Null, Failed, NotWhole };
    Outcome outcome = Outcome::Null;
    qint64 value = 0;
    QString text {}; // where NotWhole, the value as the driver holds it (its start when long)
};

// Reads the column (from 1) of the fetched row on the statement handle (a SQLHSTMT).
Value Read(void* statement, unsigned short column, short sqlType);

// The column's value read once more, as text, after the column was read once:
// Read with the exact whole number, NotWhole with the text where it spells
// none, Null, or Failed where the driver gives nothing the second time.
Value ReadAgain(void* statement, unsigned short column);

} // namespace OdbcWholeNumber
