#pragma once

#include "core/queued_message.h"
#include "core/settings_snapshots.h"
#include "display/display_dispatch.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <functional>
#include <limits>
#include <optional>

class DisplayWriter;
class MessageQueue;
class QueueFeed;
class Status;

// Moves the queued messages to the display, one per tick of the display timer, oldest first
// unless a row was picked by hand. With the queue empty it shows the idle text when that is
// switched on. The writing itself is the display writer's, usually on a thread of its own: a
// tick that comes while a message is still being written is skipped, so the window never waits
// for the display.
//
// A healthy run shows every message, however long it waited in the queue. SegundosValidade holds
// only for a message that could otherwise come up long after its customer left: one carried over
// from an earlier run, and one that waited while writes to the display failed. Age is judged once,
// when the display can show again: at the first tick for the messages carried over, and at the
// first write that reaches the display after failures for those that waited through them (the
// message of that write is shown, whatever its age: only a write tells that the display is back).
// Those older then are dropped, not shown, wherever they wait, in the queue or in the spool beyond
// it; the log says how many and how old, and the status counts them. Those kept are never
// dropped later unless writes fail again. Within the run, age is measured on the steady clock; a
// carried-over message has only its wall-clock time, and one whose time lies ahead of the wall
// clock counts as too old.
//
// Each written message reports its outcome to the failure label: a display that cannot be
// written says so until a message gets through, and a message whose bytes reached no port goes
// back to the top of the queue, selected, to be tried again on the next tick.
class Rotation : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;
    using SteadyClock = std::function<qint64()>;

    Rotation(MessageQueue& queue, Status& status, DisplayWriter& writer);

    // The source of "now" for the date-and-time idle line and the age of messages carried over;
    // the system clock by default.
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // The source of "now" for the age of messages taken in this run; steadyClockMs() by default.
    void setSteadyClock(SteadyClock clock) { m_steadyClock = std::move(clock); }
    // The feed whose messages left on disk wait behind the queue: judged with it, unread.
    void setFeed(QueueFeed* feed) { m_feed = feed; }

    // The date-and-time idle line: "dd MMMM  hh:mm", the month in the user's language.
    static QString dateTimeLine(const QDateTime& moment);

    // One tick, with the settings of the moment.
    void tick(const RotationSettings& settings, const DisplaySettings& display);

signals:
    void writeRequested(quint64 id, const DisplaySettings& settings, const QString& linha1,
                        const QString& linha2, quint64 spoolId);
    // The lines that went out, as the display shows them.
    void displayed(const QString& linha1, const QString& linha2);
    // A write that did not reach the display, and why.
    void writeFailed(const QString& failure);
    // The spool entries of messages dropped as too old. Its receivers may queue more messages in
    // their place before the tick takes one.
    void expired(const QList<quint64>& spoolIds);

private:
    // The first tick, on both clocks, and its SegundosValidade: the carried-over messages' age is
    // judged against it.
    struct Start {
        qint64 wall;
        qint64 steady;
        qint64 validityMs;
    };

    bool tooOld(qint64 takenAt, std::optional<qint64> takenSteady) const;
    void dropTooOld();
    void written(quint64 id, const DisplayOutcome& outcome);
    void send(const DisplaySettings& display, const QString& linha1, const QString& linha2,
              quint64 spoolId = 0);

    MessageQueue& m_queue;
    Status& m_status;
    Clock m_clock = &QDateTime::currentDateTime;
    SteadyClock m_steadyClock = &steadyClockMs;
    QueueFeed* m_feed = nullptr;
    std::optional<Start> m_start;
    // Messages taken before it, on the steady clock, were found too old when the display came back.
    qint64 m_keptFrom = std::numeric_limits<qint64>::min();
    qint64 m_validityMs = 0; // the latest tick's
    // When a write last failed, on the steady clock, until one reaches the display: messages taken
    // before then waited for it.
    std::optional<qint64> m_lastFailedWrite;
    bool m_writing = false;
    quint64 m_lastId = 0;
    std::optional<QueuedMessage> m_inFlight; // the queued message being written, if any
};
