#pragma once

#include "core/message_queue.h"
#include "intake/abrir_ligacao.h"
#include "intake/database_connection.h"

#include <QList>
#include <QStringList>
#include <optional>

struct SourceSettings;

// The database step of a polling tick, in the steps that the running frame's caption names:
// open the connection from the SQL settings, read this controller's rows of SaidaDisplay (those
// whose Utilizador is the SQL user), oldest DataSys first, then delete each row once its message
// is safe. A row that cannot be deleted stays in the table and is not queued.
//
// Glossary: SaidaDisplay = display output; NumRegisto = row number; DataSys = the time the row
// was written; Linha1, Linha2 = display lines; Utilizador = user.
class DatabaseSource {
public:
    // Returns whether the connection opened; when it did not, `failure` says why (it stays
    // empty for a blank server, which is not tried).
    bool open(const SourceSettings& settings, std::optional<ConnectionFailure>& failure);

    // The message of every waiting row of the SQL user, read to the end, each with its row
    // number as its origin. Throws Failure.
    QList<QueuedMessage> waitingRows(const SourceSettings& settings) const;

    // How many rows of the SQL user are waiting, taking none. Throws Failure.
    qint64 waitingCount(const SourceSettings& settings) const;

    // Deletes one row; false, with the reason in `problems`, when the delete failed or found no
    // row to delete.
    bool deleteRow(qint64 numRegisto, QStringList& problems) const;

private:
    DatabaseConnection m_connection;
};
