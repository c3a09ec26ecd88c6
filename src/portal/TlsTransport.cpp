#include "portal/TlsTransport.h"

#include "common/Errors.h"
#include "portal/CertificateName.h"
#include "portal/ProxyTunnel.h"
#include "portal/TlsMessages.h"
#include "portal/WinsockMessages.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QSslConfiguration>
#include <QSslSocket>

namespace {

// The request's lines are gathered into TLS records up to this size before
// they go out: a record per line would leave each small segment waiting on
// the server's delayed acknowledgement (40 ms a line on the loopback).
constexpr qsizetype kSendBlock = 256 * 1024;

// An authority file is a few certificates; what lies beyond is not looked at for a key.
constexpr qint64 kLargestAuthorityFile = 4 << 20;

// The authority file's certificates: a file named but unreadable, or without
// a certificate, is refused before anything is sent.
QList<QSslCertificate> AuthoritiesOf(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        throw QuilvanorError(TlsMessages::authorityFileUnreadable(path));
    // A key pasted with the certificate would sit on every desktop: the file is refused, not used.
    QFile contents(path);
    if (!contents.open(QIODevice::ReadOnly))
        throw QuilvanorError(TlsMessages::authorityFileUnreadable(path));
    if (contents.read(kLargestAuthorityFile).contains("PRIVATE KEY-----"))
        throw QuilvanorError(TlsMessages::authorityFileHoldsAKey(path));
    const QList<QSslCertificate> certificates
        = QSslCertificate::fromPath(path, QSsl::Pem, QSslCertificate::PatternSyntax::FixedString);
    if (certificates.isEmpty())
        throw QuilvanorError(TlsMessages::authorityFileWithoutCertificate(path));
    return certificates;
}

QSslConfiguration VerifyingConfiguration(const QList<QSslCertificate>& extraAuthorities)
{
    QSslConfiguration configuration = QSslConfiguration::defaultConfiguration();
    configuration.setProtocol(QSsl::TlsV1_2OrLater);
    configuration.setPeerVerifyMode(QSslSocket::VerifyPeer);
    if (!extraAuthorities.isEmpty()) {
        // Read once: the system's list does not change while the program runs.
        static const QList<QSslCertificate> systemAuthorities = QSslConfiguration::systemCaCertificates();
        configuration.setCaCertificates(systemAuthorities + extraAuthorities);
    }
    return configuration;
}

// The Windows Sockets number of a connection's failure after the handshake.
int SocketErrorNumber(QAbstractSocket::SocketError error)
{
    switch (error) {
    case QAbstractSocket::SocketTimeoutError:
        return WinsockMessages::kTimedOut;
    case QAbstractSocket::ConnectionRefusedError:
        return WinsockMessages::kConnectionRefused;
    default:
        return WinsockMessages::kConnectionReset;
    }
}

// Qt reports the server's closing alert and the plain end of the connection
// under one error; only its text tells them apart. The connection's own end
// bears the socket layer's text, in whatever language Qt's texts are loaded.
bool IsTheConnectionsOwnEnd(const QString& errorText)
{
    static constexpr const char* kClosed = "The remote host closed the connection";
    return errorText == QLatin1String(kClosed)
        || errorText == QCoreApplication::translate("QNativeSocketEngine", kClosed)
        || errorText == QCoreApplication::translate("QAbstractSocket", kClosed);
}

} // namespace

TlsTransport::TlsTransport(QString authorityFile, ProxyRoute route)
    : m_authorityFile(std::move(authorityFile))
    , m_route(std::move(route))
{
}

TlsTransport::~TlsTransport()
{
    if (m_socket) {
        m_closingOurSide = true;
        m_socket->abort();
    }
}

