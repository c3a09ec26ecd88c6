#include "portal/ProxyRoute.h"

#include "common/Errors.h"
#include "portal/HostAddress.h"
#include "portal/HttpUrl.h"
#include "portal/PortalAddress.h"

#include <QNetworkProxyFactory>
#include <QUrl>

namespace {

// What the system says for the address: its first proxy that can carry a
// tunnel, or a direct connection where it says so first.
ProxyRoute SystemRouteFor(const QString& baseUrl)
{
    ProxyRoute route;
    route.origin = QStringLiteral("réglages de proxy du système");
    const QList<QNetworkProxy> proxies
        = QNetworkProxyFactory::systemProxyForQuery(QNetworkProxyQuery(QUrl(baseUrl + QLatin1Char('/'))));
    for (const QNetworkProxy& proxy : proxies) {
        switch (proxy.type()) {
        case QNetworkProxy::NoProxy:
        case QNetworkProxy::DefaultProxy:
            return route;
        case QNetworkProxy::HttpProxy:
        case QNetworkProxy::HttpCachingProxy:
            route.host = proxy.hostName();
            route.port = proxy.port();
            route.user = proxy.user();
            route.password = proxy.password();
            return route;
        default:
            break;
        }
    }
    if (proxies.isEmpty())
        return route;
    throw QuilvanorError(QStringLiteral("Les réglages de proxy du système désignent pour le portail un relais SOCKS "
                                        "(%1:%2), que le programme ne sait pas employer : rien n'a été envoyé. Donnez "
                                        "le proxy web de la ville (Proxy=http://hôte:port) ou Proxy=aucun dans la "
                                        "section [Portail] du fichier de paramètres.")
                             .arg(proxies.front().hostName())
                             .arg(proxies.front().port()));
}

} // namespace

QString ProxyRoute::shown() const
{
    return direct() ? QStringLiteral("aucun") : QStringLiteral("http://%1:%2").arg(host).arg(port);
}

ProxyRoute ProxyRouteFor(const PortalAddress& address)
{
    if (IsLoopbackHost(ParseHttpUrl(address.baseUrl).host)) {
        ProxyRoute route;
        route.origin = QStringLiteral("le portail est sur cet ordinateur : il est joint directement");
        return route;
    }
    ProxyRoute route = address.proxy ? *address.proxy : SystemRouteFor(address.baseUrl);
    if (!route.direct() && !address.proxyUser.isEmpty()) {
        route.user = address.proxyUser;
        route.password = address.proxyPassword;
    }
    return route;
}
