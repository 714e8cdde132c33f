#pragma once

#include "intake/database_connection.h"

#include <QString>
#include <QtGlobal>
#include <optional>

// Why a connection could not be opened: the server, the driver's error number and its
// description, for the program to show as it sees fit.
struct ConnectionFailure {
    QString server;
    QString number;
    QString description;

    // "Falha na Ligação à Base de Dados (server)", the number and the description, on three
    // lines; a missing number reads 0.
    QString message() const;
};

// Opens `connection` (closed first and replaced by a new one) on the database server `server`:
// an ODBC data source of that name when the driver manager knows one, otherwise the server of
// that name through the best SQL Server driver installed. `mode` "SQL" (also when blank) logs in
// as `user` with `password`; "WIN" logs in as the account that runs the program. The time-outs
// are in seconds: `connectionTimeout` for the login, `commandTimeout` for every statement.
//
// Returns whether the connection is open. A blank server is not tried: false, and `failure`
// stays empty. Any other failure returns false with its facts in `failure`.
bool AbrirLigacao(DatabaseConnection& connection, const QString& server, const QString& database,
                  const QString& user, const QString& password, const QString& mode,
                  qint16 commandTimeout, qint16 connectionTimeout,
                  std::optional<ConnectionFailure>& failure);

// The connection text for a server: what follows "DSN=" for a data source, or the driver and
// server attributes otherwise. Never holds the user or the password. Throws Failure for a mode
// other than "SQL" or "WIN" or when no SQL Server driver is installed.
QString connectionText(const QString& server, const QString& database, const QString& mode);
