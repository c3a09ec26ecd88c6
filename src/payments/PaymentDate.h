#pragma once

#include <QDate>
#include <QString>

#include <optional>

// The payment date of a portal record is read by character position, day
// first: characters 1-2 the day, 4-5 the month, 7-10 the year (13-05-2012).
// The separators at 3 and 6 are not read, and anything after the tenth
// character (a time of day) is ignored.

// A text written day/month/year: three decimal numbers separated by "/",
// blanks allowed before a number or a separator, naming an existing day. A
// year of one or two digits falls in the current century.
std::optional<QDate> DayMonthYearDate(const QString& text);

// The day a record's fourth field names, or nothing. The three parts are
// joined with "/" (13/05/2012) and converted; a field shorter than ten
// characters names no day. `quoted` receives the text an error quotes: the
// joined parts, or the field itself when it is too short.
std::optional<QDate> ReadPaymentDate(const QString& field, QString& quoted);

// The same, failing with "'%s' n'est pas une date correcte".
QDate PaymentDateFromField(const QString& field);
