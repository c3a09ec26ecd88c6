#pragma once

#include <optional>
#include <string>
#include <string_view>

// The bytes of one field of a form-encoded body ("+" a space, "%XX" a byte),
// or nothing when the body has no such field. Line ends after the form line
// are not part of it. Only the named field is decoded: export batches run to
// tens of megabytes.
std::optional<std::string> FormField(std::string_view body, std::string_view name);
