#pragma once

#include <QString>

class QSslCertificate;

// Whether a server's certificate is made out for the host the address names,
// as browsers decide it: a name against the certificate's DNS names when it
// has any and its common name only when it has none, a wildcard standing for
// one whole leftmost label; an IP address only against its IP entries. The
// TLS library's own check is looser (it still takes the common name beside
// DNS names, and an address spelled as a name), so this one is made too,
// before a byte of the request goes.
bool CertificateIsForHost(const QSslCertificate& certificate, const QString& host);
