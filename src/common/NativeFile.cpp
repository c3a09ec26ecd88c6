#include "common/NativeFile.h"

#include <QFile>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <cerrno>

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

bool SyncToDisk(std::FILE* file)
{
#ifdef _WIN32
    const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file)));
    if (::FlushFileBuffers(handle))
        return true;
    errno = EIO;
    return false;
#else
    // A file system that cannot sync (EINVAL) keeps nothing back to sync.
    return ::fsync(::fileno(file)) == 0 || errno == EINVAL;
#endif
}

void SyncFolder(const QString& path)
{
#ifdef _WIN32
    Q_UNUSED(path);
#else
    const int folder = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder < 0)
        return;
    ::fsync(folder);
    ::close(folder);
#endif
}
