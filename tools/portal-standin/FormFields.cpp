#include "FormFields.h"

namespace {

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string Decode(std::string_view encoded)
{
    std::string bytes;
    bytes.reserve(encoded.size());
    for (std::size_t i = 0; i < encoded.size(); ++i) {
        const char c = encoded[i];
        if (c == '+') {
            bytes += ' ';
        } else if (c == '%' && i + 2 < encoded.size() && HexValue(encoded[i + 1]) >= 0
            && HexValue(encoded[i + 2]) >= 0) {
            bytes += static_cast<char>(HexValue(encoded[i + 1]) * 16 + HexValue(encoded[i + 2]));
            i += 2;
        } else {
            bytes += c; // a stray "%" stays as it is
        }
    }
    return bytes;
}

} // namespace

std::optional<std::string> FormField(std::string_view body, std::string_view name)
{
    while (!body.empty() && (body.back() == '\r' || body.back() == '\n'))
        body.remove_suffix(1);
    while (!body.empty()) {
        const std::size_t end = body.find('&');
        const std::string_view field = body.substr(0, end);
        const std::size_t equals = field.find('=');
        if (field.substr(0, equals) == name)
            return Decode(equals == std::string_view::npos ? std::string_view() : field.substr(equals + 1));
        if (end == std::string_view::npos)
            break;
        body.remove_prefix(end + 1);
    }
    return std::nullopt;
}
