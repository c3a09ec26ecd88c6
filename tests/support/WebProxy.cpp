#include "support/WebProxy.h"

#include "support/HostPrograms.h"
#include "support/SocatListener.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QNetworkInterface>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <stdexcept>

namespace {

constexpr int kStartTimeoutMs = 10 * 1000;

int FreeLoopbackPort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress::LocalHost, 0))
        throw std::runtime_error("no free loopback port for the test proxy");
    return probe.serverPort();
}

bool Accepts(int port)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress::LocalHost, static_cast<quint16>(port));
    return socket.waitForConnected(200);
}

} // namespace

QString OwnAddress()
{
    for (const QHostAddress& address : QNetworkInterface::allAddresses()) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol && !address.isLoopback() && !address.isLinkLocal())
            return address.toString();
    }
    return QString();
}

OwnAddressRelay::OwnAddressRelay(int loopbackPort)
    : m_listener(std::make_unique<SocatListener>(
        QStringList { QStringLiteral("TCP-LISTEN:0,bind=%1,reuseaddr,fork,nodelay").arg(OwnAddress()),
            QStringLiteral("TCP:127.0.0.1:%1,nodelay").arg(loopbackPort) }))
{
}

OwnAddressRelay::~OwnAddressRelay() = default;

QString OwnAddressRelay::url(bool tls) const
{
    return QStringLiteral("%1://%2:%3")
        .arg(tls ? QStringLiteral("https") : QStringLiteral("http"), OwnAddress())
        .arg(m_listener->port());
}

WebProxy::WebProxy()
    : WebProxy(Options())
{
}

WebProxy::WebProxy(const Options& options)
{
    if (!m_dir.isValid())
        throw std::runtime_error("no temporary folder for the test proxy");
    m_port = FreeLoopbackPort();
    QByteArray configuration = "Port " + QByteArray::number(m_port)
        + "\nListen 127.0.0.1\nTimeout 60\nMaxClients 50\nLogLevel Connect\nLogFile \""
        + HostPrograms::HostPath(m_dir.filePath(QStringLiteral("tinyproxy.log"))).toLocal8Bit() + "\"\n";
    if (!options.user.isEmpty())
        configuration += "BasicAuth " + options.user.toLatin1() + ' ' + options.password.toLatin1() + '\n';
    if (options.connectTo443Only)
        configuration += "ConnectPort 443\n";
    const QString configurationFile = m_dir.filePath(QStringLiteral("tinyproxy.conf"));
    QFile file(configurationFile);
    if (!file.open(QIODevice::WriteOnly) || file.write(configuration) != configuration.size())
        throw std::runtime_error("cannot write the test proxy's configuration");
    file.close();
    m_process = std::make_unique<HostPrograms::Background>(QStringList { QStringLiteral("tinyproxy"),
        QStringLiteral("-d"), QStringLiteral("-c"), HostPrograms::HostPath(configurationFile) });
    const QDeadlineTimer deadline(kStartTimeoutMs);
    while (!Accepts(m_port)) {
        if (deadline.hasExpired())
            throw std::runtime_error("tinyproxy did not start listening");
        QThread::msleep(20);
    }
}

WebProxy::~WebProxy() = default;

QString WebProxy::address() const
{
    return QStringLiteral("http://127.0.0.1:%1").arg(m_port);
}

ProxyRoute WebProxy::route(const QString& user, const QString& password) const
{
    ProxyRoute route;
    route.host = QStringLiteral("127.0.0.1");
    route.port = m_port;
    route.user = user;
    route.password = password;
    route.origin = QStringLiteral("proxy de test");
    return route;
}

int WebProxy::tunnelRequests() const
{
    QFile log(m_dir.filePath(QStringLiteral("tinyproxy.log")));
    if (!log.open(QIODevice::ReadOnly))
        return 0;
    return int(log.readAll().count("): CONNECT "));
}
