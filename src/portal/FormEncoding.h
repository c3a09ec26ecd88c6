#pragma once

#include <QByteArray>
#include <QString>

// The form encoding of a text's Windows-1252 bytes, byte by byte: letters,
// digits and ! $ ' ( ) * - . @ _ as they are, a space as "+", every other byte
// as "%" and two capital hexadecimal digits. A NUL ends the text.
// Batches run to tens of megabytes: the encoding is written once, straight
// into its final place, without an intermediate copy of the text's bytes.
void AppendFormEncoded(QByteArray& out, const QString& text);
