#include "portal/CertificateName.h"

#include <QHostAddress>
#include <QSslCertificate>
#include <QStringList>

namespace {

QString Normalised(QString name)
{
    if (name.endsWith(QLatin1Char('.')))
        name.chop(1);
    return name.toLower();
}

// A name of the certificate against the host's: equal, or a wildcard for the
// whole first label of a name of three labels or more ("*.exemple.fr" is for
// "portail.exemple.fr", not for "exemple.fr" nor "a.portail.exemple.fr").
bool NameMatches(const QString& pattern, const QString& host)
{
    const QString wanted = Normalised(pattern);
    if (wanted.isEmpty() || host.isEmpty())
        return false;
    if (!wanted.startsWith(QLatin1String("*.")))
        return !wanted.contains(QLatin1Char('*')) && wanted == host;
    const QString suffix = wanted.mid(1); // ".exemple.fr"
    if (suffix.contains(QLatin1Char('*')) || suffix.count(QLatin1Char('.')) < 2)
        return false;
    const qsizetype firstDot = host.indexOf(QLatin1Char('.'));
    return firstDot > 0 && host.mid(firstDot) == suffix;
}

} // namespace

bool CertificateIsForHost(const QSslCertificate& certificate, const QString& host)
{
    const auto alternatives = certificate.subjectAlternativeNames();
    const QHostAddress address(host);
    if (!address.isNull()) {
        for (const QString& entry : alternatives.values(QSsl::IpAddressEntry)) {
            if (QHostAddress(entry).isEqual(address))
                return true;
        }
        return false;
    }
    const QString name = Normalised(host);
    const QStringList dnsNames = alternatives.values(QSsl::DnsEntry);
    const QStringList candidates
        = dnsNames.isEmpty() ? certificate.subjectInfo(QSslCertificate::CommonName) : dnsNames;
    for (const QString& candidate : candidates) {
        if (NameMatches(candidate, name))
            return true;
    }
    return false;
}
