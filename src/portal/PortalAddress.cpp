#include "portal/PortalAddress.h"

#include "common/Errors.h"
#include "common/PrivateProfile.h"
#include "common/SettingsFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

const QString kSection = QStringLiteral("Portail");
const QString kAddressKey = QStringLiteral("Adresse");
const QString kAuthorityKey = QStringLiteral("AutoriteCertification");
const QString kProxyKey = QStringLiteral("Proxy");
const QString kProxyUserKey = QStringLiteral("ProxyUtilisateur");
const QString kProxyPasswordKey = QStringLiteral("ProxyMotDePasse");

QString& BuiltInAddress()
{
    static QString baseUrl = QString::fromUtf8(QUILVANOR_PORTAL_BASE_URL);
    return baseUrl;
}

bool IsIPv4(const QString& host)
{
    static const QRegularExpression quad(QStringLiteral("^(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})\\.(\\d{1,3})$"));
    const QRegularExpressionMatch match = quad.match(host);
    if (!match.hasMatch())
        return false;
    for (int i = 1; i <= 4; ++i) {
        if (match.captured(i).toInt() > 255)
            return false;
    }
    return true;
}

// Labels of letters, digits and hyphens, neither starting nor ending with a
// hyphen; the last one is not all digits (that would be a mistyped address).
bool IsHostName(const QString& host)
{
    static const QRegularExpression name(
        QStringLiteral("^([A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)(\\.[A-Za-z0-9]([A-Za-z0-9-]{0,61}[A-Za-z0-9])?)*$"));
    static const QRegularExpression digitsOnly(QStringLiteral("(^|\\.)\\d+$"));
    return host.size() <= 253 && name.match(host).hasMatch() && !digitsOnly.match(host).hasMatch();
}

// Where a path, a query or a fragment would begin.
const QRegularExpression& PathStart()
{
    static const QRegularExpression start(QStringLiteral("[/?#\\\\]"));
    return start;
}

// The address as a message may show it: a password written in it stays out.
QString ShownAddress(const QString& address)
{
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    const qsizetype hostStart = schemeEnd < 0 ? 0 : schemeEnd + 3;
    const qsizetype pathStart = address.indexOf(PathStart(), hostStart);
    const qsizetype at = address.lastIndexOf(QLatin1Char('@'), pathStart < 0 ? -1 : pathStart);
    if (at < hostStart)
        return address;
    return address.left(hostStart) + QStringLiteral("…") + address.mid(at);
}

// Why "host[:port]" (what follows the scheme) cannot be used, or nothing when it can.
QString HostAndPortFault(QString rest, bool portRequired)
{
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1); // "https://famille.ville.fr/" names the same server
    const qsizetype pathStart = rest.indexOf(PathStart());
    if (pathStart >= 0)
        return QStringLiteral("elle ne doit pas contenir de chemin (« %1 »)").arg(rest.mid(pathStart));
    if (rest.contains(QLatin1Char('@')))
        return QStringLiteral("elle ne doit contenir ni nom d'utilisateur ni mot de passe (« …@ »)");
    if (rest.startsWith(QLatin1Char('[')))
        return QStringLiteral("les adresses IPv6 ne sont pas prises en charge : donnez le nom du serveur ou son "
                              "adresse IPv4");
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    const QString host = colon < 0 ? rest : rest.left(colon);
    if (host.isEmpty())
        return QStringLiteral("le nom du serveur est vide");
    if (!IsIPv4(host) && !IsHostName(host))
        return QStringLiteral("« %1 » n'est ni un nom de serveur ni une adresse IPv4").arg(host);
    if (colon < 0)
        return portRequired ? QStringLiteral("le port manque (http://hôte:port)") : QString();
    bool isNumber = false;
    const int port = rest.mid(colon + 1).toInt(&isNumber);
    if (!isNumber || port < 1 || port > 65535 || !rest.mid(colon + 1).front().isDigit())
        return QStringLiteral("le port doit être un nombre de 1 à 65535");
    return QString();
}

QString SchemeOf(const QString& address)
{
    const qsizetype schemeEnd = address.indexOf(QLatin1String("://"));
    return schemeEnd < 0 ? QString() : address.left(schemeEnd).toLower();
}

