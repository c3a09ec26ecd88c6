#include "common/RunLock.h"

#include "common/Cp1252.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "common/NativeFile.h"
#include "common/SettingsFile.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <cerrno>

namespace {

#ifdef _WIN32
using Handle = HANDLE;
const Handle kNoHandle = INVALID_HANDLE_VALUE;

// On failure errno tells why, as the C library would.
Handle OpenLockFile(const QString& path, bool create)
{
    const Handle handle = ::CreateFileW(path.toStdWString().c_str(), GENERIC_READ | (create ? GENERIC_WRITE : 0),
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, create ? OPEN_ALWAYS : OPEN_EXISTING,
        FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        switch (::GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            errno = ENOENT;
            break;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
            errno = EACCES;
            break;
        case ERROR_DISK_FULL:
            errno = ENOSPC;
            break;
        default:
            errno = EIO;
        }
    }
    return handle;
}

// The locked range lies far past the end, so the lock never stands in the way
// of reading the file, which Windows' byte locks would otherwise forbid.
bool TryLock(Handle handle)
{
    OVERLAPPED where {};
    where.OffsetHigh = 0x7FFFFFFF;
    return ::LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &where);
}

void WriteOwner(Handle handle, const QByteArray& bytes)
{
    DWORD written = 0;
    ::SetFilePointer(handle, 0, nullptr, FILE_BEGIN);
    ::WriteFile(handle, bytes.constData(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::SetEndOfFile(handle);
}

void Release(Handle handle)
{
    ::CloseHandle(handle);
}
#else
using Handle = int;
const Handle kNoHandle = -1;

Handle OpenLockFile(const QString& path, bool create)
{
    return ::open(QFile::encodeName(path).constData(), (create ? O_RDWR | O_CREAT : O_RDONLY) | O_CLOEXEC, 0666);
}

bool TryLock(Handle handle)
{
    int result;
    do {
        result = ::flock(handle, LOCK_EX | LOCK_NB);
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

void WriteOwner(Handle handle, const QByteArray& bytes)
{
    if (::ftruncate(handle, 0) == 0 && ::pwrite(handle, bytes.constData(), static_cast<size_t>(bytes.size()), 0) < 0)
        return; // the owner's name is a courtesy to the next run; the lock holds without it
}

void Release(Handle handle)
{
    ::close(handle);
}
#endif

// "1234\nla synchronisation des paiements\n2026-12-10T09:12:00\n"
QByteArray OwnerText(const QString& job)
{
    return Cp1252::encode(QString::number(QCoreApplication::applicationPid()) + QLatin1Char('\n') + job
        + QLatin1Char('\n') + QDateTime::currentDateTime().toString(Qt::ISODate) + QLatin1Char('\n'));
}

[[noreturn]] void refuse(const QString& lockPath, bool named)
{
    QFile file(lockPath);
    const QStringList owner = named && file.open(QIODevice::ReadOnly)
        ? Cp1252::decode(file.read(4096)).split(QLatin1Char('\n'))
        : QStringList();
    const QDateTime since = owner.size() >= 3 ? QDateTime::fromString(owner.at(2), Qt::ISODate) : QDateTime();
    if (!since.isValid()) {
        throw RunLockedError(QStringLiteral("Une autre exécution de quilvanor est en cours (elle tient le verrou %1) : "
                                            "réessayez quand elle sera terminée.")
                                 .arg(QDir::toNativeSeparators(lockPath)));
    }
    throw RunLockedError(QStringLiteral("Une autre exécution de quilvanor est en cours : %1, commencée le %2 à %3 "
                                        "(processus %4). Réessayez quand elle sera terminée.")
                             .arg(owner.at(1), since.toString(QStringLiteral("dd/MM/yyyy")),
                                 since.toString(QStringLiteral("HH:mm:ss")), owner.at(0)));
}

} // namespace

QString RunLock::LockFilePath()
{
    return BesideSettingsFile(QStringLiteral(".verrou"));
}

RunLock::RunLock(const QString& job)
{
    const QString lockPath = LockFilePath();
    Handle handle = OpenLockFile(lockPath, true);
    const bool ownFile = handle != kNoHandle;
    const int lockFileError = errno;
    // A folder the town made read-only has no room for the lock file: the
    // settings file itself is locked then (the job is not named).
    if (!ownFile)
        handle = OpenLockFile(SettingsFilePath(), false);
    if (handle == kNoHandle) {
        throw FileError(QStringLiteral("Le verrou %1 ne peut pas être créé (%2) : une exécution ne peut pas "
                                       "commencer sans lui.")
                            .arg(QDir::toNativeSeparators(lockPath), Messages::fileErrorText(lockFileError)));
    }
    if (!TryLock(handle)) {
        Release(handle);
        refuse(ownFile ? lockPath : SettingsFilePath(), ownFile);
    }
    if (ownFile)
        WriteOwner(handle, OwnerText(job));
    m_handle = handle;
    m_ownFile = ownFile;
    RemoveStrayTemporary(SettingsFilePath());
}

RunLock::~RunLock()
{
    if (m_ownFile)
        WriteOwner(m_handle, QByteArray());
    Release(m_handle);
}
