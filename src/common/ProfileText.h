#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The text of a settings file as Windows' profile functions take it: UTF-16
// with a byte-order mark, UTF-8 with one, UTF-8 without one (bytes that are
// valid UTF-8 and not plain ASCII), otherwise the ANSI code page
// (Windows-1252); lines end at CR LF, LF or CR. It is written back in the
// encoding and line ends it was read in.
class ProfileText {
public:
    enum class Encoding { Ansi, Utf8, Utf8WithMark, Utf16LittleEndian, Utf16BigEndian };

    // A settings file is a few lines: one larger than this is not one.
    static constexpr qint64 kMaxBytes = 1 << 20;

    // The file's text, or an empty one when it does not exist. A file that
    // exists but cannot be read, is not a regular file or is larger than
    // kMaxBytes fails with a FileError naming the file and the cause.
    static ProfileText Load(const QString& path);
    static ProfileText Decode(const QByteArray& bytes);

    QByteArray bytes() const;
    Encoding encoding() const { return m_encoding; }

    // Each line with its own line end (the last one may have none).
    QStringList lines;
    // The line end of the file's first line, given to the lines added; CR LF for a new file.
    QString lineEnd = QStringLiteral("\r\n");

private:
    Encoding m_encoding = Encoding::Ansi;
};
