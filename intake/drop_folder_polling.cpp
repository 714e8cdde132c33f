#include "intake/drop_folder_polling.h"

#include "core/failure.h"
#include "core/settings_snapshots.h"
#include "core/status.h"
#include "intake/drop_folder.h"
#include "spool/spool.h"

DropFolderPolling::DropFolderPolling(std::shared_ptr<Spool> spool,
                                     const QList<QueuedMessage>& unfinished)
    : SourcePolling(std::move(spool), unfinished,
                    [](const MessageOrigin& origin) { return !origin.dropFile.isEmpty(); })
{
}

void DropFolderPolling::step(const SourceSettings& settings, const Caption& caption,
                             const Deliver& deliver, const std::atomic<bool>& stopping,
                             PollResult& result, QStringList& problems)
{
    caption(QStringLiteral("Em Execução - Carregando Ficheiros"));
    int taken = 0;
    QSet<quint64> undeleted;
    m_emptyNow.clear();
    readDropFiles(settings.ligaFicheirosPath, settings.numLetras, problems, batchSize, stopping,
                  [&](QList<DropFile>& files) {
                      take(files, undeleted, problems, deliver, stopping, taken);
                  });
    result.messages = taken;
    if (stopping)
        return;
    m_emptyBefore = std::exchange(m_emptyNow, {});
    // A kept file found in no batch is gone from the folder already.
    m_unfinished.removeIf([&](const UnfinishedEntry& kept) {
        if (undeleted.contains(kept.spoolId))
            return false;
        m_spool->sourceSettled(kept.spoolId);
        return true;
    });
    if (m_unfinished.isEmpty())
        m_unfinished.squeeze();
    caption(Status::idleCaption());
}

void DropFolderPolling::take(QList<DropFile>& files, QSet<quint64>& undeleted,
                             QStringList& problems, const Deliver& deliver,
                             const std::atomic<bool>& stopping, int& taken)
{
    settleUnfinishedFiles(files, undeleted, problems);
    leaveNewlyEmptyFiles(files);
    QList<QueuedMessage> messages;
    for (const DropFile& file : files)
        messages << file.message;
    const QString spoolFull = m_spool->write(messages);
    QList<QueuedMessage> deleted;
    for (qsizetype index = 0; index < messages.size() && !stopping; ++index) {
        if (deleteDropFile(files[index].path, problems))
            deleted << messages[index];
        else
            m_spool->remove(messages[index].spoolId);
    }
    // Stopped halfway, the batch stays in the spool: the next run shows it, and deletes the
    // files still there instead of taking them again.
    if (stopping)
        return;
    taken += static_cast<int>(deleted.size());
    deliver(deleted);
    refuseMore(spoolFull);
}

void DropFolderPolling::leaveNewlyEmptyFiles(QList<DropFile>& files)
{
    files.removeIf([&](const DropFile& file) {
        const QueuedMessage& message = file.message;
        if (!message.linha1.isEmpty() || !message.linha2.isEmpty())
            return false;
        m_emptyNow.insert(message.origin.dropFile);
        return !m_emptyBefore.contains(message.origin.dropFile);
    });
}

void DropFolderPolling::settleUnfinishedFiles(QList<DropFile>& files, QSet<quint64>& undeleted,
                                              QStringList& problems)
{
    if (m_unfinished.isEmpty() || files.isEmpty())
        return;
    // By name, so that a large spool left by a crash is matched with a batch in one pass.
    QHash<size_t, qsizetype> byName;
    for (qsizetype index = 0; index < files.size(); ++index)
        byName.insert(dropFileName(files[index].message.origin.dropFile), index);
    QSet<qsizetype> matched;
    // Each kept file still there is deleted now; one whose delete fails is still not taken again
    // next tick.
    m_unfinished.removeIf([&](const UnfinishedEntry& kept) {
        const qsizetype index = byName.value(kept.dropFile, -1);
        if (index < 0 || matched.contains(index) || !kept.holds(files[index].message))
            return false;
        matched.insert(index);
        if (!deleteDropFile(files[index].path, problems)) {
            undeleted.insert(kept.spoolId);
            return false;
        }
        m_spool->sourceSettled(kept.spoolId);
        return true;
    });
    qsizetype index = 0;
    files.removeIf([&](const DropFile&) { return matched.contains(index++); });
}
