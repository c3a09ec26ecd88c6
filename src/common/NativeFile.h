#pragma once

#include <QString>

#include <cstdio>

// Opens a file by a name of any characters, whatever the system's narrow code
// page, for binary writing; on failure answers null with errno set.
std::FILE* OpenForWriting(const QString& path);
