#pragma once

// Keeps the ODBC installer library (unixODBC's libodbcinst) loaded for the life of the process.
//
// Drivers such as SQLite's load that library to read their data source's settings and unload
// it again when the connection closes. Every unload loses the cache of settings the library
// kept, without freeing it, so a program that connects on every polling tick grows without
// end. Held loaded, the library keeps one cache, whose entries expire. Where there is no such
// library (other driver managers, Windows) this does nothing.
void keepOdbcInstallerLoaded();
