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
};
