#pragma once

#include <QString>

#include <cstdint>

// The IPv4 address (host byte order) of the host named in a URL: "localhost"
// in any case and dotted quads are read without asking the name service.
std::uint32_t ResolveHostAddress(const QString& host);

// Whether the host, as the address writes it, is this computer: "localhost",
// a name under "localhost", or an IPv4 address of 127.0.0.0/8. No name is
// looked up: where a proxy serves the town, the name service may know no
// outside name.
bool IsLoopbackHost(const QString& host);
