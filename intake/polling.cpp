#include "intake/polling.h"

#include "core/failure.h"
#include "core/log.h"
#include "core/settings_snapshots.h"
#include "core/spool.h"
#include "core/status.h"
#include "intake/database_source.h"
#include "intake/drop_folder.h"

namespace {

constexpr int problemsShown = 3;
// Drop files handed over at a time: the first reach the display while the rest are read.
constexpr qsizetype chunkSize = 500;

QString describeProblems(const QStringList& problems)
{
    QStringList shown = problems.mid(0, problemsShown);
    if (problems.size() > problemsShown)
        shown << QStringLiteral("e mais %1").arg(problems.size() - problemsShown);
    return shown.join(QStringLiteral("; "));
}

// Once the spool has taken what fits, the tick ends: the messages left stay in their sources
// until the next one.
void refuseMore(const QString& spoolFull)
{
    if (!spoolFull.isEmpty())
        throw Failure(spoolFull);
}

bool sameMessage(const QueuedMessage& left, const QueuedMessage& right)
{
    return left.ordem == right.ordem && left.linha1 == right.linha1 && left.linha2 == right.linha2;
}

} // namespace

Polling::Polling(Spool& spool, const QList<QueuedMessage>& unfinished) : m_spool(spool)
{
    for (const QueuedMessage& message : unfinished) {
        if (message.origin.numRegisto >= 0)
            m_unfinishedRows.append(message);
        if (!message.origin.dropFile.isEmpty())
            m_unfinishedFiles.append(message);
    }
}

PollResult Polling::poll(const SourceSettings& settings, const Caption& caption,
                         const Deliver& deliver)
{
    PollResult result;
    QStringList problems;
    const QString error = runTrapped([&] {
        if (settings.ligaSQL && !takeDatabaseMessages(settings, caption, deliver, result, problems))
            return;
        if (settings.ligaFicheiros) {
            caption(QStringLiteral("Em Execução - Carregando Ficheiros"));
            takeDropFiles(settings, deliver, result, problems);
        }
        caption(Status::idleCaption());
    });
    if (!error.isEmpty())
        problems << error;
    result.error = describeProblems(problems);
    // The label names the first few; the log names every one, whenever the list changes.
    if (problems.size() > problemsShown && problems != m_loggedProblems)
        qCWarning(lcMostrela).noquote() << problems.join(QStringLiteral("; "));
    m_loggedProblems = problems;
    return result;
}

bool Polling::takeDatabaseMessages(const SourceSettings& settings, const Caption& caption,
                                   const Deliver& deliver, PollResult& result,
                                   QStringList& problems)
{
    caption(QStringLiteral("Em Execução - Abrindo Ligação"));
    DatabaseSource database;
    if (!database.open(settings, result.connectionFailure)) {
        result.connectionFailed = true;
        return false;
    }
    caption(QStringLiteral("Em Execução - Abrindo Tabela"));
    QList<QueuedMessage> rows = database.waitingRows(settings);
    result.databaseMessages = 0;
    // Rows kept in the spool by an earlier run that may have ended before deleting them: each is
    // deleted now, or found gone; one whose delete fails is still not taken again next tick.
    QList<QueuedMessage> undeleted;
    for (const QueuedMessage& kept : std::as_const(m_unfinishedRows)) {
        const qint64 number = kept.origin.numRegisto;
        const bool inTable = rows.removeIf([&](const QueuedMessage& row) {
            return row.origin.numRegisto == number;
        }) > 0;
        if (inTable && !database.deleteRow(number, problems))
            undeleted << kept;
        else
            m_spool.sourceSettled(kept.spoolId);
    }
    m_unfinishedRows = undeleted;
    if (rows.isEmpty())
        return true;

    caption(QStringLiteral("Em Execução - Carregando Registos"));
    const QString spoolFull = m_spool.write(rows);
    QList<QueuedMessage> taken;
    for (const QueuedMessage& row : rows) {
        if (database.deleteRow(row.origin.numRegisto, problems))
            taken << row;
        else
            m_spool.remove(row.spoolId);
    }
    result.databaseMessages = static_cast<int>(taken.size());
    deliver(taken);
    refuseMore(spoolFull);
    return true;
}

void Polling::takeDropFiles(const SourceSettings& settings, const Deliver& deliver,
                            PollResult& result, QStringList& problems)
{
    result.dropFileMessages = 0;
    QSet<quint64> undeleted;
    readDropFiles(settings.pasta, settings.numLetras, problems, chunkSize,
                  [&](QList<DropFile>& files) {
                      settleUnfinishedFiles(files, undeleted, problems);
                      QList<QueuedMessage> messages;
                      for (const DropFile& file : files)
                          messages << file.message;
                      const QString spoolFull = m_spool.write(messages);
                      QList<QueuedMessage> taken;
                      for (qsizetype index = 0; index < messages.size(); ++index) {
                          if (deleteDropFile(files[index].path, problems))
                              taken << messages[index];
                          else
                              m_spool.remove(messages[index].spoolId);
                      }
                      result.dropFileMessages += static_cast<int>(taken.size());
                      deliver(taken);
                      refuseMore(spoolFull);
                  });
    // A kept file found in no chunk is gone from the folder already.
    m_unfinishedFiles.removeIf([&](const QueuedMessage& kept) {
        if (undeleted.contains(kept.spoolId))
            return false;
        m_spool.sourceSettled(kept.spoolId);
        return true;
    });
}

void Polling::settleUnfinishedFiles(QList<DropFile>& files, QSet<quint64>& undeleted,
                                    QStringList& problems)
{
    // As with rows: each kept file still there is deleted now; one whose delete fails is still
    // not taken again next tick.
    m_unfinishedFiles.removeIf([&](const QueuedMessage& kept) {
        const auto file = std::find_if(files.begin(), files.end(), [&](const DropFile& candidate) {
            return candidate.message.origin.dropFile == kept.origin.dropFile &&
                   sameMessage(candidate.message, kept);
        });
        if (file == files.end())
            return false;
        const bool deleted = deleteDropFile(file->path, problems);
        files.erase(file);
        if (!deleted) {
            undeleted.insert(kept.spoolId);
            return false;
        }
        m_spool.sourceSettled(kept.spoolId);
        return true;
    });
}
