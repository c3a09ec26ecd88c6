#include "support/FullFileSystem.h"

#include <QFile>

#ifndef _WIN32
#include <sys/mount.h>
#include <unistd.h>
#endif

FullFileSystem::FullFileSystem()
{
#ifdef _WIN32
    m_reason = QStringLiteral("a full file system is made with a tmpfs, on Linux");
#else
    if (::geteuid() != 0) {
        m_reason = QStringLiteral("a full file system is a tmpfs, which only root can mount");
        return;
    }
    m_mounted = ::mount("tmpfs", QFile::encodeName(m_dir.path()).constData(), "tmpfs", 0, "size=256k") == 0;
    if (!m_mounted)
        m_reason = QStringLiteral("the tmpfs could not be mounted: %1").arg(QString::fromLocal8Bit(strerror(errno)));
#endif
}

FullFileSystem::~FullFileSystem()
{
#ifndef _WIN32
    if (m_mounted)
        ::umount2(QFile::encodeName(m_dir.path()).constData(), MNT_DETACH);
#endif
}

void FullFileSystem::fill()
{
    QFile filler(m_dir.filePath(QStringLiteral("filler")));
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, 'x');
    while (filler.write(block) > 0) { }
    const QByteArray byte(1, 'x');
    while (filler.write(byte) > 0) { }
}
