#pragma once

#include <QByteArray>
#include <QString>

#include <cstdio>

// Opens a file by a name of any characters, whatever the system's narrow code
// page, for binary writing at its end (a file of that name already there is
// added to, never cut); on failure answers null with errno set.
std::FILE* OpenForAppending(const QString& path);

// Writes a small file whole. The bytes go to a temporary file beside it
// (TemporaryPathFor), which replaces the file, keeping its permissions and
// owner, only once it is all on the disk: however the program ends, the file
// is the old one or the new one. Where the folder cannot hold the temporary
// file (a town may grant write on the file alone), the file is rewritten in
// place in one write followed by a flush to the disk. False with errno set
// on failure.
bool WriteWholeFile(const QString& path, const QByteArray& bytes);

// The temporary file WriteWholeFile writes first; one left by a run that was
// killed is removed by RemoveStrayTemporary.
QString TemporaryPathFor(const QString& path);
void RemoveStrayTemporary(const QString& path);

// Asks the system to put the file's written bytes on the disk itself (they
// are already flushed from the stream); false with errno set on failure.
bool SyncToDisk(std::FILE* file);

// The same for a folder's entries, after a file in it was renamed; nothing
// to do where the system keeps them with the file (Windows).
void SyncFolder(const QString& path);
