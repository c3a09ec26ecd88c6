#include "Korva8Sample.h"

#include <sqlite3.h>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace korva8 {

namespace {

// A date column written 'dd/mm/yyyy' is stored as the date it names, as the
// town's base reads such a text.
std::string dateTriggers(const std::string& table, const std::string& column)
{
    std::string fix = "UPDATE " + table + " SET " + column + " = substr(" + column + ",7,4)||'-'||substr(" + column
        + ",4,2)||'-'||substr(" + column + ",1,2)||' 00:00:00' WHERE rowid = NEW.rowid AND " + column
        + " GLOB '[0-9][0-9]/[0-9][0-9]/[0-9][0-9][0-9][0-9]';";
    std::string name = table + "_" + column;
    return "CREATE TRIGGER " + name + "_ins AFTER INSERT ON " + table + " BEGIN " + fix + " END;\n"
         + "CREATE TRIGGER " + name + "_upd AFTER UPDATE OF " + column + " ON " + table + " BEGIN " + fix + " END;\n";
}

const std::string& schema()
{
    static const std::string text = std::string(R"SQL(
CREATE TABLE Role (
    NumRole INTEGER PRIMARY KEY,
    TitreRole VARCHAR(100),
    DateFacture DATETIME,
    DatePaiement DATETIME,
    DateDebPériode DATETIME,
    DateFinPériode DATETIME,
    NumE INTEGER,
    Adr1E VARCHAR(80),
    Adr2E VARCHAR(80),
    CpE VARCHAR(10),
    VilleE VARCHAR(60),
    NoTVAIntra VARCHAR(20)
);
CREATE TABLE Facture (
    NumFacture INTEGER PRIMARY KEY,
    NumRole INTEGER NOT NULL,
    NumClient INTEGER,
    NoFacture INTEGER,
    TotalTTC DOUBLE
);
CREATE INDEX Facture_NumRole ON Facture (NumRole, NumFacture);
CREATE TABLE ItemFacture (
    NumItemFacture INTEGER PRIMARY KEY,
    NumRole INTEGER NOT NULL,
    NumFacture INTEGER,
    NumClient INTEGER,
    NumEnfant INTEGER,
    NomEnfant VARCHAR(80),
    LibPrestation VARCHAR(120),
    Q DOUBLE,
    PU DOUBLE,
    HT DOUBLE,
    TxTVA DOUBLE,
    TTC DOUBLE,
    TVA DOUBLE
);
CREATE INDEX ItemFacture_NumRole ON ItemFacture (NumRole, NumItemFacture);
CREATE TABLE Enfant (
    NumEnfant INTEGER PRIMARY KEY,
    Nom VARCHAR(60),
    Prénom VARCHAR(60),
    NumClientP INTEGER,
    DateNaissance DATETIME,
    NumClientI INTEGER
);
CREATE TABLE Client (
    NumClient INTEGER PRIMARY KEY,
    Nom VARCHAR(60),
    Prénom VARCHAR(60),
    Adr1 VARCHAR(80),
    Adr2 VARCHAR(80),
    cp VARCHAR(10),
    Ville VARCHAR(60),
    tel VARCHAR(20),
    email VARCHAR(100),
    NoRue VARCHAR(10)
);
CREATE TABLE ClientGroupe (
    NumClient INTEGER NOT NULL,
    NumGroupe INTEGER NOT NULL,
    PRIMARY KEY (NumClient, NumGroupe)
);
CREATE TABLE Encaissement (
    NumEncaissement INTEGER PRIMARY KEY,
    NumClient INTEGER,
    MoyenPaiement INTEGER,
    NumRole2 INTEGER,
    DatePaiement DATETIME,
    NoPièce VARCHAR(50),
    NumE INTEGER,
    MontantPayé DOUBLE,
    BanquePièce VARCHAR(50)
);
CREATE INDEX Encaissement_Piece ON Encaissement (NumRole2, NumClient, NoPièce);
CREATE INDEX Encaissement_Date ON Encaissement (DatePaiement);
)SQL") + dateTriggers("Role", "DateFacture") + dateTriggers("Role", "DatePaiement")
        + dateTriggers("Role", "DateDebPériode") + dateTriggers("Role", "DateFinPériode")
        + dateTriggers("Enfant", "DateNaissance") + dateTriggers("Encaissement", "DatePaiement");
    return text;
}

struct DbCloser {
    void operator()(sqlite3* db) const { sqlite3_close(db); }
};
using Db = std::unique_ptr<sqlite3, DbCloser>;

struct StmtFinalizer {
    void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtFinalizer>;

void exec(sqlite3* db, const std::string& sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "sqlite error";
        sqlite3_free(error);
        throw std::runtime_error(message);
    }
}

Stmt prepare(sqlite3* db, const char* sql)
{
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) != SQLITE_OK)
        throw std::runtime_error(sqlite3_errmsg(db));
    return Stmt(s);
}

