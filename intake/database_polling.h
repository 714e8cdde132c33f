#pragma once

#include "intake/database_source.h"
#include "intake/source_polling.h"

// The database's step of the polling tick: connect (or keep the connection of the step before),
// read this controller's rows, keep them in the spool and delete them, a few hundred at a time,
// each row handed over as soon as it is safe. A step whose connection fails ends there, and so
// does one whose SQL user another controller is reading: it touches none of the user's rows.
class DatabasePolling : public SourcePolling {
public:
    // `applicationName` names this controller's sessions on the server (see DatabaseSource).
    DatabasePolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished,
                    const QString& applicationName = QString());

    void rest() override { m_database.disconnect(); }

private:
    void step(const SourceSettings& settings, const Caption& caption, const Deliver& deliver,
              const std::atomic<bool>& stopping, PollResult& result,
              QStringList& problems) override;
    // Takes the rows an earlier run kept in the spool out of `rows`, deleting them: each row of
    // a kept number that holds the kept message (its DataSys, lines and user).
    void settleUnfinishedRows(QList<QueuedMessage>& rows, QStringList& problems,
                              const std::atomic<bool>& stopping);
    // Keeps a batch of rows, then deletes them and hands each over once it is deleted; a row
    // that another transaction holds is left, after a short wait, for the next tick, and the rows
    // after it go on. How many were taken.
    int take(QList<QueuedMessage> rows, QStringList& problems, const Deliver& deliver,
             const std::atomic<bool>& stopping);

    DatabaseSource m_database;
};
