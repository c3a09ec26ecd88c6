#include "common/NativeFile.h"

#include <QFile>

std::FILE* OpenForWriting(const QString& path)
{
#ifdef _WIN32
    // The narrow name goes through the ANSI code page, which cannot hold every
    // folder name a town gives ("Régie été – Ω"): the wide call takes any.
    return ::_wfopen(path.toStdWString().c_str(), L"wb");
#else
    return std::fopen(QFile::encodeName(path).constData(), "wb");
#endif
}
