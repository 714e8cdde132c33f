#pragma once

#include <QString>
#include <QStringList>

// What the ODBC driver manager knows: its data sources (user and system) and its drivers.

// Whether a data source of this name is defined; names compare without regard to letter case,
// as the driver manager looks them up.
bool odbcDataSourceExists(const QString& name);

// The names of the installed drivers, in the driver manager's order.
QStringList odbcDrivers();

// The driver to reach a SQL Server by its name: Microsoft's "ODBC Driver N for SQL Server",
// newest first, then FreeTDS, then the "SQL Server" driver that Windows carries. An empty text
// when none of them is installed.
QString preferredSqlServerDriver(const QStringList& drivers);
