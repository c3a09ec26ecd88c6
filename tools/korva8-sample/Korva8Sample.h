#pragma once

#include <string>

// A sample KORVA 8 database in SQLite: the local tables the program reads and
// writes, with the column names, types and indexes of the town's base, and
// plausible French data. The sizes scale for the benchmarks.
namespace korva8 {

struct SampleOptions {
    int rolls = 4;
    int invoicesPerRoll = 6;
    int linesPerInvoice = 3;
    int children = 12;
    int clients = 10;
    int payments = 5;
    bool withData = true; // false: the schema alone
};

// Creates (or replaces) the database file. Throws std::runtime_error.
void CreateSampleDatabase(const std::string& path, const SampleOptions& options);

// The schema alone, on an open connection: tables, indexes and the triggers
// that make date columns take 'dd/mm/yyyy' as the date it names.
const char* SchemaSql();

} // namespace korva8
