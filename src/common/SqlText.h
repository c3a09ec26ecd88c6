#pragma once

#include <QString>

#include <QStringView>

// A text between single quotes, each embedded single quote doubled.
QString SqlQuote(const QString& text);
// The same, appended in place: a statement builder quotes one value per column of every row.
void AppendSqlQuoted(QString& out, QStringView text);

// Every "," of a number's text replaced by ".": amounts read as text carry the
// decimal comma of the user's regional settings, the portal wants a point.
QString DotDecimal(const QString& number);
