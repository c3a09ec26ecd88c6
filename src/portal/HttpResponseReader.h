#pragma once

#include "portal/ByteSource.h"
#include "portal/HttpHeaders.h"

#include <QByteArray>
#include <QString>

struct HttpResponse {
    int statusCode = 0;
    QString statusText; // the status line without its first word, e.g. "404 Not Found"
    HttpHeaders headers;
};

// Reads one HTTP response from a byte source: status line, header lines and
// body. Lines end at LF (a CR before it is dropped); the body goes by
// Content-Length, by chunks or up to the sender's close. A response longer
// than the given bytes is refused as soon as that shows, before it is kept.
class HttpResponseReader {
public:
    HttpResponseReader(ByteSource& source, qint64 maxBytes);

    // Status, headers and body; the body's bytes are appended to the sink.
    void read(HttpResponse& response, QByteArray& sink);

    void readStatusLine(HttpResponse& response);
    void readHeaders(HttpHeaders& headers);
    void readBody(const HttpHeaders& headers, QByteArray& sink);

private:
    // Receives at most maxSize bytes onto the end of the bytes given; 0 once the sender has closed.
    qsizetype receiveOnto(QByteArray& bytes, qsizetype maxSize);
    void checkRoomFor(qint64 count) const; // refuses a reply that would grow past the ceiling
    QByteArray readLine();
    bool receiveIntoBuffer();
    QByteArray takeBuffered(qint64 maxCount);
    void readExactly(qint64 count, QByteArray& sink);
    void readChunks(QByteArray& sink);
    void readUntilClosed(QByteArray& sink);

    ByteSource& m_source;
    qint64 m_maxBytes;
    qint64 m_received = 0;
    QByteArray m_buffer;
    qsizetype m_start = 0; // first byte not yet consumed
    qsizetype m_scanned = 0; // bytes already searched for LF
};
