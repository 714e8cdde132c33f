#pragma once

#include "core/message_queue.h"

class Spool;

// Puts messages in the queue while holding at most a few of them in memory: once the queue holds
// `held` messages, the next ones stay in the spool (where every taken message is already) and
// join the queue, in their order, as it drains. A spool of a hundred thousand messages then costs
// the memory of `held`. Runs on the queue's thread.
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

private:
    MessageQueue& m_queue;
    Spool& m_spool;
    qsizetype m_held;
};
