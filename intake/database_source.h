#pragma once

#include "core/message_queue.h"
#include "intake/abrir_ligacao.h"
#include "intake/database_connection.h"

#include <QList>
#include <optional>

struct SourceSettings;

// The database step of a polling tick, in the steps that the running frame's caption names:
// open the connection from the SQL settings, read this controller's rows of SaidaDisplay (those
// whose Utilizador is the SQL user), oldest DataSys first, then move them into the queue. Each
// row is deleted before it is queued, so a row that cannot be deleted stays in the table and is
// never queued twice.
//
// Glossary: SaidaDisplay = display output; NumRegisto = row number; DataSys = the time the row
// was written; Linha1, Linha2 = display lines; Utilizador = user.
class DatabaseSource {
public:
    struct WaitingRow {
        int numRegisto;
        QueuedMessage message;
    };

    // Returns whether the connection opened; when it did not, `failure` says why (it stays
    // empty for a blank server, which is not tried).
    bool open(const SourceSettings& settings, std::optional<ConnectionFailure>& failure);

    // Every waiting row of the SQL user, read to the end. Throws Failure.
    QList<WaitingRow> waitingRows(const SourceSettings& settings) const;

    // Deletes each row, then queues it. Throws Failure when a delete fails; the rows queued
    // before stay queued.
    void take(const QList<WaitingRow>& rows, MessageQueue& queue) const;

private:
    DatabaseConnection m_connection;
};
