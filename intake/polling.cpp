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

QString describeProblems(const QStringList& problems)
{
    QStringList shown = problems.mid(0, problemsShown);
    if (problems.size() > problemsShown)
        shown << QStringLiteral("e mais %1").arg(problems.size() - problemsShown);
    return shown.join(QStringLiteral("; "));
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

PollResult Polling::poll(const SourceSettings& settings, const Caption& caption)
{
    PollResult result;
    QStringList problems;
    const QString error = runTrapped([&] {
        if (settings.ligaSQL && !takeDatabaseMessages(settings, caption, result, problems))
            return;
        if (settings.ligaFicheiros) {
            caption(QStringLiteral("Em Execução - Carregando Ficheiros"));
            takeDropFiles(settings, result, problems);
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
                                   PollResult& result, QStringList& problems)
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
    m_spool.write(rows);
    for (const QueuedMessage& row : rows) {
        if (database.deleteRow(row.origin.numRegisto, problems))
            result.messages << row;
        else
            m_spool.remove(row.spoolId);
    }
    result.databaseMessages = static_cast<int>(result.messages.size());
    return true;
}

void Polling::takeDropFiles(const SourceSettings& settings, PollResult& result,
                            QStringList& problems)
{
    QList<DropFile> files = readDropFiles(settings.pasta, settings.numLetras, problems);
    // As with rows: each kept file still there is deleted now, or it is gone already; one whose
    // delete fails is still not taken again next tick.
    QList<QueuedMessage> undeleted;
    for (const QueuedMessage& kept : std::as_const(m_unfinishedFiles)) {
        const auto file = std::find_if(files.begin(), files.end(), [&](const DropFile& candidate) {
            return candidate.message.origin.dropFile == kept.origin.dropFile &&
                   sameMessage(candidate.message, kept);
        });
        if (file == files.end()) {
            m_spool.sourceSettled(kept.spoolId);
            continue;
        }
        if (deleteDropFile(file->path, problems))
            m_spool.sourceSettled(kept.spoolId);
        else
            undeleted << kept;
        files.erase(file);
    }
    m_unfinishedFiles = undeleted;

    QList<QueuedMessage> messages;
    for (const DropFile& file : files)
        messages << file.message;
    m_spool.write(messages);
    int taken = 0;
    for (qsizetype index = 0; index < files.size(); ++index) {
        if (deleteDropFile(files[index].path, problems)) {
            result.messages << messages[index];
            ++taken;
        } else {
            m_spool.remove(messages[index].spoolId);
        }
    }
    result.dropFileMessages = taken;
}
