#pragma once

#include <functional>
#include <string>
#include <vector>

struct sqlite3;

// The portal's own database (SQLite, text in UTF-8).
class PortalDatabase {
public:
    // Opens or creates the database and its tables. Throws std::runtime_error.
    explicit PortalDatabase(const std::string& path);
    ~PortalDatabase();
    PortalDatabase(const PortalDatabase&) = delete;
    PortalDatabase& operator=(const PortalDatabase&) = delete;

    // Runs a statement batch as the portal does: one statement after the
    // other, stopping at the first that fails. What ran before it stays done,
    // as with autocommit; the batch runs in one transaction only so that tens
    // of thousands of inserts take seconds. Returns the database's message of
    // the failure, or "" when every statement ran.
    std::string runBatch(const std::string& sql);

    // Payments made on the portal dated on or after the day (yyyy-mm-dd): one
    // line each, "client;method;amount;dd-mm-yyyy;invoice;roll;reference;NumE".
    std::string portalPaymentsSince(const std::string& day);

    // Clients who chose the digital invoice: one line each, "number;name;address;postal code;city".
    std::string digitalInvoiceClients();

    // Runs statements that must succeed. Throws std::runtime_error.
    void execute(const std::string& sql);
    void rollbackIfOpen();

private:
    using Row = std::vector<std::string>;
    void forEachRow(
        const char* sql, const std::vector<std::string>& parameters, const std::function<void(const Row&)>& consume);
    std::string lines(const char* sql, const std::vector<std::string>& parameters);

    sqlite3* m_db = nullptr;
};