// Binds the values in order (nullptr binds NULL) and runs the statement once.
struct Value {
    enum Kind { Null, Int, Real, Text } kind;
    long long i = 0;
    double d = 0;
    std::string s;
    Value() : kind(Null) {}
    Value(int v) : kind(Int), i(v) {}
    Value(long long v) : kind(Int), i(v) {}
    Value(double v) : kind(Real), d(v) {}
    Value(const char* v) : kind(v ? Text : Null), s(v ? v : "") {}
    Value(std::string v) : kind(Text), s(std::move(v)) {}
};

void run(sqlite3* db, sqlite3_stmt* s, const std::vector<Value>& values)
{
    sqlite3_reset(s);
    for (int i = 0; i < static_cast<int>(values.size()); ++i) {
        const Value& v = values[static_cast<std::size_t>(i)];
        switch (v.kind) {
        case Value::Null: sqlite3_bind_null(s, i + 1); break;
        case Value::Int: sqlite3_bind_int64(s, i + 1, v.i); break;
        case Value::Real: sqlite3_bind_double(s, i + 1, v.d); break;
        case Value::Text: sqlite3_bind_text(s, i + 1, v.s.c_str(), -1, SQLITE_TRANSIENT); break;
        }
    }
    if (sqlite3_step(s) != SQLITE_DONE)
        throw std::runtime_error(sqlite3_errmsg(db));
}

std::string isoDate(int year, int month, int day)
{
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d 00:00:00", year, month, day);
    return text;
}

const char* const kSurnames[] = {"Martin", "D'Arc", "O'Neil", "Bernard", "Lefèvre", "Dubois", "Moreau", "Laurent",
                                 "Girard", "Rousseau", "Fontaine", "Chevalier", "Müller", "Garçon", "Noël"};
const char* const kFirstNames[] = {"Hélène", "Jeanne", "Zoé", "Noémie", "Loïc", "François", "Jérôme", "Chloé",
                                   "Maël", "Inès", "Théo", "Anaïs"};
const char* const kStreets[] = {"rue de l'Église", "avenue des Tilleuls", "chemin du Moulin", "place de la Mairie",
                                "impasse des Écoles", "boulevard Pasteur", "allée des Peupliers"};
const char* const kTowns[] = {"Saint-Étienne-du-Bois", "Bourg-en-Bresse", "Péronnas", "Viriat", "Montréal-la-Cluse"};
const char* const kServices[] = {"Repas cantine", "Garderie matin", "Garderie soir", "Centre de loisirs mercredi",
                                 "Étude surveillée", "Transport scolaire"};

template <class T, std::size_t N>
const T& pick(const T (&items)[N], long long index)
{
    return items[static_cast<std::size_t>(index % static_cast<long long>(N))];
}

double round2(double v)
{
    return static_cast<double>(static_cast<long long>(v * 100 + (v >= 0 ? 0.5 : -0.5))) / 100;
}

