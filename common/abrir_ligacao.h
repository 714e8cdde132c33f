#pragma once

#include "common/database_connection.h"

#include <QString>
#include <QtGlobal>

// Opens `connection` (closed first and replaced by a new one) on the database server `server`:
// an ODBC data source of that name when the driver manager knows one, otherwise the server of
// that name through the best SQL Server driver installed. `mode` "SQL" (also when blank) logs in
// as `user` with `password`; "WIN" logs in as the account that runs the program. The time-outs
// are in seconds: `connectionTimeout` for the login, `commandTimeout` for every statement.
//
// A blank server returns false at once. Any other failure shows "Falha na Ligação à Base de
// Dados (server)", the error number and its description, unless `semMensagem` is set, and
// returns false.
//
// Glossary: AbrirLigacao = open the connection; semMensagem = without a message.
bool AbrirLigacao(DatabaseConnection& connection, const QString& server, const QString& database,
                  const QString& user, const QString& password, const QString& mode,
                  qint16 commandTimeout, qint16 connectionTimeout, bool semMensagem);

// The connection text for a server: what follows "DSN=" for a data source, or the driver and
// server attributes otherwise. Never holds the user or the password. Throws Failure for a mode
// other than "SQL" or "WIN" or when no SQL Server driver is installed.
QString connectionText(const QString& server, const QString& database, const QString& mode);
