#include "portal/HttpResponseReader.h"

#include "common/Cp1252.h"
#include "common/Errors.h"
#include "common/Messages.h"

#include <QScopeGuard>

#include <cctype>
#include <limits>
#include <optional>

namespace {

// A decimal whole number, with an optional sign, of the given range.
std::optional<qint64> WholeNumber(const QByteArray& text, qint64 max)
{
    const QByteArray trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    qsizetype i = 0;
    const bool negative = trimmed.at(0) == '-';
    if (trimmed.at(0) == '-' || trimmed.at(0) == '+')
        ++i;
    if (i == trimmed.size())
        return std::nullopt;
    qint64 value = 0;
    for (; i < trimmed.size(); ++i) {
        const char c = trimmed.at(i);
        if (c < '0' || c > '9')
            return std::nullopt;
        if (value > (max - (c - '0')) / 10)
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

[[noreturn]] void damaged(const QString& what)
{
    throw DamagedReplyError(
        QStringLiteral("La réponse du portail est endommagée (%1) : elle est refusée entière, rien n'a été enregistré.")
            .arg(what));
}

// A chunk size line: hexadecimal digits, then nothing, or a blank or ";" and extensions.
// Anything else is a damaged reply, never its end; a size over the ceiling
// refuses the reply as too large.
qint64 ChunkSize(const QByteArray& line, qint64 maxBytes)
{
    qsizetype end = 0;
    while (end < line.size() && std::isxdigit(static_cast<unsigned char>(line.at(end))))
        ++end;
    const char after = end < line.size() ? line.at(end) : ';';
    if (line.trimmed().isEmpty())
        damaged(QStringLiteral("la taille d'un morceau manque"));
    if (end == 0 || (after != ';' && after != ' ' && after != '\t'))
        damaged(QStringLiteral("la taille d'un morceau, « %1 », n'est pas un nombre hexadécimal")
                    .arg(Messages::excerpt(Cp1252::decode(line))));
    qint64 value = 0;
    for (qsizetype i = 0; i < end; ++i) {
        const char c = line.at(i);
        const int digit = c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
        if (value > (maxBytes >> 4))
            throw ReplyTooLargeError(maxBytes);
        value = (value << 4) | digit;
    }
    return value;
}

} // namespace

HttpResponseReader::HttpResponseReader(ByteSource& source, qint64 maxBytes)
    : m_source(source)
    , m_maxBytes(maxBytes)
{
}

void HttpResponseReader::checkRoomFor(qint64 count) const
{
    if (count > m_maxBytes - m_received)
        throw ReplyTooLargeError(m_maxBytes);
}

qsizetype HttpResponseReader::receiveOnto(QByteArray& bytes, qsizetype maxSize)
{
    // One byte past the ceiling is enough to refuse the reply.
    maxSize = static_cast<qsizetype>(qMin<qint64>(maxSize, m_maxBytes - m_received + 1));
    const qsizetype used = bytes.size();
    qsizetype received = 0;
    // The bytes hold what was received and nothing more, however the receive ends.
    const auto trim = qScopeGuard([&] { bytes.resize(used + received); });
    bytes.resize(used + maxSize);
    received = m_source.receive(bytes.data() + used, maxSize);
    checkRoomFor(received);
    m_received += received;
    return received;
}

void HttpResponseReader::read(HttpResponse& response, QByteArray& sink)
{
    readStatusLine(response);
    readHeaders(response.headers);
    // An interim reply ("100 Continue") comes before the reply itself; 101 switches protocols and is one.
    while (response.statusCode >= 100 && response.statusCode < 200 && response.statusCode != 101) {
        response = HttpResponse();
        readStatusLine(response);
        readHeaders(response.headers);
    }
    readBody(response.headers, sink);
}

void HttpResponseReader::readStatusLine(HttpResponse& response)
{
    const QByteArray line = readLine();
    const qsizetype firstSpace = line.indexOf(' ');
    const QByteArray statusText = firstSpace >= 0 ? line.mid(firstSpace + 1) : QByteArray();
    response.statusText = Cp1252::decode(statusText);
    const qsizetype codeEnd = statusText.indexOf(' ');
    const QByteArray code = codeEnd >= 0 ? statusText.left(codeEnd) : statusText;
    const auto number = WholeNumber(code, std::numeric_limits<int>::max());
    if (!number || code.trimmed() != code)
        throw ConversionError(Messages::notAnInteger(Cp1252::decode(code)));
    response.statusCode = static_cast<int>(*number);
}

void HttpResponseReader::readHeaders(HttpHeaders& headers)
{
    for (;;) {
        const QByteArray line = readLine();
        if (line.isEmpty())
            return;
        headers.appendLine(Cp1252::decode(line));
    }
}

void HttpResponseReader::readBody(const HttpHeaders& headers, QByteArray& sink)
{
    const auto length = WholeNumber(
        Cp1252::encode(headers.value(QStringLiteral("Content-Length"))), std::numeric_limits<qint64>::max());
    // A length of 0, a negative one or one that is not a number counts as absent.
    if (length && *length > 0)
        readExactly(*length, sink);
    else if (headers.value(QStringLiteral("Transfer-Encoding")).contains(QLatin1String("chunked")))
        readChunks(sink);
    else
        readUntilClosed(sink);
}

QByteArray HttpResponseReader::readLine()
{
    for (;;) {
        const qsizetype end = m_buffer.indexOf('\n', qMax(m_start, m_scanned));
        if (end >= 0) {
            qsizetype lineEnd = end;
            if (lineEnd > m_start && m_buffer.at(lineEnd - 1) == '\r')
                --lineEnd;
            QByteArray line = m_buffer.mid(m_start, lineEnd - m_start);
            m_start = end + 1;
            m_scanned = m_start;
            return line;
        }
        m_scanned = m_buffer.size();
        if (!receiveIntoBuffer()) {
            if (m_start == m_buffer.size()) {
                if (m_received == 0)
                    throw ConnectionClosedError();
                throw ConnectionClosedError(QStringLiteral("%1 octets reçus").arg(m_received));
            }
            // An unfinished line at the close reads as an empty one.
            m_start = m_scanned = m_buffer.size();
            return QByteArray();
        }
    }
}

bool HttpResponseReader::receiveIntoBuffer()
{
    if (m_start == m_buffer.size()) {
        m_buffer.clear();
        m_start = m_scanned = 0;
    } else if (m_start >= kReceiveBlockSize) {
        m_buffer.remove(0, m_start);
        m_scanned -= m_start;
        m_start = 0;
    }
    return receiveOnto(m_buffer, kReceiveBlockSize) > 0;
}

QByteArray HttpResponseReader::takeBuffered(qint64 maxCount)
{
    const qsizetype count = static_cast<qsizetype>(qMin<qint64>(maxCount, m_buffer.size() - m_start));
    QByteArray taken = m_buffer.mid(m_start, count);
    m_start += count;
    m_scanned = qMax(m_scanned, m_start);
    return taken;
}

void HttpResponseReader::readExactly(qint64 count, QByteArray& sink)
{
    const QByteArray buffered = takeBuffered(count);
    // A length announced is refused before its bytes arrive.
    checkRoomFor(count - buffered.size());
    sink.append(buffered);
    qint64 remaining = count - buffered.size();
    while (remaining > 0) {
        const qsizetype received
            = receiveOnto(sink, static_cast<qsizetype>(qMin<qint64>(remaining, kReceiveBlockSize)));
        if (received == 0) {
            throw ConnectionClosedError(
                QStringLiteral("%1 octets reçus sur les %2 annoncés").arg(count - remaining).arg(count));
        }
        remaining -= received;
    }
}

void HttpResponseReader::readChunks(QByteArray& sink)
{
    for (qint64 size = ChunkSize(readLine(), m_maxBytes); size > 0; size = ChunkSize(readLine(), m_maxBytes)) {
        readExactly(size, sink);
        if (!readLine().isEmpty())
            damaged(QStringLiteral("un morceau est plus long que sa taille"));
    }
    readLine(); // the end of the trailers
}

void HttpResponseReader::readUntilClosed(QByteArray& sink)
{
    sink.append(takeBuffered(m_buffer.size() - m_start));
    while (receiveOnto(sink, kReceiveBlockSize) > 0) { }
    // The close is the reply's only end: over TLS, one the portal did not announce may be anyone's.
    if (!m_source.closeWasAnnounced())
        throw ConnectionClosedError(
            QStringLiteral("%1 octets reçus, sans l'avis de fin de la connexion sécurisée").arg(m_received));
}
