#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// A Windows private profile (INI) file: "[Section]" lines, each followed by
// "Key=Value" lines. Section and key names compare without regard to letter
// case; blanks around names and values are not part of them, nor are quotes
// around a whole value; the first section and the first key of a name count.
// The file's encoding and line ends are those ProfileText reads and keeps.
// A file that exists but cannot be read fails every call with its cause.
namespace PrivateProfile {

// The value of a key, or the default when the file, the section or the key is missing.
QString ReadString(const QString& path, const QString& section, const QString& key, const QString& fallback);

// The values of the section's keys asked for, in their order (empty where a
// key is missing), from one read of the file; nothing when the file has no
// such section.
std::optional<QStringList> ReadSection(const QString& path, const QString& section, const QStringList& keys);

// Writes the key's value at once, replacing the key's earlier value, adding
// the key at the end of its section or the section at the end of the file,
// and keeping every other byte of the file as it was. The file is written as
// WriteWholeFile writes it. Fails with "Impossible d'écrire dans %s".
void WriteString(const QString& path, const QString& section, const QString& key, const QString& value);

} // namespace PrivateProfile
