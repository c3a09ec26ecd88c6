#pragma once

#include <QString>

// The local statements are written in the KORVA 8 database's own dialect
// (Jet). A Jet driver takes them unchanged; another engine gets them rewritten
// where it would not understand them.
enum class SqlDialect { Jet, SQLite, Odbc };

// The dialect of an engine from its ODBC DBMS name.
SqlDialect DialectForDbmsName(const QString& dbmsName);

// The statement as the engine must receive it: the date literal #yyyy-mm-dd#
// (optionally with a time) outside quoted text becomes the engine's literal.
QString TranslateStatement(const QString& jetSql, SqlDialect dialect);
