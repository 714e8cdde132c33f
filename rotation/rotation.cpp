#include "rotation/rotation.h"

#include "core/failure.h"
#include "core/log.h"
#include "core/message_queue.h"
#include "core/status.h"
#include "display/display_writer.h"

#include <QLocale>

namespace {

const QString dateTimeKeyword = QStringLiteral("#DataHora#");
constexpr int idleTextTicked = 1;

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
    dropExpired(settings.validityMs);
    if (m_writing)
        return;
    const quint64 sentBefore = m_lastId;
    const QString error = runTrapped([&] {
        if (m_queue.count() > 0) {
            m_inFlight = m_queue.takeSelected();
            send(display, m_inFlight->linha1, m_inFlight->linha2, m_inFlight->spoolId);
        } else if (settings.mostraDefault == idleTextTicked) {
            const QString& linha2 = settings.defaultLinha2;
            send(display, settings.defaultLinha1,
                 linha2.toUpper() == dateTimeKeyword.toUpper() ? dateTimeLine(m_clock()) : linha2);
        }
    });
    // Nothing was sent: the tick ends clean, or with why no row could be taken.
    if (m_lastId == sentBefore)
        m_status.setError(error, Status::Handler::Rotation);
}

void Rotation::dropExpired(qint64 validityMs)
{
    if (validityMs <= 0)
        return;
    const qint64 now = m_clock().toMSecsSinceEpoch();
    const qint64 steadyNow = m_steadyClock();
    const auto tooOld = [&](const QueuedMessage& message) {
        if (!message.takenSteady) {
            // Carried over: only the wall clock tells its age, and a time ahead of it cannot be
            // trusted to be recent.
            return message.takenAt != 0 &&
                   (message.takenAt > now || now - message.takenAt > validityMs);
        }
        return m_lastFailedWrite && *message.takenSteady <= *m_lastFailedWrite &&
               steadyNow - *message.takenSteady > validityMs;
    };
    qsizetype dropped = 0;
    // Until none is too old: the messages that take the place of those dropped may be too.
    for (QList<QueuedMessage> old; !(old = m_queue.takeAll(tooOld)).isEmpty();) {
        QList<quint64> spoolIds;
        for (const QueuedMessage& message : old) {
            if (message.spoolId != 0)
                spoolIds.append(message.spoolId);
        }
        dropped += old.size();
        emit expired(spoolIds);
    }
    if (dropped == 0)
        return;
    m_status.addDropped(dropped);
    qCInfo(lcMostrela).noquote() << QStringLiteral("%1 mensagens postas de lado sem serem "
                                                   "mostradas: tomadas há mais de %2 segundos")
                                        .arg(dropped)
                                        .arg(static_cast<double>(validityMs) / 1000);
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
    if (!outcome.reached)
        m_lastFailedWrite = m_steadyClock();
    if (outcome.written) {
        qCDebug(lcMostrela).noquote() << "Mostrada:" << outcome.linha1 << '|' << outcome.linha2;
        emit displayed(outcome.linha1, outcome.linha2);
    }
    if (!outcome.reached)
        emit writeFailed(outcome.failure);
    m_status.setError(outcome.failure, Status::Handler::Rotation);
}
