#include "common/StatementLog.h"

#include "common/Cp1252.h"
#include "common/DateTexts.h"
#include "common/Errors.h"
#include "common/Messages.h"
#include "common/NativeFile.h"

#include <QDir>
#include <QList>

#include <cerrno>

namespace {

// The logs open now; every run lives on the user-interface thread.
QList<StatementLog*>& openLogs()
{
    static QList<StatementLog*> logs;
    return logs;
}

} // namespace

StatementLog::StatementLog(const QString& kind, const QString& extension)
    : m_path(FileName(kind, QDateTime::currentDateTime(), extension))
{
    // A working folder that no longer exists has no path: the log would land in the root folder.
    if (QDir::currentPath().isEmpty())
        fail(ENOENT);
    errno = 0;
    m_file = OpenForAppending(m_path);
    if (!m_file)
        fail(errno);
    openLogs().append(this);
}

StatementLog::~StatementLog()
{
    openLogs().removeOne(this);
    if (m_file)
        std::fclose(m_file);
}

QString StatementLog::FileName(const QString& kind, const QDateTime& when, const QString& extension)
{
    // The date is read before the time, both from the same instant.
    return QDir::toNativeSeparators(QDir::currentPath()) + QStringLiteral("/cantine-") + kind + QLatin1Char('-')
        + DateTexts::logNameDate(when.date()) + QLatin1Char('-') + DateTexts::logNameTime(when.time())
        + extension;
}

void StatementLog::WriteLine(const QString& statement)
{
    WriteEncodedLine(Cp1252::encode(statement));
}

void StatementLog::WriteEncodedLine(QByteArrayView statement)
{
    write(statement);
    write("\r\n");
}

void StatementLog::WriteText(QStringView text)
{
    QByteArray bytes;
    Cp1252::appendEncoded(bytes, text);
    write(bytes);
}

void StatementLog::write(QByteArrayView bytes)
{
    if (!m_file)
        fail(EBADF);
    errno = 0;
    const auto size = static_cast<std::size_t>(bytes.size());
    if (std::fwrite(bytes.data(), 1, size, m_file) != size)
        fail(errno);
}

void StatementLog::Flush()
{
    if (!m_file)
        return;
    errno = 0;
    if (std::fflush(m_file) != 0)
        fail(errno);
}

void StatementLog::FlushAll()
{
    for (StatementLog* log : openLogs())
        log->Flush();
}

void StatementLog::Close()
{
    if (!m_file)
        return;
    std::FILE* file = m_file;
    m_file = nullptr;
    openLogs().removeOne(this);
    errno = 0;
    const bool synced = std::fflush(file) == 0 && SyncToDisk(file);
    const int syncError = errno;
    if (std::fclose(file) != 0 || !synced)
        fail(synced ? errno : syncError);
}

void StatementLog::fail(int errorNumber) const
{
    throw FileError(Messages::fileErrorText(errorNumber));
}
