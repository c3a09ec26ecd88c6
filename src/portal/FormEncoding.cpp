#include "portal/FormEncoding.h"

#include "common/Cp1252.h"

#include <array>

namespace {

enum class Form : unsigned char { Kept, Plus, Escaped };

constexpr std::array<Form, 256> MakeForms()
{
    std::array<Form, 256> forms{};
    for (auto& form : forms)
        form = Form::Escaped;
    for (int c = 'A'; c <= 'Z'; ++c)
        forms[static_cast<std::size_t>(c)] = Form::Kept;
    for (int c = 'a'; c <= 'z'; ++c)
        forms[static_cast<std::size_t>(c)] = Form::Kept;
    for (int c = '0'; c <= '9'; ++c)
        forms[static_cast<std::size_t>(c)] = Form::Kept;
    for (const char c : {'!', '$', '\'', '(', ')', '*', '-', '.', '@', '_'})
        forms[static_cast<unsigned char>(c)] = Form::Kept;
    forms[static_cast<unsigned char>(' ')] = Form::Plus;
    return forms;
}

constexpr std::array<Form, 256> kForms = MakeForms();
constexpr char kHexDigits[] = "0123456789ABCDEF";

// The Windows-1252 byte of a character; the Latin-1 range maps to itself.
unsigned char ByteOf(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    return static_cast<unsigned char>(Cp1252::encodeChar(c));
}

// Calls consume(byte) for each byte of the text up to its end or its first NUL.
template <class Consume>
void ForEachByte(const QString& text, Consume consume)
{
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size; ++i) {
        const QChar c = chars[i];
        if (c.unicode() == 0)
            return;
        // A surrogate pair is one character the code page cannot hold: one "?".
        if (c.isHighSurrogate() && i + 1 < size && chars[i + 1].isLowSurrogate())
            ++i;
        consume(ByteOf(c));
    }
}

} // namespace

qsizetype FormEncodedLength(const QString& text)
{
    qsizetype length = 0;
    ForEachByte(text, [&length](unsigned char b) { length += kForms[b] == Form::Escaped ? 3 : 1; });
    return length;
}

void AppendFormEncoded(QByteArray& out, const QString& text)
{
    const qsizetype start = out.size();
    out.resize(start + FormEncodedLength(text));
    char* dst = out.data() + start;
    ForEachByte(text, [&dst](unsigned char b) {
        switch (kForms[b]) {
        case Form::Kept:
            *dst++ = static_cast<char>(b);
            break;
        case Form::Plus:
            *dst++ = '+';
            break;
        case Form::Escaped:
            *dst++ = '%';
            *dst++ = kHexDigits[b >> 4];
            *dst++ = kHexDigits[b & 0x0F];
            break;
        }
    });
}