void fill(sqlite3* db, const SampleOptions& o)
{
    auto role = prepare(db, "INSERT INTO Role VALUES (?,?,?,?,?,?,?,?,?,?,?,?)");
    auto facture = prepare(db, "INSERT INTO Facture VALUES (?,?,?,?,?)");
    auto item = prepare(db, "INSERT INTO ItemFacture VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)");
    auto enfant = prepare(db, "INSERT INTO Enfant VALUES (?,?,?,?,?,?)");
    auto client = prepare(db, "INSERT INTO Client VALUES (?,?,?,?,?,?,?,?,?,?)");
    auto groupe = prepare(db, "INSERT INTO ClientGroupe VALUES (?,?)");
    auto paiement = prepare(db, "INSERT INTO Encaissement VALUES (?,?,?,?,?,?,?,?,?)");

    const int clients = o.clients > 0 ? o.clients : 1;
    for (int c = 1; c <= o.clients; ++c) {
        std::string nom = pick(kSurnames, c);
        std::string email = (c % 4 == 0) ? std::string() : "famille" + std::to_string(c) + "@example.fr";
        run(db, client.get(),
            {c, nom, pick(kFirstNames, c * 7), std::string(pick(kStreets, c)), (c % 3 == 0) ? Value("Bâtiment B") : Value(),
             std::string(c % 2 ? "01000" : "01960"), std::string(pick(kTowns, c)), "04 74 " + std::to_string(10 + c % 89) + " 12 34",
             email.empty() ? Value() : Value(email), std::to_string(1 + c % 40)});
        run(db, groupe.get(), {c, 1 + c % 3});
    }
    for (int e = 1; e <= o.children; ++e) {
        const int parent = 1 + (e - 1) % clients;
        run(db, enfant.get(),
            {e, std::string(pick(kSurnames, parent)), std::string(pick(kFirstNames, e * 5 + 1)), parent,
             (e % 5 == 3) ? Value() : Value(isoDate(2012 + e % 8, 1 + e % 12, 1 + e % 28)), (e % 2) ? Value(parent) : Value(0)});
    }

    long long numFacture = 0;
    long long numItem = 0;
    for (int r = 1; r <= o.rolls; ++r) {
        const int month = 1 + (r - 1) % 12;
        const int year = 2024 + (r - 1) / 12;
        char title[80];
        std::snprintf(title, sizeof title, "Rôle cantine %02d/%04d", month, year);
        run(db, role.get(),
            {r, std::string(title), isoDate(year, month, 28), isoDate(year, month % 12 + 1, 15), isoDate(year, month, 1),
             isoDate(year, month, 28), 1, "Mairie de Saint-Étienne-du-Bois", "2 place de l'Hôtel de Ville", "01370",
             "Saint-Étienne-du-Bois", (r % 2) ? Value("FR12345678901") : Value()});
        for (int f = 0; f < o.invoicesPerRoll; ++f) {
            ++numFacture;
            const long long numClient = 1 + (numFacture - 1) % clients;
            double total = 0;
            for (int l = 0; l < o.linesPerInvoice; ++l) {
                ++numItem;
                const double q = 1 + static_cast<double>((numItem * 7) % 20);
                const double pu = round2(2.35 + static_cast<double>(numItem % 9) * 0.85);
                const double ht = round2(q * pu);
                const double tx = (numItem % 3 == 0) ? 5.5 : 0;
                const double tva = round2(ht * tx / 100);
                const double ttc = round2(ht + tva);
                total += ttc;
                run(db, item.get(),
                    {numItem, r, numFacture, numClient, 1 + (numItem - 1) % (o.children > 0 ? o.children : 1),
                     std::string(pick(kFirstNames, numItem)), std::string(pick(kServices, numItem)), q, pu, ht, tx, ttc, tva});
            }
            run(db, facture.get(), {numFacture, r, numClient, 240000 + numFacture, round2(total)});
        }
    }
    for (int p = 1; p <= o.payments; ++p) {
        const int numClient = 1 + (p - 1) % clients;
        // A few local payments, a few that came from the portal ("PF_"), one with no bank reference.
        Value bank = (p % 3 == 0) ? Value("PF_TX" + std::to_string(900 + p)) : (p % 3 == 1) ? Value() : Value("CHQ " + std::to_string(4400 + p));
        run(db, paiement.get(),
            {p, numClient, 1 + p % 4, 1 + (p - 1) % (o.rolls > 0 ? o.rolls : 1), isoDate(2024, 1 + (p - 1) % 12, 1 + (p * 3) % 27),
             "fact-" + std::to_string(240000 + p), 1, round2(12.5 + p * 3.75), bank});
    }
}

} // namespace

const char* SchemaSql()
{
    return schema().c_str();
}

void CreateSampleDatabase(const std::string& path, const SampleOptions& options)
{
    std::remove(path.c_str());
    sqlite3* raw = nullptr;
    if (sqlite3_open(path.c_str(), &raw) != SQLITE_OK) {
        std::string message = raw ? sqlite3_errmsg(raw) : "cannot open";
        sqlite3_close(raw);
        throw std::runtime_error(path + ": " + message);
    }
    Db db(raw);
    exec(db.get(), "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;");
    exec(db.get(), "BEGIN");
    exec(db.get(), schema());
    if (options.withData)
        fill(db.get(), options);
    exec(db.get(), "COMMIT");
}

} // namespace korva8
