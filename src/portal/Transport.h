#pragma once

#include <QByteArrayView>
#include <QString>

#include <span>

// The connection one HTTP exchange runs over: plain TCP for an http address,
// TLS for an https one. The HTTP client writes and reads the same bytes over
// either; every wait is bounded by the milliseconds given, and a failure is an
// error carrying the operator's message.
class Transport {
public:
    virtual ~Transport() = default;

    // Connects (and, for TLS, completes the handshake) within the bound.
    virtual void open(const QString& host, int port, int connectMs) = 0;
    // Hands every byte of the pieces to the connection, in order.
    virtual void send(std::span<const QByteArrayView> pieces, int timeoutMs) = 0;
    // The request is complete: whatever the connection still holds goes out now.
    virtual void flush(int timeoutMs) = 0;
    // At most maxSize bytes; 0 once the server has closed the connection.
    virtual qsizetype receive(char* buffer, qsizetype maxSize, int timeoutMs) = 0;
    // Tells the server that the request is complete, after a successful exchange.
    virtual void shutdownSend() = 0;
    // Whether the server announced its close (TLS's closing alert) before the
    // connection ended: without it, a reply that runs to the close may have
    // been cut on the way. A plain connection has nothing to announce it with.
    virtual bool closeWasAnnounced() const { return true; }
};
