#include "PortalStandin.h"

#include "portal/FonctionsVendrolles.h"
#include "support/HostPrograms.h"
#include "support/SqliteShell.h"

#include <QDir>
#include <QTemporaryDir>

#include <stdexcept>

namespace {

constexpr int kStartTimeoutMs = 60 * 1000;

} // namespace

PortalStandin::PortalStandin()
    : PortalStandin(Options {})
{
}

PortalStandin::PortalStandin(const Options& options)
{
    QTemporaryDir dir;
    dir.setAutoRemove(false);
    m_dir = dir.path();
    m_dbPath = QDir(m_dir).filePath(QStringLiteral("portal.db"));

    using HostPrograms::HostPath;
    QStringList arguments { HostPrograms::Tool(QStringLiteral("portal-standin")), QStringLiteral("--port"),
        QStringLiteral("0"), QStringLiteral("--db"), HostPath(m_dbPath) };
    if (options.sink)
        arguments << QStringLiteral("--sink");
    if (!options.seedFromKorva8.isEmpty())
        arguments << QStringLiteral("--seed-from") << HostPath(options.seedFromKorva8);
    if (options.seed)
        arguments << QStringLiteral("--seed");
    // Its first line of output is its port.
    m_process = std::make_unique<HostPrograms::Background>(arguments);
    m_port = m_process->firstLine(kStartTimeoutMs).toInt();
    if (m_port <= 0) {
        m_process.reset();
        QDir(m_dir).removeRecursively();
        throw std::runtime_error("the portal stand-in did not start");
    }
    m_previousBaseUrl = PortalBaseUrl();
    SetPortalBaseUrl(baseUrl());
}

PortalStandin::~PortalStandin()
{
    SetPortalBaseUrl(m_previousBaseUrl);
    m_process.reset();
    QDir(m_dir).removeRecursively();
}

QString PortalStandin::baseUrl() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

QStringList PortalStandin::rows(const QString& sql) const
{
    return SqliteShell::Rows(m_dbPath, sql);
}

QString PortalStandin::scalar(const QString& sql) const
{
    return SqliteShell::Scalar(m_dbPath, sql);
}

void PortalStandin::execute(const QString& sql) const
{
    SqliteShell::Execute(m_dbPath, sql);
}
