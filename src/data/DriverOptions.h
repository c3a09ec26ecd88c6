#pragma once

#include <QString>

// The options the program needs from the data source's driver, given by the
// program rather than left to whoever declared the data source: for the
// SQLite driver, its refusal to create a database file that is not there
// (NoCreat=1; otherwise a wrong path becomes an empty base and a "no such
// table"). Its row-by-row stepping (StepAPI=1) stays the data source's
// choice: with it the driver types a computed column (max(Montant)) as text,
// which would change what the program reads. Another driver's connection
// (the town's Access database) is left as it is.
//
// Takes the name Qt's ODBC driver is given (a bare data source name, or a
// full connection string) and answers it with the options added; an option
// the connection already sets is kept as it is.
QString WithDriverOptions(const QString& odbcName);

// The driver the driver manager names for a data source ("SQLite3"), or an
// empty text when it does not know the data source.
QString DataSourceDriver(const QString& dataSourceName);
