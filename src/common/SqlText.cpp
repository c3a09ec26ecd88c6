#include "common/SqlText.h"

QString SqlQuote(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    AppendSqlQuoted(out, text);
    return out;
}

namespace {

// Runs without a quote go in one piece; most values have none.
template <typename Out, typename View, typename Quote>
void appendQuoted(Out& out, View text, Quote quote)
{
    out += quote;
    qsizetype from = 0;
    for (qsizetype at = text.indexOf(quote); at >= 0; at = text.indexOf(quote, at + 1)) {
        out += text.sliced(from, at + 1 - from);
        out += quote;
        from = at + 1;
    }
    out += text.sliced(from);
    out += quote;
}

} // namespace

void AppendSqlQuoted(QString& out, QStringView text)
{
    appendQuoted(out, text, QChar(u'\''));
}

void AppendSqlQuoted(QByteArray& out, QByteArrayView text)
{
    appendQuoted(out, text, '\'');
}

QString DotDecimal(const QString& number)
{
    QString out = number;
    out.replace(QLatin1Char(','), QLatin1Char('.'));
    return out;
}
