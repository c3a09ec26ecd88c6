#include "common/FieldList.h"
#include "portal/FonctionsVendrolles.h"

namespace {

bool IsQuote(QChar c)
{
    return c == QLatin1Char('\'') || c == QLatin1Char('"');
}

bool IsLineBreak(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

// Outside a quote a field runs up to ";", a line break or a quote character;
// inside one, only a quote character stops it.
bool InField(QChar c, QChar openQuote)
{
    if (IsQuote(c))
        return false;
    return !openQuote.isNull() || (c != QLatin1Char(';') && !IsLineBreak(c));
}

} // namespace

int SplitFields(const QString& text, FieldList& fields)
{
    const QChar* chars = text.constData();
    qsizetype end = text.indexOf(QChar(0)); // a NUL ends the text
    if (end < 0)
        end = text.size();

    int appended = 0;
    QChar openQuote; // kept from one field to the next
    qsizetype i = 0;
    while (i < end) {
        while (i < end && IsLineBreak(chars[i]))
            ++i;
        const qsizetype start = i;
        for (;;) {
            while (i < end && InField(chars[i], openQuote))
                ++i;
            if (i == end || !IsQuote(chars[i]))
                break;
            // A quote character closes the quote it opened, or opens (replaces) one.
            openQuote = (chars[i] == openQuote) ? QChar() : chars[i];
            ++i;
        }
        if (i > start) {
            fields.append(text.mid(start, i - start));
            ++appended;
        }
        if (i < end)
            ++i; // over the ";" or line break that ended the field
    }
    return appended;
}
