#pragma once

#include <QtGlobal>

// Where the bytes of a response come from: the connection, or a test's bytes.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Waits for bytes and stores at most maxSize of them; 0 once the sender has closed.
    virtual qsizetype receive(char* buffer, qsizetype maxSize) = 0;
    // After receive gave 0: whether the sender announced that end, rather than
    // the connection being cut (see Transport::closeWasAnnounced).
    virtual bool closeWasAnnounced() const { return true; }
};

// Responses are received in blocks of at most this many bytes.
inline constexpr qsizetype kReceiveBlockSize = 32768;
