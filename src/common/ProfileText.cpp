#include "common/ProfileText.h"

#include "common/Cp1252.h"
#include "common/Errors.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>
#include <optional>

namespace {

const QByteArray kUtf8Mark("\xEF\xBB\xBF");
const QByteArray kUtf16LittleEndianMark("\xFF\xFE");
const QByteArray kUtf16BigEndianMark("\xFE\xFF");

[[noreturn]] void unreadable(const QString& path, const QString& cause)
{
    throw FileError(QStringLiteral("Le fichier de paramètres %1 ne peut pas être lu : %2. Rien n'a été envoyé "
                                   "ni modifié.")
                        .arg(QDir::toNativeSeparators(path), cause));
}

// The bytes' text when they are UTF-8: they decode without error and are not all ASCII.
std::optional<QString> AsUtf8(const QByteArray& bytes)
{
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) == 0; });
    if (ascii)
        return std::nullopt;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(bytes);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

QString DecodeAs(QStringConverter::Encoding encoding, QByteArrayView bytes)
{
    QStringDecoder decoder(encoding, QStringDecoder::Flag::Stateless);
    return decoder(bytes);
}

QByteArray EncodeAs(QStringConverter::Encoding encoding, const QString& text)
{
    QStringEncoder encoder(encoding, QStringEncoder::Flag::Stateless);
    return encoder(text);
}

} // namespace

ProfileText ProfileText::Load(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return ProfileText();
    if (info.isDir())
        unreadable(path, QStringLiteral("c'est un dossier"));
    // A device, a pipe or a link to nothing is no settings file: reading one may never end.
    if (!info.isFile())
        unreadable(path, QStringLiteral("ce n'est pas un fichier ordinaire"));
    if (info.size() > kMaxBytes)
        unreadable(path, QStringLiteral("il fait %1 octets, plus que les %2 qu'un fichier de paramètres peut faire")
                             .arg(info.size())
                             .arg(kMaxBytes));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        unreadable(path, QStringLiteral("il ne s'ouvre pas (%1)").arg(file.errorString()));
    const QByteArray bytes = file.read(kMaxBytes + 1);
    if (file.error() != QFileDevice::NoError)
        unreadable(path, QStringLiteral("sa lecture a échoué (%1)").arg(file.errorString()));
    if (bytes.size() > kMaxBytes)
        unreadable(path, QStringLiteral("il fait plus de %1 octets").arg(kMaxBytes));
    return Decode(bytes);
}

ProfileText ProfileText::Decode(const QByteArray& bytes)
{
    ProfileText profile;
    QString text;
    if (bytes.startsWith(kUtf16LittleEndianMark)) {
        profile.m_encoding = Encoding::Utf16LittleEndian;
        text = DecodeAs(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith(kUtf16BigEndianMark)) {
        profile.m_encoding = Encoding::Utf16BigEndian;
        text = DecodeAs(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    } else if (bytes.startsWith(kUtf8Mark)) {
        profile.m_encoding = Encoding::Utf8WithMark;
        text = DecodeAs(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    } else if (std::optional<QString> utf8 = AsUtf8(bytes)) {
        profile.m_encoding = Encoding::Utf8;
        text = std::move(*utf8);
    } else {
        text = Cp1252::decode(bytes);
    }

    bool lineEndSeen = false;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        const qsizetype endLength = (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n')) ? 2 : 1;
        if (!lineEndSeen) {
            profile.lineEnd = text.mid(i, endLength);
            lineEndSeen = true;
        }
        i += endLength - 1;
        profile.lines.append(text.mid(start, i + 1 - start));
        start = i + 1;
    }
    if (start < text.size())
        profile.lines.append(text.mid(start));
    return profile;
}

QByteArray ProfileText::bytes() const
{
    const QString text = lines.join(QString());
    switch (m_encoding) {
    case Encoding::Ansi:
        return Cp1252::encode(text);
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Utf8WithMark:
        return kUtf8Mark + text.toUtf8();
    case Encoding::Utf16LittleEndian:
        return kUtf16LittleEndianMark + EncodeAs(QStringConverter::Utf16LE, text);
    case Encoding::Utf16BigEndian:
        return kUtf16BigEndianMark + EncodeAs(QStringConverter::Utf16BE, text);
    }
    return QByteArray();
}
