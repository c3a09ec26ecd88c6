#pragma once

#include <string>

// The portal's tables, as the program's statements name them, and the rules
// that make SQLite take those statements as the portal's MySQL database does
// (non-strict mode): a quoted number fills a numeric column as that number,
// '' or any other text fills it as the number it begins with (0 for ''), and
// the payment id '' or NULL takes the next free id, as an auto-increment does.
// Insert statements only: the program's batches update nothing.
std::string PortalSchemaSql();
