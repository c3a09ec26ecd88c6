#include "common/SqlText.h"

QString SqlQuote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    AppendSqlQuoted(out, text);
    return out;
}

void AppendSqlQuoted(QString& out, QStringView text)
{
    out += QLatin1Char('\'');
    // Runs without a quote go in one piece; most values have none.
    qsizetype from = 0;
    for (qsizetype quote = text.indexOf(QLatin1Char('\'')); quote >= 0;
         quote = text.indexOf(QLatin1Char('\''), quote + 1)) {
        out += text.mid(from, quote + 1 - from);
        out += QLatin1Char('\'');
        from = quote + 1;
    }
    out += text.mid(from);
    out += QLatin1Char('\'');
}

QString DotDecimal(const QString& number)
{
    QString out = number;
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
}
