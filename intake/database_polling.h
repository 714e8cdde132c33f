#pragma once

#include "intake/database_source.h"
#include "intake/source_polling.h"

// The database's step of the polling tick: connect (or keep the connection of the step before),
// read this controller's rows, keep them in the spool and delete them, a few hundred at a time,
// each batch handed over as soon as it is safe. A step whose connection fails ends there.
class DatabasePolling : public SourcePolling {
public:
    DatabasePolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished);

private:
    void step(const SourceSettings& settings, const Caption& caption, const Deliver& deliver,
              const std::atomic<bool>& stopping, PollResult& result,
              QStringList& problems) override;
    // Takes the rows an earlier run kept in the spool out of `rows`, deleting them.
    void settleUnfinishedRows(QList<QueuedMessage>& rows, QStringList& problems,
                              const std::atomic<bool>& stopping);
    // Keeps, deletes and hands over a batch of rows; how many were taken.
    int take(QList<QueuedMessage> rows, QStringList& problems, const Deliver& deliver,
             const std::atomic<bool>& stopping);

    DatabaseSource m_database;
};
