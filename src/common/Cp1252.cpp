#include "common/Cp1252.h"

#include <array>

namespace {

// Characters of the bytes 0x80 to 0x9F; the undefined ones keep their own value.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

namespace Cp1252 {

char encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        if (kHighControls[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

void encodeInto(QByteArray& out, QStringView text)
{
    out.resize(0);
    appendEncoded(out, text);
}

void appendEncoded(QByteArray& out, QStringView text)
{
    const qsizetype start = out.size();
    out.resize(start + text.size());
    char* dst = out.data() + start;
    qsizetype n = 0;
    const QChar* src = text.data();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = src[i];
        // A surrogate pair is one character: one "?".
        if (c.isHighSurrogate() && i + 1 < size && src[i + 1].isLowSurrogate())
            ++i;
        dst[n++] = encodeChar(c);
    }
    out.truncate(start + n);
}

void appendLatin1(QByteArray& out, QLatin1StringView text)
{
    const qsizetype start = out.size();
    out.append(text.data(), text.size());
    char* bytes = out.data() + start;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b >= 0x80 && b < 0xA0)
            bytes[i] = encodeChar(QChar(b));
    }
}

QByteArray encode(const QString& text)
{
    QByteArray out;
    encodeInto(out, text);
    return out;
}

QString decode(const char* bytes, qsizetype length)
{
    QString out(length, Qt::Uninitialized);
    QChar* dst = out.data();
    for (qsizetype i = 0; i < length; ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        dst[i] = (b >= 0x80 && b < 0xA0) ? QChar(kHighControls[b - 0x80]) : QChar(b);
    }
    return out;
}

QString decode(const QByteArray& bytes)
{
    return decode(bytes.constData(), bytes.size());
}

} // namespace Cp1252
