#pragma once

#include <QString>

// How the portal is reached: straight, or through the town's web proxy, in a
// CONNECT tunnel whatever the portal's scheme, so that the bytes inside are
// those of a direct connection.
struct ProxyRoute {
    QString host; // the proxy's; empty for a direct connection
    int port = 0;
    QString user; // Basic authentication when set
    QString password;
    QString origin; // where the choice comes from, as the operator is told

    bool direct() const { return host.isEmpty(); }
    // "http://host:port", or "aucun" for a direct connection.
    QString shown() const;
};

struct PortalAddress;

// The route to the portal's address: the settings file's Proxy key, or the
// system's proxy settings when the key is absent (Windows' settings for the
// user, with their automatic configuration script; https_proxy, http_proxy
// and no_proxy elsewhere). An address on this computer always goes direct.
// A system proxy the program cannot use (SOCKS) is refused before anything is sent.
ProxyRoute ProxyRouteFor(const PortalAddress& address);
