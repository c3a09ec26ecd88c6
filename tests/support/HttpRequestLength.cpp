#include "support/HttpRequestLength.h"

#include <QList>

std::optional<qint64> HttpRequestLength(const QByteArray& bytes)
{
    const qsizetype headEnd = bytes.indexOf("\r\n\r\n");
    if (headEnd < 0)
        return std::nullopt;
    qint64 bodyLength = 0;
    for (const QByteArray& line : bytes.left(headEnd).split('\n')) {
        const QByteArray header = line.trimmed();
        if (header.toLower().startsWith("content-length:"))
            bodyLength = header.mid(15).trimmed().toLongLong();
    }
    return headEnd + 4 + bodyLength;
}
