#pragma once

#include "core/message_queue.h"

#include <QList>
#include <deque>
#include <functional>
#include <optional>

class Spool;

// Puts messages in the queue while holding at most a few of them in memory: once the queue holds
// `held` messages, the next ones stay in the spool (where every taken message is already) and
// join the queue, in their order, as it drains. Of those left on disk only the id and the times
// they were taken are kept, so a spool of a hundred thousand messages costs the memory of `held`
// and little more. Runs on the queue's thread.
class QueueFeed {
public:
    static constexpr qsizetype defaultHeld = 1000;

    QueueFeed(MessageQueue& queue, Spool& spool, qsizetype held = defaultHeld);

    // Messages for the end of the queue, in order; each in the spool already.
    void enqueue(const QList<QueuedMessage>& messages);
    // Once the queue holds half of `held` or less, reads back from the spool what it has room for.
    void refill();
    // How many messages wait: in the queue, and in the spool beyond it.
    qsizetype waiting() const;
    // How many wait in the spool beyond the queue.
    qsizetype leftOnDisk() const { return static_cast<qsizetype>(m_onDisk.size()); }

    // Forgets the messages left on disk for which `matches` holds, judged by when they were taken
    // (as QueuedMessage holds it) without reading them; returns their spool ids. Their entries
    // stay until the spool is told each was shown.
    using TakenMatch = std::function<bool(qint64 takenAt, std::optional<qint64> takenSteady)>;
    QList<quint64> dropLeftOnDisk(const TakenMatch& matches);

private:
    struct OnDisk {
        quint64 spoolId;
        qint64 takenAt;
        std::optional<qint64> takenSteady; // not kept in the entry: it means nothing to a later run
    };

    MessageQueue& m_queue;
    Spool& m_spool;
    qsizetype m_held;
    std::deque<OnDisk> m_onDisk; // in the order they join the queue
};
