#pragma once

#include <QByteArray>
#include <QLatin1StringView>
#include <QString>
#include <QStringView>

// The one codec for every byte that crosses the program's edge: the wire, the
// statement logs and the settings file. Lossless for all 256 byte values: the
// five bytes Windows-1252 leaves undefined map to the same-numbered control
// characters. A character the code page cannot hold is written "?".
namespace Cp1252 {

QByteArray encode(const QString& text);
// Replaces the content of out with the text's bytes; out keeps its capacity,
// so a walk that encodes one statement after another reuses one buffer.
void encodeInto(QByteArray& out, QStringView text);
// Appends the text's bytes to out.
void appendEncoded(QByteArray& out, QStringView text);
// Appends a Latin-1 text's bytes: the same bytes but for the C1 control
// characters, which the code page holds only where it leaves a byte undefined.
void appendLatin1(QByteArray& out, QLatin1StringView text);
QString decode(const QByteArray& bytes);
QString decode(const char* bytes, qsizetype length);

// The byte that stands for one character, '?' when the code page has none.
char encodeChar(QChar c);

} // namespace Cp1252
