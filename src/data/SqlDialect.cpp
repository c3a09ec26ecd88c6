#include "data/SqlDialect.h"

#include <QDateTime>
#include <QStringList>

SqlDialect DialectForDbmsName(const QString& dbmsName)
{
    if (dbmsName.contains(QLatin1String("ACCESS"), Qt::CaseInsensitive))
        return SqlDialect::Jet;
    if (dbmsName.contains(QLatin1String("SQLite"), Qt::CaseInsensitive))
        return SqlDialect::SQLite;
    return SqlDialect::Odbc;
}

namespace {

// The text between two "#" as a date-time, or an invalid one.
QDateTime parseJetLiteral(const QString& inner)
{
    const QString text = inner.trimmed();
    for (const char* pattern : {"yyyy-MM-dd", "yyyy-MM-dd HH:mm:ss", "yyyy-MM-dd HH:mm", "yyyy/MM/dd"}) {
        const QString format = QString::fromLatin1(pattern);
        if (format.contains(QLatin1Char('H'))) {
            const QDateTime dt = QDateTime::fromString(text, format);
            if (dt.isValid())
                return dt;
        } else {
            const QDate d = QDate::fromString(text, format);
            if (d.isValid())
                return d.startOfDay();
        }
    }
    return {};
}

QString engineLiteral(const QDateTime& value, SqlDialect dialect)
{
    const QString stamp = value.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (dialect == SqlDialect::SQLite)
        return QLatin1Char('\'') + stamp + QLatin1Char('\''); // the form the sample base stores
    return QStringLiteral("{ts '") + stamp + QStringLiteral("'}");
}

} // namespace

QString TranslateStatement(const QString& jetSql, SqlDialect dialect)
{
    if (dialect == SqlDialect::Jet || !jetSql.contains(QLatin1Char('#')))
        return jetSql;

    QString out;
    out.reserve(jetSql.size() + 16);
    QChar quote; // the quote of the text we are in, or null outside text
    for (qsizetype i = 0; i < jetSql.size(); ++i) {
        const QChar c = jetSql.at(i);
        if (!quote.isNull()) {
            out += c;
            if (c == quote)
                quote = QChar(); // a doubled quote reopens at once on the next character
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            continue;
        }
        if (c == QLatin1Char('#')) {
            const qsizetype end = jetSql.indexOf(QLatin1Char('#'), i + 1);
            if (end > i) {
                const QDateTime value = parseJetLiteral(jetSql.mid(i + 1, end - i - 1));
                if (value.isValid()) {
                    out += engineLiteral(value, dialect);
                    i = end;
                    continue;
                }
            }
        }
        out += c;
    }
    return out;
}
