#include "support/SocatListener.h"

#include "support/HostPrograms.h"

#include <QRegularExpression>

#include <stdexcept>

namespace {
constexpr int kStartTimeoutMs = 30 * 1000;
}

SocatListener::SocatListener(const QStringList& addresses)
{
    // socat reports the port it listens on in its first notice, written to standard output.
    m_process = std::make_unique<HostPrograms::Background>(
        QStringList { QStringLiteral("socat"), QStringLiteral("-d"), QStringLiteral("-d"), QStringLiteral("-lf"),
            QStringLiteral("/dev/stdout") }
        + addresses);
    const QString notice = QString::fromLocal8Bit(m_process->firstLine(kStartTimeoutMs));
    const QRegularExpressionMatch listening
        = QRegularExpression(QStringLiteral("listening on .*:(\\d+)$")).match(notice.trimmed());
    m_port = listening.hasMatch() ? listening.captured(1).toInt() : 0;
    if (m_port <= 0)
        throw std::runtime_error("socat did not start: " + notice.toStdString());
}

SocatListener::~SocatListener() = default;
