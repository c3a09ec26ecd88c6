#include "portal/HostAddress.h"

#include "portal/SocketPlatform.h"

#include <QStringList>

#include <optional>

namespace {

constexpr std::uint32_t kLoopback = 0x7F000001;

// Four dot-separated decimal numbers from 0 to 255.
std::optional<std::uint32_t> DottedQuad(const QString& host)
{
    const QStringList parts = host.split(QLatin1Char('.'));
    if (parts.size() != 4)
        return std::nullopt;
    std::uint32_t address = 0;
    for (const QString& part : parts) {
        if (part.isEmpty() || part.size() > 3)
            return std::nullopt;
        unsigned value = 0;
        for (const QChar c : part) {
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return std::nullopt;
            value = value * 10 + static_cast<unsigned>(c.unicode() - '0');
        }
        if (value > 255)
            return std::nullopt;
        address = (address << 8) | value;
    }
    return address;
}

} // namespace

std::uint32_t ResolveHostAddress(const QString& host)
{
    if (host.compare(QLatin1String("LOCALHOST"), Qt::CaseInsensitive) == 0)
        return kLoopback;
    if (const auto address = DottedQuad(host))
        return *address;
    return SocketPlatform::LookupHostIPv4(host);
}

bool IsLoopbackHost(const QString& host)
{
    QString name = host.endsWith(QLatin1Char('.')) ? host.chopped(1) : host;
    if (name.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
        || name.endsWith(QLatin1String(".localhost"), Qt::CaseInsensitive))
        return true;
    const auto address = DottedQuad(name);
    return address && (*address >> 24) == 127;
}
