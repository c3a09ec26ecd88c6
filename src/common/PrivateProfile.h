#pragma once

#include <QString>

// A Windows private profile (INI) file: "[Section]" lines, each followed by
// "Key=Value" lines. Section and key names compare without regard to letter
// case; blanks around names and values are not part of them, nor are quotes
// around a whole value. Text is Windows-1252.
namespace PrivateProfile {

// The value of a key, or the default when the file, the section or the key is
// missing (or the file cannot be read).
QString ReadString(const QString& path, const QString& section, const QString& key, const QString& fallback);

// Writes the key's value at once, replacing the key's earlier value, adding
// the key at the end of its section or the section at the end of the file,
// and keeping every other line of the file as it was. The file is replaced
// whole, only once the new one is wholly on the disk. Fails with
// "Impossible d'écrire dans %s", the old file left as it was.
void WriteString(const QString& path, const QString& section, const QString& key, const QString& value);

} // namespace PrivateProfile
