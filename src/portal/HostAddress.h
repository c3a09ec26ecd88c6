#pragma once

#include <QString>

#include <cstdint>

// The IPv4 address (host byte order) of the host named in a URL: "localhost"
// in any case and dotted quads are read without asking the name service.
std::uint32_t ResolveHostAddress(const QString& host);
