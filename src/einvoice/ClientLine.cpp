#include "einvoice/ClientLine.h"

namespace {

constexpr int kNumberWidth = 6;
constexpr int kNameWidth = 40;
constexpr int kAddressKept = 65;
constexpr int kAddressWidth = 66;
constexpr int kPostalCodeWidth = 7;

} // namespace

QString ClientLine(const ClientRecord& client)
{
    return client.number.leftJustified(kNumberWidth) + client.name.leftJustified(kNameWidth)
        + client.address.left(kAddressKept).leftJustified(kAddressWidth)
        + client.postalCode.leftJustified(kPostalCodeWidth) + client.city;
}
