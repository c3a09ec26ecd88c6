#pragma once

#include <QList>
#include <QString>

class QSslCertificate;
class QSslError;

// What the operator reads when a connection to an https portal fails: what
// failed, with the names and dates that say why.
namespace TlsMessages {

QString unavailable(const QString& detail);
QString authorityFileUnreadable(const QString& path);
QString authorityFileWithoutCertificate(const QString& path);
QString authorityFileHoldsAKey(const QString& path);
QString handshakeTimedOut(int seconds);
// The server closed or answered something other than TLS 1.2 or later.
QString handshakeFailed(const QString& detail);
// The certificate the server showed is refused: the first of its errors that
// the operator can act on, named with the certificate's issuer, names or dates.
QString certificateRefused(const QList<QSslError>& errors, const QString& host);
// The certificate is not made out for the host the address names.
QString certificateNotForHost(const QSslCertificate& certificate, const QString& host);

} // namespace TlsMessages
