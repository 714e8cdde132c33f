#include "intake/database_polling.h"

#include "core/failure.h"
#include "core/log.h"
#include "core/settings_snapshots.h"
#include "core/status.h"
#include "spool/spool.h"

#include <QHash>
#include <QSet>

namespace {

QString lockedOut(const QString& user, const QString& holder)
{
    return QStringLiteral("Os registos do utilizador SQL \"%1\" estão a ser lidos por %2: este "
                          "controlador não os lê nem apaga enquanto aquele estiver ligado")
        .arg(user, holder);
}

} // namespace

DatabasePolling::DatabasePolling(std::shared_ptr<Spool> spool,
                                 const QList<QueuedMessage>& unfinished,
                                 const QString& applicationName)
    : SourcePolling(std::move(spool), unfinished,
                    [](const MessageOrigin& origin) { return origin.numRegisto >= 0; }),
      m_database(applicationName)
{
}

void DatabasePolling::step(const SourceSettings& settings, const Caption& caption,
                           const Deliver& deliver, const std::atomic<bool>& stopping,
                           PollResult& result, QStringList& problems)
{
    caption(QStringLiteral("Em Execução - Abrindo Ligação"));
    if (!m_database.connect(settings, result.connectionFailure)) {
        result.connectionFailed = true;
        return;
    }
    if (const std::optional<QString> holder = m_database.holdUserLock(settings))
        throw Failure(lockedOut(settings.sqlUtilizador, *holder));
    caption(QStringLiteral("Em Execução - Abrindo Tabela"));
    QList<QueuedMessage> rows = m_database.waitingRows(settings);
    settleUnfinishedRows(rows, problems, stopping);
    result.messages = 0;
    if (!rows.isEmpty())
        caption(QStringLiteral("Em Execução - Carregando Registos"));
    for (qsizetype first = 0; first < rows.size() && !stopping && m_database.isConnected();
         first += batchSize)
        result.messages += take(rows.mid(first, batchSize), problems, deliver, stopping);
    if (!stopping)
        caption(Status::idleCaption());
}

void DatabasePolling::settleUnfinishedRows(QList<QueuedMessage>& rows, QStringList& problems,
                                           const std::atomic<bool>& stopping)
{
    if (m_unfinished.isEmpty())
        return;
    QHash<qint64, qsizetype> byNumber;
    for (qsizetype index = 0; index < rows.size(); ++index)
        byNumber.insert(rows[index].origin.numRegisto, index);
    QSet<qsizetype> kept;
    QList<qint64> renumbered;
    // Each kept row still there is deleted now, or found gone; one whose delete fails is still
    // not taken again next tick. A row of its number with another message came after it.
    m_unfinished.removeIf([&](const UnfinishedEntry& entry) {
        if (stopping)
            return false;
        const qsizetype index = byNumber.value(entry.numRegisto, -1);
        if (index >= 0 && !entry.holds(rows[index])) {
            renumbered << entry.numRegisto;
        } else if (index >= 0) {
            kept.insert(index);
            if (!m_database.deleteRow(entry.numRegisto, problems))
                return false;
        }
        m_spool->sourceSettled(entry.spoolId);
        return true;
    });
    qsizetype index = 0;
    rows.removeIf([&](const QueuedMessage&) { return kept.contains(index++); });
    if (!renumbered.isEmpty())
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("SaidaDisplay numerou registos de novo: %1 com o número de uma "
                              "mensagem guardada na fila (o primeiro, %2) são outras mensagens, "
                              "tomadas como novas; as guardadas já tinham saído da tabela")
                   .arg(renumbered.size())
                   .arg(renumbered.first());
}

int DatabasePolling::take(QList<QueuedMessage> rows, QStringList& problems, const Deliver& deliver,
                          const std::atomic<bool>& stopping)
{
    const QString spoolFull = m_spool->write(rows);
    int taken = 0;
    for (const QueuedMessage& row : std::as_const(rows)) {
        // Stopped halfway, the rest of the batch stays in the spool: the next run shows it, and
        // deletes the rows still there instead of taking them again.
        if (stopping)
            return taken;
        // After a lost connection the rest wait in the table for the next tick.
        if (!m_database.isConnected()) {
            m_spool->remove(row.spoolId);
        } else if (m_database.deleteRow(row.origin.numRegisto, problems)) {
            deliver({row});
            ++taken;
        } else if (!m_database.isConnected()) {
            // The connection went during the delete, which the server may have done: the message
            // is shown, and its row, if still there, deleted next tick rather than taken again.
            m_spool->unsettled(row.spoolId);
            m_unfinished.append(UnfinishedEntry(row));
            deliver({row});
            ++taken;
        } else {
            m_spool->remove(row.spoolId);
        }
    }
    refuseMore(spoolFull);
    return taken;
}
