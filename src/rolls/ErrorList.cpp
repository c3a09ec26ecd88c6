#include "rolls/ErrorList.h"

#include <QRegularExpression>

namespace {

QString beforeFirstNul(const QString& reply)
{
    const qsizetype nul = reply.indexOf(QChar(u'\0'));
    return nul < 0 ? reply : reply.left(nul);
}

} // namespace

bool ReplyIsEmpty(const QString& reply)
{
    return reply.isEmpty() || reply.front() == QChar(u'\0');
}

void ErrorList::Append(const QString& reply)
{
    static const QRegularExpression lineBreak(QStringLiteral("\r\n|\r|\n"));
    m_lines += beforeFirstNul(reply).split(lineBreak);
}
