#pragma once

#include "data/CursorColumn.h"

#include <QDateTime>
#include <QLatin1StringView>
#include <QString>
#include <QVariant>

// How a column's values read back: its type decides the text form.
enum class ColumnKind { Text, Integer, Float, Currency, DateTime, TimeOfDay };

// The three forms the logic reads a value in. A null value reads as the empty
// text, the date 1899-12-30 at midnight, or 0.
QString ValueAsText(const QVariant& value, ColumnKind kind);
// The text form for display: never throws; a value that has no form of its
// column's type (a date column holding free text) shows as it is stored.
// ValueAsText's Windows-1252 bytes of a value as the cursor stores it,
// appended without building a QVariant; false, with nothing appended, when
// the stored form is not one this reads (then ValueAsText does).
bool AppendStoredAsText(QByteArray& out, const CursorColumn::Stored& stored, ColumnKind kind);
QString ValueAsDisplayText(const QVariant& value, ColumnKind kind) noexcept;
QDateTime ValueAsDateTime(const QVariant& value);
qint64 ValueAsInteger(const QVariant& value);

// A floating-point number in its shortest general form: at most 15 significant
// digits, the user's decimal separator, the exponent form for very small or
// very large values (0.00001 reads 1E-5). maxDecimals rounds first (currency: 4).
QString FloatText(double value, int maxDecimals = -1);
// The same characters with a point for the decimal separator, written into
// the buffer: a statement builder writes one for every amount of every row.
QLatin1StringView FloatTextWithPoint(double value, int maxDecimals, char (&buffer)[32]);
// FloatText's Windows-1252 bytes, appended.
void AppendFloatText(QByteArray& out, double value, int maxDecimals = -1);
