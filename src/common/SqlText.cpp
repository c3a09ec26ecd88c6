#include "common/SqlText.h"

QString SqlQuote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out += QLatin1Char('\'');
    for (const QChar c : text) {
        out += c;
        if (c == QLatin1Char('\''))
            out += c;
    }
    out += QLatin1Char('\'');
    return out;
}

QString DotDecimal(const QString& number)
{
    QString out = number;
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
}
