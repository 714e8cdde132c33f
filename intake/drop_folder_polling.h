#pragma once

#include "intake/problem_report.h"
#include "intake/source_polling.h"

#include <QSet>
#include <QStringList>

#include <memory>

class Spool;
struct DropFile;

// The drop folder's step of the polling tick: every drop file read, kept in the spool and deleted,
// a few hundred at a time, each batch handed over as soon as it is safe.
class DropFolderPolling : public SourcePolling {
public:
    // Of the spool's entries of an earlier run, those from drop files whose deletion may not have
    // been done: a file still found is deleted, not taken again.
    // A source left running at the end keeps the spool it writes to alive.
    DropFolderPolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished);

    PollResult poll(const SourceSettings& settings, const Caption& caption, const Deliver& deliver,
                    const std::atomic<bool>& stopping) override;

private:
    void take(QList<DropFile>& files, QSet<quint64>& undeleted, QStringList& problems,
              const Deliver& deliver, const std::atomic<bool>& stopping, int& taken);
    // Of a batch of drop files, those an earlier run kept in the spool: deleted, not taken.
    void settleUnfinishedFiles(QList<DropFile>& files, QSet<quint64>& undeleted,
                               QStringList& problems);

    std::shared_ptr<Spool> m_spool;
    QList<QueuedMessage> m_unfinishedFiles;
    ProblemReport m_report;
};
