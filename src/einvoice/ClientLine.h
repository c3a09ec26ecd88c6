#pragma once

#include "einvoice/ClientRecords.h"

#include <QString>

// A client as one fixed-width line of the client list report: number to 6
// characters, name to 40, the address's first 65 characters to 66 (so at
// least one space follows it), postal code to 7, then the city. Only the
// address is cut; a longer number, name or postal code pushes the rest right.
QString ClientLine(const ClientRecord& client);
