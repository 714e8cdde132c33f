#pragma once

#include "intake/database_source.h"
#include "intake/problem_report.h"
#include "intake/source_polling.h"

#include <memory>

class Spool;

// The database's step of the polling tick: connect (or keep the connection of the step before),
// read this controller's rows, keep them in the spool and delete them, a few hundred at a time,
// each batch handed over as soon as it is safe. A step whose connection fails ends there.
class DatabasePolling : public SourcePolling {
public:
    // Of the spool's entries of an earlier run, those from rows whose deletion may not have been
    // done: a row still found is deleted, not taken again.
    // A source left running at the end keeps the spool it writes to alive.
    DatabasePolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished);

    PollResult poll(const SourceSettings& settings, const Caption& caption, const Deliver& deliver,
                    const std::atomic<bool>& stopping) override;

private:
    // Takes the rows an earlier run kept in the spool out of `rows`, deleting them.
    void settleUnfinishedRows(QList<QueuedMessage>& rows, QStringList& problems,
                              const std::atomic<bool>& stopping);
    // Keeps, deletes and hands over a batch of rows; how many were taken.
    int take(QList<QueuedMessage> rows, QStringList& problems, const Deliver& deliver,
             const std::atomic<bool>& stopping);

    std::shared_ptr<Spool> m_spool;
    QList<QueuedMessage> m_unfinishedRows;
    DatabaseSource m_database;
    ProblemReport m_report;
};
