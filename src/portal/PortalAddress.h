#pragma once

#include <QString>

// Where the portal is, for one request: the settings file's [Portail] section
// ("Adresse=https://famille.ville.fr"), or the address built into the program
// when the file has no such section (a section without an address is an error). The section may also name, with the key
// AutoriteCertification, a PEM file of authorities trusted for https besides
// the system's own: a path absolute or relative to the program's folder.
struct PortalAddress {
    QString baseUrl; // "http[s]://host[:port]", no path
    QString authorityFile; // absolute path, or empty
    bool fromSettingsFile = false;
};

// Reads the settings file each time, so an operator's change holds from the
// next request on. A wrong address (a scheme other than http or https, an
// empty or malformed host, a port out of range, a path) is refused with the
// operator's message before anything is sent.
PortalAddress PortalAddressInForce();

// Replaces the address built into the program; only the tests and benchmarks do.
void SetBuiltInPortalBaseUrl(const QString& baseUrl);
