#include "PortalTables.h"

#include <vector>

namespace {

// AutoId: the payment id that takes the next free number when given none.
enum class Kind { AutoId, Integer, Decimal, Date, Text };

struct Column {
    const char* name;
    Kind kind;
};

struct Table {
    const char* name;
    std::vector<Column> columns;
    const char* key; // table constraint, may be empty
};

const char* SqlType(Kind kind)
{
    switch (kind) {
    case Kind::AutoId:
        return "INTEGER UNIQUE";
    case Kind::Integer:
        return "INT"; // INTEGER affinity, but never an alias of the rowid
    case Kind::Decimal:
        return "DECIMAL(12,2)";
    case Kind::Date:
        return "DATE";
    case Kind::Text:
        return "TEXT";
    }
    return "TEXT";
}

const std::vector<Table>& Tables()
{
    static const std::vector<Table> tables = {
        { "role",
            { { "NumRole", Kind::Integer }, { "TitreRole", Kind::Text }, { "DateFacture", Kind::Date },
                { "DatePaiement", Kind::Date }, { "DateDebPeriode", Kind::Date }, { "DateFinPeriode", Kind::Date },
                { "NumE", Kind::Integer }, { "Adr1E", Kind::Text }, { "Adr2E", Kind::Text }, { "CpE", Kind::Text },
                { "VilleE", Kind::Text }, { "NoTVAIntra", Kind::Text } },
            "PRIMARY KEY (NumRole)" },
        { "facture",
            { { "numfacture", Kind::Integer }, { "numrole", Kind::Integer }, { "numclient", Kind::Integer },
                { "nofacture", Kind::Integer }, { "totalttc", Kind::Decimal } },
            "PRIMARY KEY (numfacture)" },
        { "itemfacture",
            { { "numitemfacture", Kind::Integer }, { "numrole", Kind::Integer }, { "numfacture", Kind::Integer },
                { "numclient", Kind::Integer }, { "numenfant", Kind::Integer }, { "nomenfant", Kind::Text },
                { "libprestation", Kind::Text }, { "q", Kind::Decimal }, { "pu", Kind::Decimal },
                { "ht", Kind::Decimal }, { "txtva", Kind::Decimal }, { "ttc", Kind::Decimal },
                { "tva", Kind::Decimal } },
            "PRIMARY KEY (numitemfacture)" },
        { "enfant",
            { { "numenfant", Kind::Integer }, { "nom", Kind::Text }, { "prenom", Kind::Text },
                { "numclientp", Kind::Integer }, { "datenaissance", Kind::Date }, { "numclienti", Kind::Integer } },
            "PRIMARY KEY (numenfant)" },
        { "client",
            { { "numclient", Kind::Integer }, { "nom", Kind::Text }, { "prenom", Kind::Text }, { "adr1", Kind::Text },
                { "adr2", Kind::Text }, { "cp", Kind::Text }, { "ville", Kind::Text }, { "tel", Kind::Text },
                { "email", Kind::Text }, { "norue", Kind::Text } },
            "PRIMARY KEY (numclient)" },
        { "clientgroupe", { { "numclient", Kind::Integer }, { "numgroupe", Kind::Integer } },
            "PRIMARY KEY (numclient, numgroupe)" },
        // The payments: those the families made on the portal (etat 1 paid, 0 abandoned, with the
        // bank's transaction number) and those the program exports (etat 2, transactionid 0).
        { "encaissement",
            { { "id", Kind::AutoId }, { "numclient", Kind::Integer }, { "moyenpaiement", Kind::Integer },
                { "datepaiement", Kind::Date }, { "montant", Kind::Decimal }, { "numfacture", Kind::Integer },
                { "numrole", Kind::Integer }, { "etat", Kind::Integer }, { "transactionid", Kind::Integer } },
            "" },
        // The clients who chose the digital invoice on the portal.
        { "facturenumerique", { { "numclient", Kind::Integer }, { "datechoix", Kind::Date } },
            "PRIMARY KEY (numclient)" },
    };
    return tables;
}

std::string CreateTable(const Table& table)
{
    std::string sql = std::string("CREATE TABLE IF NOT EXISTS ") + table.name + " (";
    for (const Column& column : table.columns)
        sql += std::string(column.name) + " " + SqlType(column.kind) + ", ";
    if (*table.key)
        sql += table.key;
    else
        sql.resize(sql.size() - 2);
    return sql + ");\n";
}

// After an insert, the text left in a numeric column becomes its number.
std::string NumbersTrigger(const Table& table)
{
    std::string when;
    std::string set;
    for (const Column& column : table.columns) {
        if (column.kind != Kind::Integer && column.kind != Kind::Decimal)
            continue;
        const std::string name = column.name;
        const char* cast = column.kind == Kind::Integer ? "INTEGER" : "REAL";
        when += (when.empty() ? "" : " OR ") + std::string("typeof(NEW.") + name + ")='text'";
        set += (set.empty() ? "" : ", ") + name + " = CASE WHEN typeof(" + name + ")='text' THEN CAST(" + name + " AS "
            + cast + ") ELSE " + name + " END";
    }
    return std::string("CREATE TRIGGER IF NOT EXISTS ") + table.name + "_numbers AFTER INSERT ON " + table.name
        + " WHEN " + when + " BEGIN UPDATE " + table.name + " SET " + set + " WHERE rowid = NEW.rowid; END;\n";
}

const char* const kPaymentIdTrigger = R"SQL(
CREATE TRIGGER IF NOT EXISTS encaissement_id AFTER INSERT ON encaissement
WHEN NEW.id IS NULL OR typeof(NEW.id) <> 'integer' OR NEW.id = 0
BEGIN
    UPDATE encaissement SET id = coalesce((SELECT id FROM encaissement WHERE typeof(id) = 'integer' AND id <> 0
                                           ORDER BY id DESC LIMIT 1), 0) + 1
    WHERE rowid = NEW.rowid;
END;
CREATE INDEX IF NOT EXISTS encaissement_exported ON encaissement (etat, transactionid, datepaiement);
)SQL";

} // namespace

std::string PortalSchemaSql()
{
    std::string sql;
    for (const Table& table : Tables())
        sql += CreateTable(table) + NumbersTrigger(table);
    return sql + kPaymentIdTrigger;
}