void TlsTransport::open(const QString& host, int port, int connectMs)
{
    if (!QSslSocket::supportsSsl())
        throw QuilvanorError(TlsMessages::unavailable(QSslSocket::activeBackend()));
    const QList<QSslCertificate> authorities = AuthoritiesOf(m_authorityFile);

    const SocketPlatform::Handle connection = OpenPortalConnection(host, port, connectMs, m_route);
    m_socket = std::make_unique<QSslSocket>();
    m_socket->setSslConfiguration(VerifyingConfiguration(authorities));
    if (!m_socket->setSocketDescriptor(static_cast<qintptr>(connection))) {
        SocketPlatform::Close(connection);
        throw QuilvanorError(TlsMessages::unavailable(m_socket->errorString()));
    }
    // The server's closing alert leaves the connection standing with OpenSSL:
    // without closing it here, a wait for bytes would last until its bound.
    QObject::connect(m_socket.get(), &QSslSocket::errorOccurred, [this](QAbstractSocket::SocketError error) {
        if (error != QAbstractSocket::RemoteHostClosedError) {
            // A failure of the TLS layer (a damaged record, Schannel closing
            // before it reports it) is no announced end, whatever came before.
            m_brokenOff = true;
            m_closingAlert = false;
            return;
        }
        m_closedByServer = true;
        if (!m_brokenOff && !IsTheConnectionsOwnEnd(m_socket->errorString()))
            m_closingAlert = true;
        closeOurSide();
    });
    // Schannel answers the closing alert by closing the connection itself,
    // with no error: a close that neither the connection's end, nor a
    // failure, nor this side began.
    QObject::connect(m_socket.get(), &QSslSocket::stateChanged, [this](QAbstractSocket::SocketState state) {
        if (state == QAbstractSocket::ConnectedState || m_closedByServer || m_closingOurSide || m_brokenOff)
            return;
        m_closedByServer = true;
        m_closingAlert = true;
    });
    handshake(host, connectMs);
}

void TlsTransport::handshake(const QString& host, int connectMs)
{
    m_socket->setPeerVerifyName(host);
    m_socket->startClientEncryption();
    if (m_socket->waitForEncrypted(connectMs)) {
        if (!CertificateIsForHost(m_socket->peerCertificate(), host))
            throw QuilvanorError(TlsMessages::certificateNotForHost(m_socket->peerCertificate(), host));
        return;
    }
    const QList<QSslError> certificateErrors = m_socket->sslHandshakeErrors();
    if (!certificateErrors.isEmpty())
        throw QuilvanorError(TlsMessages::certificateRefused(certificateErrors, host));
    if (m_socket->error() == QAbstractSocket::SocketTimeoutError)
        throw QuilvanorError(TlsMessages::handshakeTimedOut((connectMs + 999) / 1000));
    throw QuilvanorError(TlsMessages::handshakeFailed(m_socket->errorString()));
}

void TlsTransport::send(std::span<const QByteArrayView> pieces, int timeoutMs)
{
    for (const QByteArrayView piece : pieces) {
        for (qsizetype done = 0; done < piece.size();) {
            const qsizetype count = std::min(kSendBlock, piece.size() - done);
            if (m_socket->write(piece.data() + done, count) != count)
                failTransfer();
            done += count;
            if (m_socket->bytesToWrite() >= kSendBlock)
                waitUntilWritten(timeoutMs);
        }
    }
}

void TlsTransport::flush(int timeoutMs)
{
    waitUntilWritten(timeoutMs);
}

void TlsTransport::waitUntilWritten(int timeoutMs)
{
    while (m_socket->bytesToWrite() > 0 || m_socket->encryptedBytesToWrite() > 0) {
        if (!m_socket->waitForBytesWritten(timeoutMs))
            failTransfer();
    }
}

qsizetype TlsTransport::receive(char* buffer, qsizetype maxSize, int timeoutMs)
{
    while (m_socket->bytesAvailable() == 0) {
        if (m_closedByServer)
            return 0;
        if (m_socket->state() != QAbstractSocket::ConnectedState
            || (!m_socket->waitForReadyRead(timeoutMs) && m_socket->bytesAvailable() == 0 && !m_closedByServer))
            failTransfer();
    }
    const qint64 count = m_socket->read(buffer, maxSize);
    if (count < 0)
        failTransfer();
    return count;
}

void TlsTransport::shutdownSend()
{
    // Ends the TLS session with its closing alert before the connection closes.
    closeOurSide();
}

void TlsTransport::closeOurSide()
{
    m_closingOurSide = true;
    m_socket->disconnectFromHost();
}

void TlsTransport::failTransfer()
{
    ThrowSocketError(SocketErrorNumber(m_socket->error()));
}
