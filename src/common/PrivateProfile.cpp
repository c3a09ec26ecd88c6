#include "common/PrivateProfile.h"

#include "common/Errors.h"
#include "common/Messages.h"
#include "common/NativeFile.h"
#include "common/ProfileText.h"

#include <QDir>
#include <QStringList>

#include <optional>

namespace {

// The file's lines, each with its own line end (the last one may have none).
class ProfileLines {
public:
    static ProfileLines Load(const QString& path) { return ProfileLines(ProfileText::Load(path)); }

    qsizetype count() const { return m_text.lines.size(); }

    // A line without its line end.
    QString content(qsizetype i) const
    {
        QString line = m_text.lines.at(i);
        while (line.endsWith(QLatin1Char('\n')) || line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        return line;
    }

    // The section a "[name]" line opens, or nothing.
    std::optional<QString> sectionName(qsizetype i) const
    {
        const QString line = content(i).trimmed();
        if (!line.startsWith(QLatin1Char('[')))
            return std::nullopt;
        const qsizetype close = line.indexOf(QLatin1Char(']'));
        return (close < 0 ? line.mid(1) : line.mid(1, close - 1)).trimmed();
    }

    // The key of a "key=value" line, or nothing.
    std::optional<QString> keyName(qsizetype i) const
    {
        const QString line = content(i);
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals < 0 || sectionName(i))
            return std::nullopt;
        return line.left(equals).trimmed();
    }

    QString value(qsizetype i) const
    {
        const QString line = content(i);
        QString value = line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
        const bool quoted = value.size() >= 2 && value.front() == value.back()
            && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''));
        return quoted ? value.mid(1, value.size() - 2) : value;
    }

    // The line that opens the section, or nothing; the first one counts.
    std::optional<qsizetype> findSection(const QString& section) const
    {
        for (qsizetype i = 0; i < count(); ++i) {
            const std::optional<QString> name = sectionName(i);
            if (name && name->compare(section, Qt::CaseInsensitive) == 0)
                return i;
        }
        return std::nullopt;
    }

    // The line after the section's last line.
    qsizetype sectionEnd(qsizetype header) const
    {
        qsizetype i = header + 1;
        while (i < count() && !sectionName(i))
            ++i;
        return i;
    }

    std::optional<qsizetype> findKey(qsizetype header, const QString& key) const
    {
        const qsizetype end = sectionEnd(header);
        for (qsizetype i = header + 1; i < end; ++i) {
            const std::optional<QString> name = keyName(i);
            if (name && name->compare(key, Qt::CaseInsensitive) == 0)
                return i;
        }
        return std::nullopt;
    }

    void replace(qsizetype i, const QString& content)
    {
        const QString& old = m_text.lines.at(i);
        m_text.lines[i] = content + old.mid(this->content(i).size());
    }

    // Inserts a whole line before line i, ending the line before it first.
    void insert(qsizetype i, const QString& content)
    {
        if (i > 0 && this->content(i - 1).size() == m_text.lines.at(i - 1).size())
            m_text.lines[i - 1] += m_text.lineEnd;
        m_text.lines.insert(i, content + m_text.lineEnd);
    }

    QByteArray bytes() const { return m_text.bytes(); }

private:
    explicit ProfileLines(ProfileText text)
        : m_text(std::move(text))
    {
    }

    ProfileText m_text;
};

QString keyLine(const QString& key, const QString& value)
{
    return key + QLatin1Char('=') + value;
}

[[noreturn]] void cannotWrite(const QString& path)
{
    throw FileError(Messages::cannotWrite(QDir::toNativeSeparators(path)));
}

} // namespace

namespace PrivateProfile {

QString ReadString(const QString& path, const QString& section, const QString& key, const QString& fallback)
{
    const ProfileLines lines = ProfileLines::Load(path);
    const std::optional<qsizetype> header = lines.findSection(section);
    if (!header)
        return fallback;
    const std::optional<qsizetype> line = lines.findKey(*header, key);
    return line ? lines.value(*line) : fallback;
}

std::optional<QStringList> ReadSection(const QString& path, const QString& section, const QStringList& keys)
{
    const ProfileLines lines = ProfileLines::Load(path);
    const std::optional<qsizetype> header = lines.findSection(section);
    if (!header)
        return std::nullopt;
    QStringList values;
    for (const QString& key : keys) {
        const std::optional<qsizetype> line = lines.findKey(*header, key);
        values.append(line ? lines.value(*line) : QString());
    }
    return values;
}

void WriteString(const QString& path, const QString& section, const QString& key, const QString& value)
{
    // A file that exists but cannot be read is not written over: the read fails first.
    ProfileLines lines = ProfileLines::Load(path);
    const std::optional<qsizetype> header = lines.findSection(section);
    if (!header) {
        lines.insert(lines.count(), QLatin1Char('[') + section + QLatin1Char(']'));
        lines.insert(lines.count(), keyLine(key, value));
    } else if (const std::optional<qsizetype> line = lines.findKey(*header, key)) {
        lines.replace(*line, keyLine(key, value));
    } else {
        // After the section's last line that is not blank.
        qsizetype after = lines.sectionEnd(*header);
        while (after > *header + 1 && lines.content(after - 1).trimmed().isEmpty())
            --after;
        lines.insert(after, keyLine(key, value));
    }
    if (!WriteWholeFile(path, lines.bytes()))
        cannotWrite(path);
}

} // namespace PrivateProfile
