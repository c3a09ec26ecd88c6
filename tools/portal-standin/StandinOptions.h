#pragma once

#include <optional>
#include <string>

// portal-standin --port N --db PATH [--sink] [--seed-from KORVA8DB] [--seed]
struct StandinOptions {
    int port = 0; // 0: a free port, printed on the first line of output
    std::string database; // the portal's own SQLite database
    bool sink = false; // export batches are accepted and discarded
    std::string seedFrom; // a KORVA 8 sample base to seed from
    bool seed = false; // seed from a sample base of its own
};

// The options, or nothing (with the reason on stderr) when the command line is wrong.
std::optional<StandinOptions> ParseStandinOptions(int argc, char** argv);
