#include "PortalDatabase.h"

#include "PortalTables.h"

#include <sqlite3.h>

#include <stdexcept>

namespace {

const char* const kPortalPaymentsSql = R"SQL(
SELECT e.numclient, e.moyenpaiement, printf('%.2f', e.montant),
       substr(e.datepaiement, 9, 2) || '-' || substr(e.datepaiement, 6, 2) || '-' || substr(e.datepaiement, 1, 4),
       e.numfacture, e.numrole, e.transactionid, coalesce(r.NumE, 1)
FROM encaissement e LEFT JOIN role r ON r.NumRole = e.numrole
WHERE e.etat = 1 AND e.datepaiement >= ?1
ORDER BY e.datepaiement, e.id
)SQL";

const char* const kDigitalInvoiceClientsSql = R"SQL(
SELECT c.numclient, trim(coalesce(c.nom, '') || ' ' || coalesce(c.prenom, '')),
       trim(coalesce(c.norue, '') || ' ' || coalesce(c.adr1, '')), coalesce(c.cp, ''), coalesce(c.ville, '')
FROM facturenumerique f JOIN client c ON c.numclient = f.numclient
ORDER BY c.numclient
)SQL";

} // namespace

PortalDatabase::PortalDatabase(const std::string& path)
{
    if (sqlite3_open(path.c_str(), &m_db) != SQLITE_OK) {
        const std::string message = m_db ? sqlite3_errmsg(m_db) : "out of memory";
        sqlite3_close(m_db);
        throw std::runtime_error(path + ": " + message);
    }
    sqlite3_busy_timeout(m_db, 10000);
    execute("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    execute(PortalSchemaSql());
}

PortalDatabase::~PortalDatabase()
{
    sqlite3_close(m_db);
}

void PortalDatabase::execute(const std::string& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        const std::string message = error ? error : sqlite3_errmsg(m_db);
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

void PortalDatabase::rollbackIfOpen()
{
    if (!sqlite3_get_autocommit(m_db))
        execute("ROLLBACK");
}

std::string PortalDatabase::runBatch(const std::string& sql)
{
    execute("BEGIN");
    char* error = nullptr;
    std::string message;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        message = error ? error : sqlite3_errmsg(m_db);
    sqlite3_free(error);
    // The failing statement undid itself; those before it are kept.
    if (!sqlite3_get_autocommit(m_db))
        execute("COMMIT");
    return message;
}

std::string PortalDatabase::portalPaymentsSince(const std::string& day)
{
    return lines(kPortalPaymentsSql, { day });
}

std::string PortalDatabase::digitalInvoiceClients()
{
    return lines(kDigitalInvoiceClientsSql, {});
}

std::string PortalDatabase::lines(const char* sql, const std::vector<std::string>& parameters)
{
    std::string text;
    forEachRow(sql, parameters, [&text](const Row& row) {
        for (std::size_t i = 0; i < row.size(); ++i)
            text += (i ? ";" : "") + row[i];
        text += "\n";
    });
    return text;
}

void PortalDatabase::forEachRow(
    const char* sql, const std::vector<std::string>& parameters, const std::function<void(const Row&)>& consume)
{
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(m_db));
    for (std::size_t i = 0; i < parameters.size(); ++i)
        sqlite3_bind_text(statement, static_cast<int>(i + 1), parameters[i].c_str(), -1, SQLITE_TRANSIENT);
    int step;
    while ((step = sqlite3_step(statement)) == SQLITE_ROW) {
        Row row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            row.emplace_back(text ? text : "");
        }
        consume(row);
    }
    const std::string message = step == SQLITE_DONE ? std::string() : sqlite3_errmsg(m_db);
    sqlite3_finalize(statement);
    if (!message.empty())
        throw std::runtime_error(message);
}
