#include "common/NativeFile.h"

#include <QFile>
#include <QFileInfo>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cerrno>

std::FILE* OpenForAppending(const QString& path)
{
#ifdef _WIN32
    // The narrow name goes through the ANSI code page, which cannot hold every
    // folder name a town gives ("Régie été – Ω"): the wide call takes any.
    return ::_wfopen(path.toStdWString().c_str(), L"ab");
#else
    return std::fopen(QFile::encodeName(path).constData(), "ab");
#endif
}

QString TemporaryPathFor(const QString& path)
{
    return path + QStringLiteral(".nouveau");
}

void RemoveStrayTemporary(const QString& path)
{
    QFile::remove(TemporaryPathFor(path));
}

#ifdef _WIN32

namespace {

bool FlushAndClose(std::FILE* file)
{
    const bool written = std::fflush(file) == 0 && SyncToDisk(file);
    return std::fclose(file) == 0 && written;
}

bool RewriteInPlace(const std::wstring& path, const QByteArray& bytes)
{
    std::FILE* file = ::_wfopen(path.c_str(), L"r+b");
    if (!file)
        return false;
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file)
            == static_cast<std::size_t>(bytes.size())
        && std::fflush(file) == 0 && ::_chsize_s(::_fileno(file), bytes.size()) == 0;
    return FlushAndClose(file) && written;
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    const std::wstring target = path.toStdWString();
    const std::wstring temporary = TemporaryPathFor(path).toStdWString();
    std::FILE* file = ::_wfopen(temporary.c_str(), L"wb");
    if (!file)
        return errno == EACCES && RewriteInPlace(target, bytes);
    const bool written = std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), file)
        == static_cast<std::size_t>(bytes.size());
    if (!FlushAndClose(file) || !written
        || !::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        ::_wremove(temporary.c_str());
        errno = EIO;
        return false;
    }
    return true;
}

#else

namespace {

bool WriteAll(int descriptor, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(descriptor, bytes.constData() + done,
            static_cast<std::size_t>(bytes.size() - done), static_cast<off_t>(done));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += written;
    }
    return true;
}

// A file system that cannot sync (EINVAL) keeps nothing back to sync.
bool Sync(int descriptor)
{
    return ::fsync(descriptor) == 0 || errno == EINVAL;
}

bool CloseKeepingErrno(int descriptor, bool succeeded)
{
    const int error = errno;
    ::close(descriptor);
    errno = error;
    return succeeded;
}

bool RewriteInPlace(const QByteArray& path, const QByteArray& bytes)
{
    const int descriptor = ::open(path.constData(), O_WRONLY | O_CLOEXEC | O_NOFOLLOW);
    if (descriptor < 0)
        return false;
    return CloseKeepingErrno(descriptor,
        WriteAll(descriptor, bytes) && ::ftruncate(descriptor, static_cast<off_t>(bytes.size())) == 0
            && Sync(descriptor));
}

} // namespace

bool WriteWholeFile(const QString& path, const QByteArray& bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = QFile::encodeName(TemporaryPathFor(path));
    struct stat existing {};
    const bool exists = ::stat(target.constData(), &existing) == 0;
    // A file the user may not write is not replaced behind its back.
    if (exists && ::access(target.constData(), W_OK) != 0)
        return false;
    ::unlink(temporary.constData());
    const int descriptor
        = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, exists ? 0600 : 0666);
    if (descriptor < 0)
        return exists && (errno == EACCES || errno == EPERM || errno == EROFS) && RewriteInPlace(target, bytes);
    bool written = WriteAll(descriptor, bytes);
    if (written && exists) {
        // The owner first: a change of owner clears the set-id bits a mode may hold.
        if (::geteuid() == 0 && ::fchown(descriptor, existing.st_uid, existing.st_gid) != 0)
            written = false;
        written = written && ::fchmod(descriptor, existing.st_mode & 07777) == 0;
    }
    written = CloseKeepingErrno(descriptor, written && Sync(descriptor));
    if (!written || ::rename(temporary.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temporary.constData());
        errno = error;
        return false;
    }
    SyncFolder(QFileInfo(path).absolutePath());
    return true;
}

#endif

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
