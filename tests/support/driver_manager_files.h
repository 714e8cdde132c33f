#pragma once

#include <QString>

// Where the ODBC driver manager reads the fixture's odbc.ini and odbcinst.ini, and how it names
// a file. On a Unix, unixODBC is pointed at a folder of the fixture's own through the
// environment. A Windows program under Wine reaches the host's unixODBC through Wine's odbc32,
// which reads the Unix environment that Wine was started with (scripts/wine-run names a folder
// there: ODBCSYSINI) and wants Unix paths; the program cannot change that environment itself.

// Points the driver manager at the ini files in `ownFolder`, or gives the folder that it reads
// them from when that is not the program's to choose. Throws Failure when there is none.
QString driverManagerFolder(const QString& ownFolder);

// `path` as the driver manager and its drivers name it.
QString driverManagerPath(const QString& path);

// Throws Failure unless the driver manager reads `database` as the database of `dataSource`.
void expectDriverManagerSees(const QString& dataSource, const QString& database);
