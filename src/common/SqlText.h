#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <QStringView>

// A text between single quotes, each embedded single quote doubled.
QString SqlQuote(const QString& text);
// The same, appended in place: a statement builder quotes one value per column of every row.
void AppendSqlQuoted(QString& out, QStringView text);
// The same for a text already in the bytes it travels in.
void AppendSqlQuoted(QByteArray& out, QByteArrayView text);

// Every "," of a number's text replaced by ".": amounts read as text carry the
// decimal comma of the user's regional settings, the portal wants a point.
QString DotDecimal(const QString& number);