// Why the portal's address cannot be used, or nothing when it can.
QString AddressFault(const QString& address)
{
    const QString scheme = SchemeOf(address);
    if (scheme != QLatin1String("http") && scheme != QLatin1String("https"))
        return QStringLiteral("elle doit commencer par http:// ou https://");
    return HostAndPortFault(address.mid(scheme.size() + 3), false);
}

// The Proxy key's route: "aucun" for none, or the proxy's "http://host:port";
// nothing when the key leaves the choice to the system.
std::optional<ProxyRoute> ProxyFromSettings(const QString& value, const QString& settingsPath)
{
    const QString where = QStringLiteral("clé Proxy de la section [Portail] de %1").arg(
        QDir::toNativeSeparators(settingsPath));
    if (value.isEmpty())
        return std::nullopt;
    ProxyRoute route;
    route.origin = where;
    if (value.compare(QLatin1String("aucun"), Qt::CaseInsensitive) == 0)
        return route;
    QString fault;
    if (SchemeOf(value) != QLatin1String("http"))
        fault = QStringLiteral("elle doit être « aucun » ou de la forme http://hôte:port (le programme joint le proxy "
                               "en http, et ouvre au travers un tunnel vers le portail)");
    else
        fault = HostAndPortFault(value.mid(7), true);
    if (!fault.isEmpty())
        throw QuilvanorError(
            QStringLiteral("L'adresse du proxy « %1 » (%2) n'est pas valide : %3. Rien n'a été envoyé.")
                .arg(ShownAddress(value), where, fault));
    QString rest = value.mid(7);
    if (rest.endsWith(QLatin1Char('/')))
        rest.chop(1);
    const qsizetype colon = rest.indexOf(QLatin1Char(':'));
    route.host = rest.left(colon);
    route.port = rest.mid(colon + 1).toInt();
    return route;
}

} // namespace

PortalAddress PortalAddressInForce()
{
    const QString settingsPath = SettingsFilePath();
    // One read: an operator's edit between two reads cannot mix two versions.
    const std::optional<QStringList> section
        = PrivateProfile::ReadSection(
            settingsPath, kSection, { kAddressKey, kAuthorityKey, kProxyKey, kProxyUserKey, kProxyPasswordKey });
    const QString address = section ? section->at(0) : QString();
    const QString authority = section ? section->at(1) : QString();
    PortalAddress inForce;
    if (section) {
        inForce.proxy = ProxyFromSettings(section->at(2), settingsPath);
        inForce.proxyUser = section->at(3);
        inForce.proxyPassword = section->at(4);
    }
    // The built-in address holds only where the file says nothing of the portal:
    // a section whose address is empty or missing would send the token elsewhere.
    if (!section) {
        inForce.baseUrl = BuiltInAddress();
    } else {
        if (address.isEmpty()) {
            throw QuilvanorError(QStringLiteral("La section [Portail] de %1 ne donne pas l'adresse du portail (la clé "
                                                "Adresse est vide ou absente) : rien n'a été envoyé. Donnez-la "
                                                "(Adresse=https://…) ou retirez la section.")
                                     .arg(QDir::toNativeSeparators(settingsPath)));
        }
        const QString fault = AddressFault(address);
        if (!fault.isEmpty()) {
            throw QuilvanorError(QStringLiteral("L'adresse du portail « %1 » (clé Adresse de la section [Portail] de %2) "
                                                "n'est pas valide : %3.")
                                     .arg(ShownAddress(address), QDir::toNativeSeparators(settingsPath), fault));
        }
        inForce.baseUrl = address.endsWith(QLatin1Char('/')) ? address.chopped(1) : address;
        inForce.fromSettingsFile = true;
    }
    if (!authority.isEmpty()) {
        // Relative to the program's folder, where the settings file is; "\\" separates folders everywhere.
        const QString path = QString(authority).replace(QLatin1Char('\\'), QLatin1Char('/'));
        inForce.authorityFile = QDir::toNativeSeparators(QFileInfo(settingsPath).dir().absoluteFilePath(path));
    }
    return inForce;
}

void SetBuiltInPortalBaseUrl(const QString& baseUrl)
{
    BuiltInAddress() = baseUrl;
}
