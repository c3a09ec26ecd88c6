#include "StandinOptions.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace {

void PrintUsage()
{
    std::fprintf(stderr, "usage: portal-standin --port N --db PATH [--sink] [--seed-from KORVA8DB] [--seed]\n");
}

} // namespace

std::optional<StandinOptions> ParseStandinOptions(int argc, char** argv)
{
    StandinOptions options;
    bool hasPort = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--sink") {
            options.sink = true;
        } else if (arg == "--seed") {
            options.seed = true;
        } else if (arg == "--port" && hasValue) {
            char* end = nullptr;
            const long port = std::strtol(argv[++i], &end, 10);
            if (*end != '\0' || port < 0 || port > 65535) {
                std::fprintf(stderr, "portal-standin: bad port '%s'\n", argv[i]);
                return std::nullopt;
            }
            options.port = static_cast<int>(port);
            hasPort = true;
        } else if (arg == "--db" && hasValue) {
            options.database = argv[++i];
        } else if (arg == "--seed-from" && hasValue) {
            options.seedFrom = argv[++i];
        } else {
            std::fprintf(stderr, "portal-standin: unexpected argument '%s'\n", argv[i]);
            PrintUsage();
            return std::nullopt;
        }
    }
    if (!hasPort || options.database.empty()) {
        PrintUsage();
        return std::nullopt;
    }
    return options;
}
