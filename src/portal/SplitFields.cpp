#include "common/Cp1252.h"
#include "common/Errors.h"
#include "common/FieldList.h"
#include "portal/FonctionsVendrolles.h"

#include <cstring>

namespace {

bool IsQuote(char c)
{
    return c == '\'' || c == '"';
}

bool IsLineBreak(char c)
{
    return c == '\r' || c == '\n';
}

// Outside a quote a field runs up to ";", a line break or a quote character;
// inside one, only a quote character stops it.
bool InField(char c, char openQuote)
{
    if (IsQuote(c))
        return false;
    return openQuote != 0 || (c != ';' && !IsLineBreak(c));
}

} // namespace

int SplitFields(QByteArray reply, FieldList& fields)
{
    // The fields are packed in place, each moved down over the separators
    // before it: the reply's own block becomes the list's.
    // A NUL has no place in a record: a reply holding one was damaged on the
    // way, and its records after it would be lost without a word.
    if (const qsizetype nul = reply.indexOf('\0'); nul >= 0) {
        throw DamagedReplyError(QStringLiteral("La réponse du portail est endommagée (un octet nul à la position %1 "
                                               "sur %2) : elle est refusée entière, rien n'a été enregistré.")
                                    .arg(nul + 1)
                                    .arg(reply.size()));
    }
    char* bytes = reply.data();
    const qsizetype end = reply.size();

    QList<quint32> ends;
    qsizetype packed = 0;
    char openQuote = 0; // kept from one field to the next
    qsizetype i = 0;
    while (i < end) {
        while (i < end && IsLineBreak(bytes[i]))
            ++i;
        const qsizetype start = i;
        for (;;) {
            while (i < end && InField(bytes[i], openQuote))
                ++i;
            if (i == end || !IsQuote(bytes[i]))
                break;
            // A quote character closes the quote it opened, or opens (replaces) one.
            openQuote = (bytes[i] == openQuote) ? 0 : bytes[i];
            ++i;
        }
        if (i > start) {
            std::memmove(bytes + packed, bytes + start, static_cast<std::size_t>(i - start));
            packed += i - start;
            ends.append(static_cast<quint32>(packed));
        }
        if (i < end)
            ++i; // over the ";" or line break that ended the field
    }
    reply.truncate(packed);
    fields.appendPacked(std::move(reply), ends);
    return static_cast<int>(ends.size());
}

int SplitFields(const QString& text, FieldList& fields)
{
    return SplitFields(Cp1252::encode(text), fields);
}
