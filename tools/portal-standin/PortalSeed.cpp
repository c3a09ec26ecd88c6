#include "PortalSeed.h"

#include "Korva8Sample.h"
#include "PortalDatabase.h"

#include <cstdio>
#include <string>

namespace {

// Payment method code of a card payment made on the portal.
constexpr int kOnlinePayment = 5;

std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text)
        quoted += c == '\'' ? std::string("''") : std::string(1, c);
    return quoted + "'";
}

const std::string& SeedSql()
{
    static const std::string sql = R"SQL(
INSERT OR REPLACE INTO client
    SELECT NumClient, Nom, "Prénom", Adr1, Adr2, cp, Ville, tel, email, NoRue FROM korva8.Client;
INSERT OR REPLACE INTO role
    SELECT NumRole, TitreRole, substr(DateFacture, 1, 10), substr(DatePaiement, 1, 10),
           substr("DateDebPériode", 1, 10), substr("DateFinPériode", 1, 10), NumE, Adr1E, Adr2E, CpE, VilleE,
           NoTVAIntra
    FROM korva8.Role;
DELETE FROM encaissement WHERE NOT (etat = 2 AND transactionid = 0);
INSERT INTO encaissement (id, numclient, moyenpaiement, datepaiement, montant, numfacture, numrole, etat, transactionid)
    SELECT NULL, NumClient, )SQL"
        + std::to_string(kOnlinePayment) + R"SQL(,
           date('now', '-' || ((NumFacture * 3) % 20) || ' days'), TotalTTC, NoFacture, NumRole,
           CASE WHEN NumFacture = 7 THEN 0 ELSE 1 END, 4700000 + NumFacture
    FROM korva8.Facture ORDER BY NumFacture LIMIT 8;
DELETE FROM facturenumerique;
INSERT INTO facturenumerique
    SELECT NumClient, date('now', '-30 days') FROM korva8.Client WHERE NumClient <= 2 OR NumClient % 3 = 0;
)SQL";
    return sql;
}

} // namespace

void SeedFromKorva8(PortalDatabase& portal, const std::string& korva8Path)
{
    portal.execute("ATTACH DATABASE " + Quoted(korva8Path) + " AS korva8");
    try {
        portal.execute("BEGIN; " + SeedSql() + " COMMIT;");
    } catch (...) {
        portal.rollbackIfOpen();
        portal.execute("DETACH DATABASE korva8");
        throw;
    }
    portal.execute("DETACH DATABASE korva8");
}

void SeedOnItsOwn(PortalDatabase& portal, const std::string& portalPath)
{
    const std::string samplePath = portalPath + ".sample-korva8.db";
    korva8::CreateSampleDatabase(samplePath, korva8::SampleOptions {});
    SeedFromKorva8(portal, samplePath);
    for (const char* suffix : { "", "-wal", "-shm" })
        std::remove((samplePath + suffix).c_str());
}
