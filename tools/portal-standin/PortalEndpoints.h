#pragma once

#include "HttpServer.h"

class PortalDatabase;

// The portal's three endpoints. Every request carries the form fields
// "securiter" (the shared token) and "query", in Windows-1252; replies are
// Windows-1252 too. A request without the right token is refused (403).
class PortalEndpoints {
public:
    PortalEndpoints(PortalDatabase& database, bool sink)
        : m_database(database)
        , m_sink(sink)
    {
    }

    HttpReply answer(const HttpRequest& request);

private:
    PortalDatabase& m_database;
    bool m_sink; // export batches are accepted and discarded
};
