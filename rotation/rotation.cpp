#include "rotation/rotation.h"

#include "core/log.h"
#include "core/message_queue.h"
#include "core/status.h"
#include "rotation/display_writer.h"
#include "spool/queue_feed.h"

#include <QLocale>

#include <algorithm>

namespace {

const QString dateTimeKeyword = QStringLiteral("#DataHora#");
constexpr int idleTextTicked = 1;

// How many went and how long ago they were taken (their ages in milliseconds), those taken by a
// clock ahead of now apart.
QString droppedText(qsizetype dropped, qsizetype ahead, qint64 youngestMs, qint64 oldestMs)
{
    QString text = QStringLiteral("%1 mensagens postas de lado sem serem mostradas, mais antigas "
                                  "do que SegundosValidade")
                       .arg(dropped);
    const qint64 youngest = youngestMs / 1000;
    const qint64 oldest = oldestMs / 1000;
    if (dropped > ahead)
        text += youngest == oldest
                    ? QStringLiteral(": tomadas há %1 segundos").arg(oldest)
                    : QStringLiteral(": tomadas há %1 a %2 segundos").arg(youngest).arg(oldest);
    if (ahead > 0)
        text +=
            QStringLiteral("; %1 com a hora em que foram tomadas adiante do relógio").arg(ahead);
    return text;
}

} // namespace

Rotation::Rotation(MessageQueue& queue, Status& status, DisplayWriter& writer)
    : m_queue(queue), m_status(status)
{
    connect(this, &Rotation::writeRequested, &writer, &DisplayWriter::write);
    connect(&writer, &DisplayWriter::written, this, &Rotation::written);
    connect(this, &Rotation::expired, &writer, &DisplayWriter::discard);
}

QString Rotation::dateTimeLine(const QDateTime& moment)
{
    const QLocale locale = QLocale::system();
    return locale.toString(moment.date(), QStringLiteral("dd MMMM")) + QStringLiteral("  ") +
           locale.toString(moment.time(), QStringLiteral("hh:mm"));
}

void Rotation::tick(const RotationSettings& settings, const DisplaySettings& display)
{
    m_validityMs = settings.validityMs;
    if (!m_start)
        m_start = Start{m_clock().toMSecsSinceEpoch(), m_steadyClock(), settings.validityMs};
    dropTooOld();
    if (m_writing)
        return;
    // An empty queue with no idle text says nothing of the display: a failure stands until a
    // write gets through.
    if (m_queue.count() > 0) {
        m_inFlight = m_queue.takeSelected();
        send(display, m_inFlight->linha1, m_inFlight->linha2, m_inFlight->spoolId);
    } else if (settings.mostraDefault == idleTextTicked) {
        const QString& linha2 = settings.defaultLinha2;
        send(display, settings.defaultLinha1,
             linha2.toUpper() == dateTimeKeyword.toUpper() ? dateTimeLine(m_clock()) : linha2);
    }
}

bool Rotation::tooOld(qint64 takenAt, std::optional<qint64> takenSteady) const
{
    if (!takenSteady) {
        if (takenAt == 0 || !m_start)
            return false;
        // Carried over: judged at the start by the wall clock, and a time ahead of it cannot be
        // trusted to be recent. Kept, it is dated on the steady clock by its age then.
        const qint64 age = m_start->wall - takenAt;
        if (m_start->validityMs > 0 && (age < 0 || age > m_start->validityMs))
            return true;
        takenSteady = m_start->steady - age;
    }
    return *takenSteady < m_keptFrom;
}

void Rotation::dropTooOld()
{
    if (m_start->validityMs <= 0 && m_keptFrom == std::numeric_limits<qint64>::min())
        return;
    const qint64 now = m_clock().toMSecsSinceEpoch();
    const qint64 steadyNow = m_steadyClock();
    qsizetype dropped = 0;
    qsizetype ahead = 0; // taken, by their wall-clock time, after now
    qint64 youngest = std::numeric_limits<qint64>::max();
    qint64 oldest = 0;
    const auto judged = [&](qint64 takenAt, std::optional<qint64> takenSteady) {
        if (!tooOld(takenAt, takenSteady))
            return false;
        ++dropped;
        const qint64 age = takenSteady ? steadyNow - *takenSteady : now - takenAt;
        if (age < 0) {
            ++ahead;
        } else {
            youngest = std::min(youngest, age);
            oldest = std::max(oldest, age);
        }
        return true;
    };
    QList<quint64> spoolIds;
    const QList<QueuedMessage> old = m_queue.takeAll(
        [&](const QueuedMessage& message) { return judged(message.takenAt, message.takenSteady); });
    for (const QueuedMessage& message : old) {
        if (message.spoolId != 0)
            spoolIds.append(message.spoolId);
    }
    if (m_feed)
        spoolIds += m_feed->dropLeftOnDisk(judged);
    if (dropped == 0)
        return;
    emit expired(spoolIds);
    m_status.addDropped(dropped);
    qCInfo(lcMostrela).noquote() << droppedText(dropped, ahead, youngest, oldest);
}

void Rotation::send(const DisplaySettings& display, const QString& linha1, const QString& linha2,
                    quint64 spoolId)
{
    m_writing = true;
    emit writeRequested(++m_lastId, display, linha1, linha2, spoolId);
}

void Rotation::written(quint64 id, const DisplayOutcome& outcome)
{
    if (id != m_lastId)
        return;
    m_writing = false;
    const std::optional<QueuedMessage> message = std::exchange(m_inFlight, std::nullopt);
    // It is gone from its source already: a message the display did not get waits at the top
    // for the next tick instead of being lost.
    if (message && !outcome.reached)
        m_queue.putBack(*message);
    if (outcome.written) {
        qCDebug(lcMostrela).noquote() << "Mostrada:" << outcome.linha1 << '|' << outcome.linha2;
        emit displayed(outcome.linha1, outcome.linha2);
    }
    if (!outcome.reached)
        emit writeFailed(outcome.failure);
    m_status.setError(outcome.failure, Status::Handler::Rotation);
    if (!outcome.reached) {
        m_lastFailedWrite = m_steadyClock();
    } else if (m_lastFailedWrite) {
        // The display is back: what waited through the failures is judged now, once.
        if (m_validityMs > 0)
            m_keptFrom = std::max(m_keptFrom,
                                  std::min(*m_lastFailedWrite + 1, m_steadyClock() - m_validityMs));
        m_lastFailedWrite.reset();
        dropTooOld();
    }
}
