#include "portal/FormEncoding.h"

#include "common/Cp1252.h"

#include <array>

namespace {

constexpr bool KeptAsItIs(int b)
{
    return (b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '!' || b == '$'
        || b == '\'' || b == '(' || b == ')' || b == '*' || b == '-' || b == '.' || b == '@' || b == '_';
}

constexpr std::array<bool, 256> kKept = [] {
    std::array<bool, 256> kept {};
    for (int b = 0; b < 256; ++b)
        kept[static_cast<std::size_t>(b)] = KeptAsItIs(b);
    return kept;
}();
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The Windows-1252 byte of the character at i, advancing i past a surrogate
// pair (one character the code page cannot hold: "?"). ASCII, nearly all of
// a batch, takes the short way.
inline unsigned char ByteAt(const QChar* chars, qsizetype& i, qsizetype size)
{
    const char16_t u = chars[i].unicode();
    if (u < 0x80)
        return static_cast<unsigned char>(u);
    if (chars[i].isHighSurrogate() && i + 1 < size && chars[i + 1].isLowSurrogate())
        ++i;
    return static_cast<unsigned char>(Cp1252::encodeChar(chars[i]));
}

// A NUL ends the text; "?" for a character outside the code page is not one.
inline bool EndsText(unsigned char b, const QChar* chars, qsizetype i)
{
    return b == 0 && chars[i].unicode() == 0;
}

// One pass, branching on the byte's kind, with the running values in locals
// (a store through char* may alias anything): measured several times faster
// than a table of encoded forms or a counting pass before the writing one.
// nextByte(i) gives the byte at i (advancing i past what it consumed), or -1
// for the NUL that ends the text.
template <class NextByte> bool AppendEncodedBytes(QByteArray& out, qsizetype size, NextByte nextByte)
{
    qsizetype used = out.size();
    // Room for the text plus a quarter of it escaped; a text that escapes more grows the
    // array (realloc, which moves large blocks without copying them).
    out.resize(used + size + size / 4 + 16);
    char* dst = out.data() + used;
    char* limit = out.data() + out.size() - 3;
    bool whole = true;
    for (qsizetype i = 0; i < size; ++i) {
        const int next = nextByte(i);
        if (next < 0) {
            whole = false;
            break;
        }
        const auto b = static_cast<unsigned char>(next);
        if (dst > limit) {
            used = dst - out.data();
            out.resize(out.size() + out.size() / 2 + 16);
            dst = out.data() + used;
            limit = out.data() + out.size() - 3;
        }
        if (kKept[b]) {
            *dst++ = static_cast<char>(b);
        } else if (b == ' ') {
            *dst++ = '+';
        } else {
            dst[0] = '%';
            dst[1] = kHexDigits[b >> 4];
            dst[2] = kHexDigits[b & 0x0F];
            dst += 3;
        }
    }
    out.resize(dst - out.data());
    return whole;
}

} // namespace

bool AppendFormEncoded(QByteArray& out, const QString& text)
{
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    return AppendEncodedBytes(out, size, [chars, size](qsizetype& i) {
        const unsigned char b = ByteAt(chars, i, size);
        return EndsText(b, chars, i) ? -1 : int(b);
    });
}

bool AppendFormEncoded(QByteArray& out, QByteArrayView bytes)
{
    const char* data = bytes.data();
    return AppendEncodedBytes(out, bytes.size(), [data](qsizetype i) {
        const auto b = static_cast<unsigned char>(data[i]);
        return b == 0 ? -1 : int(b);
    });
}
