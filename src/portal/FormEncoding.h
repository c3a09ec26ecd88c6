#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The form encoding of a text's Windows-1252 bytes, byte by byte: letters,
// digits and ! $ ' ( ) * - . @ _ as they are, a space as "+", every other byte
// as "%" and two capital hexadecimal digits. A NUL ends the text.
// Batches run to tens of megabytes: the encoding is written once, straight
// into its final place, without an intermediate copy of the text's bytes.
// Both return false when a NUL ended the text before its end.
bool AppendFormEncoded(QByteArray& out, const QString& text);
// The same for bytes already in Windows-1252.
bool AppendFormEncoded(QByteArray& out, QByteArrayView bytes);
