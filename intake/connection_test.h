#pragma once

#include "intake/abrir_ligacao.h"

#include <QString>
#include <optional>

struct SourceSettings;

// What a connection test met: the connection's failure, or how many rows wait for this
// controller, or why they could not be counted.
struct ConnectionTest {
    // Empty when the connection opened. A blank server is a failure with no number.
    std::optional<ConnectionFailure> failure;
    // The SQL user's rows in SaidaDisplay; -1 when they could not be counted.
    qint64 waiting = -1;
    // Why the rows could not be counted on an open connection.
    QString countFailure;
};

// Connects with the SQL settings as a polling tick does, on a connection of its own, and counts the
// SQL user's waiting rows, taking none of them, then closes the connection. Never throws; a silent
// server holds it for as long as the login time-out.
ConnectionTest testConnection(const SourceSettings& settings);
