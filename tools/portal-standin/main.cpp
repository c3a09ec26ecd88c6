// The family portal stand-in: the portal's three endpoints over HTTP on the
// loopback, its database in SQLite. The first line of output is the port.

#include "HttpServer.h"
#include "PortalDatabase.h"
#include "PortalEndpoints.h"
#include "PortalSeed.h"
#include "StandinOptions.h"

#include <csignal>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <unistd.h>

namespace {

int g_stopPipe[2] = { -1, -1 };

void RequestStop(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(g_stopPipe[1], &byte, 1);
}

void InstallStopSignals()
{
    if (::pipe(g_stopPipe) != 0)
        throw std::runtime_error("cannot create the stop pipe");
    struct sigaction action { };
    action.sa_handler = RequestStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int Run(const StandinOptions& options)
{
    InstallStopSignals();
    PortalDatabase database(options.database);
    if (!options.seedFrom.empty()) {
        if (!std::filesystem::exists(options.seedFrom))
            throw std::runtime_error("no KORVA 8 base at " + options.seedFrom);
        SeedFromKorva8(database, options.seedFrom);
    } else if (options.seed) {
        SeedOnItsOwn(database, options.database);
    }

    PortalEndpoints endpoints(database, options.sink);
    HttpServer server(options.port, [&endpoints](const HttpRequest& request) { return endpoints.answer(request); });
    std::printf("%d\n", server.port());
    std::fflush(stdout);
    std::fprintf(stderr, "portal-standin: http://127.0.0.1:%d%s, database %s\n", server.port(),
        options.sink ? " (sink)" : "", options.database.c_str());
    server.serveUntil(g_stopPipe[0]);
    std::fprintf(stderr, "portal-standin: stopped\n");
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const auto options = ParseStandinOptions(argc, argv);
    if (!options)
        return 2;
    try {
        return Run(*options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "portal-standin: %s\n", error.what());
        return 1;
    }
}
