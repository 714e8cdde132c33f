#pragma once

#include "intake/source_polling.h"

#include <QSet>
#include <QStringList>

struct DropFile;

// The drop folder's step of the polling tick: every drop file read, kept in the spool and deleted,
// a few hundred at a time, each batch handed over as soon as it is safe.
class DropFolderPolling : public SourcePolling {
public:
    DropFolderPolling(std::shared_ptr<Spool> spool, const QList<QueuedMessage>& unfinished);

private:
    void step(const SourceSettings& settings, const Caption& caption, const Deliver& deliver,
              const std::atomic<bool>& stopping, PollResult& result,
              QStringList& problems) override;
    void take(QList<DropFile>& files, QSet<quint64>& undeleted, QStringList& problems,
              const Deliver& deliver, const std::atomic<bool>& stopping, int& taken);
    // Of a batch of drop files, those an earlier run kept in the spool: deleted, not taken.
    void settleUnfinishedFiles(QList<DropFile>& files, QSet<quint64>& undeleted,
                               QStringList& problems);
    // Leaves out of a batch the empty files that the step before did not find empty.
    void leaveNewlyEmptyFiles(QList<DropFile>& files);

    // The names of the files an earlier step found empty. A file is empty between its writer
    // making it and writing it: taken then, it would be deleted under the writer and its message
    // lost. So an empty file is taken only when found empty again a step later.
    QSet<QString> m_emptyBefore;
    QSet<QString> m_emptyNow; // those found empty by the step under way
};
