// Any bytes from a server, delivered in pieces of any size: the response
// reader ends with a response or with one of the client's own failures, never
// with a crash, a read past the bytes, or a receive larger than a block.
// The first byte of the input chooses the size of the pieces.

#include "common/Errors.h"
#include "portal/HttpResponseReader.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace {

class PiecewiseSource : public ByteSource {
public:
    PiecewiseSource(const uint8_t* data, size_t size, size_t pieceSize)
        : m_data(data)
        , m_size(size)
        , m_pieceSize(pieceSize)
    {
    }

    qsizetype receive(char* buffer, qsizetype maxSize) override
    {
        if (maxSize <= 0 || maxSize > kReceiveBlockSize)
            std::abort();
        const size_t count = std::min({ m_size - m_offset, m_pieceSize, static_cast<size_t>(maxSize) });
        std::memcpy(buffer, m_data + m_offset, count);
        m_offset += count;
        return static_cast<qsizetype>(count);
    }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pieceSize;
    size_t m_offset = 0;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    PiecewiseSource source(data + 1, size - 1, 1 + data[0] * 4u);
    HttpResponse response;
    QByteArray sink;
    try {
        // A small ceiling, so that the refusal of a reply too long is reached too.
        HttpResponseReader(source, 4096).read(response, sink);
    } catch (const QuilvanorError&) {
        // A closed connection, a status that is not a number, a reply too long: the client's own failures.
    }
    if (sink.size() > static_cast<qsizetype>(size))
        std::abort();
    return 0;
}
