#pragma once

#include <QString>

#include <cstdio>

// Opens a file by a name of any characters, whatever the system's narrow code
// page, for binary writing; on failure answers null with errno set.
std::FILE* OpenForWriting(const QString& path);

// Asks the system to put the file's written bytes on the disk itself (they
// are already flushed from the stream); false with errno set on failure.
bool SyncToDisk(std::FILE* file);

// The same for a folder's entries, after a file in it was renamed; nothing
// to do where the system keeps them with the file (Windows).
void SyncFolder(const QString& path);
