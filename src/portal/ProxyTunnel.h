#pragma once

#include "portal/ProxyRoute.h"
#include "portal/SocketPlatform.h"

// A stream socket to the portal's host and port along the route, within the
// bound: connected straight, or through the proxy in a CONNECT tunnel (with
// Basic authentication when the route has a user), the tunnel open before it
// is returned. The proxy's reply is read up to its blank line and no further,
// so the connection then carries exactly what it would carry direct. Every
// failure of the proxy is an error saying what it answered, and nothing is
// left open.
SocketPlatform::Handle OpenPortalConnection(const QString& host, int port, int connectMs, const ProxyRoute& route);
