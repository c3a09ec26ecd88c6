#include "portal/TlsMessages.h"

#include <QDateTime>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslError>
#include <QStringList>

namespace {

const QString kRefused = QStringLiteral("Certificat du portail refusé : ");
const QString kImpossible = QStringLiteral("Connexion sécurisée au portail impossible : ");
const QString kAuthorityFile = QStringLiteral("Le fichier d'autorité de certification « %1 » "
                                              "(clé AutoriteCertification de la section [Portail]) ");

QString DateText(const QDateTime& when)
{
    return when.toLocalTime().toString(QStringLiteral("dd/MM/yyyy 'à' HH:mm"));
}

// The names a certificate is made out for: its alternative names, else its common name.
QString NamesOf(const QSslCertificate& certificate)
{
    QStringList names;
    const auto alternatives = certificate.subjectAlternativeNames();
    for (auto entry = alternatives.cbegin(); entry != alternatives.cend(); ++entry) {
        if (entry.key() == QSsl::DnsEntry || entry.key() == QSsl::IpAddressEntry)
            names << entry.value();
    }
    if (names.isEmpty())
        names = certificate.subjectInfo(QSslCertificate::CommonName);
    names.removeDuplicates();
    return names.join(QStringLiteral(", "));
}

QString IssuerOf(const QSslCertificate& certificate)
{
    const QString commonName = certificate.issuerInfo(QSslCertificate::CommonName).join(QStringLiteral(", "));
    return commonName.isEmpty() ? certificate.issuerDisplayName() : commonName;
}

bool ChainIsUntrusted(QSslError::SslError error)
{
    switch (error) {
    case QSslError::CertificateUntrusted:
    case QSslError::SelfSignedCertificate:
    case QSslError::SelfSignedCertificateInChain:
    case QSslError::UnableToGetLocalIssuerCertificate:
    case QSslError::UnableToGetIssuerCertificate:
    case QSslError::UnableToVerifyFirstCertificate:
    case QSslError::InvalidCaCertificate:
    case QSslError::CertificateRejected:
        return true;
    default:
        return false;
    }
}

const QSslError* FirstOf(const QList<QSslError>& errors, bool (*matches)(QSslError::SslError))
{
    for (const QSslError& error : errors) {
        if (matches(error.error()))
            return &error;
    }
    return nullptr;
}

} // namespace

namespace TlsMessages {

QString unavailable(const QString& detail)
{
    return kImpossible + QStringLiteral("TLS n'est pas disponible sur ce poste (%1).").arg(detail);
}

QString authorityFileUnreadable(const QString& path)
{
    return kAuthorityFile.arg(path) + QStringLiteral("est introuvable ou illisible.");
}

QString authorityFileWithoutCertificate(const QString& path)
{
    return kAuthorityFile.arg(path) + QStringLiteral("ne contient aucun certificat au format PEM.");
}

QString authorityFileHoldsAKey(const QString& path)
{
    return kAuthorityFile.arg(path)
        + QStringLiteral("contient une clé privée : il ne doit contenir que le certificat de l'autorité (le texte "
                         "entre « -----BEGIN CERTIFICATE----- » et « -----END CERTIFICATE----- »), jamais de clé. "
                         "Retirez ce fichier des postes et demandez à l'hébergeur du portail le certificat seul.");
}

QString certificateNotForHost(const QSslCertificate& certificate, const QString& host)
{
    if (QHostAddress(host).isNull())
        return kRefused + QStringLiteral("il est établi pour « %1 » et non pour « %2 ».").arg(NamesOf(certificate), host);
    return kRefused
        + QStringLiteral("il est établi pour « %1 » et non pour l'adresse IP %2, qu'il devrait porter parmi ses adresses IP.")
              .arg(NamesOf(certificate), host);
}

QString handshakeTimedOut(int seconds)
{
    return kImpossible + QStringLiteral("la négociation TLS n'a pas abouti en %1 s.").arg(seconds);
}

QString handshakeFailed(const QString& detail)
{
    return kImpossible
        + QStringLiteral("le serveur n'a pas répondu en TLS 1.2 ou plus récent sur ce port (%1).").arg(detail);
}

QString certificateRefused(const QList<QSslError>& errors, const QString& host)
{
    // In the order an operator can act on them: whom to trust, then dates, then names.
    if (const QSslError* error = FirstOf(errors, ChainIsUntrusted)) {
        return kRefused
            + QStringLiteral("son émetteur « %1 » n'est pas une autorité de confiance, ni de ce poste ni du "
                             "fichier nommé par AutoriteCertification dans la section [Portail].")
                  .arg(IssuerOf(error->certificate()));
    }
    if (const QSslError* error = FirstOf(errors, [](QSslError::SslError e) { return e == QSslError::CertificateExpired; }))
        return kRefused + QStringLiteral("il a expiré le %1.").arg(DateText(error->certificate().expiryDate()));
    if (const QSslError* error
        = FirstOf(errors, [](QSslError::SslError e) { return e == QSslError::CertificateNotYetValid; })) {
        return kRefused
            + QStringLiteral("il n'est valable qu'à partir du %1 (la date de ce poste est-elle juste ?).")
                  .arg(DateText(error->certificate().effectiveDate()));
    }
    if (const QSslError* error = FirstOf(errors, [](QSslError::SslError e) { return e == QSslError::HostNameMismatch; }))
        return certificateNotForHost(error->certificate(), host);
    return kRefused + (errors.isEmpty() ? QString() : errors.first().errorString()) + QLatin1Char('.');
}

} // namespace TlsMessages
