#pragma once

#include "portal/ProxyRoute.h"

#include <QString>

#include <optional>

// Where the portal is, for one request: the settings file's [Portail] section
// ("Adresse=https://famille.ville.fr"), or the address built into the program
// when the file has no such section (a section without an address is an error). The section may also name, with the key
// AutoriteCertification, a PEM file of authorities trusted for https besides
// the system's own: a path absolute or relative to the program's folder; and
// with the keys Proxy, ProxyUtilisateur and ProxyMotDePasse, the town's web proxy.
struct PortalAddress {
    QString baseUrl; // "http[s]://host[:port]", no path
    QString authorityFile; // absolute path, or empty
    bool fromSettingsFile = false;
    // The section's Proxy key ("aucun", or "http://host:port" of the town's
    // proxy); nothing when it leaves the choice to the system.
    std::optional<ProxyRoute> proxy;
    QString proxyUser; // ProxyUtilisateur and ProxyMotDePasse: Basic authentication
    QString proxyPassword;
};

// Reads the settings file each time, so an operator's change holds from the
// next request on. A wrong address (a scheme other than http or https, an
// empty or malformed host, a port out of range, a path), or a wrong proxy
// address, is refused with the operator's message before anything is sent.
PortalAddress PortalAddressInForce();

// Replaces the address built into the program; only the tests and benchmarks do.
void SetBuiltInPortalBaseUrl(const QString& baseUrl);
