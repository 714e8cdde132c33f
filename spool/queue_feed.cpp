#include "spool/queue_feed.h"

#include "spool/spool.h"

#include <algorithm>

QueueFeed::QueueFeed(MessageQueue& queue, Spool& spool, qsizetype held)
    : m_queue(queue), m_spool(spool), m_held(held)
{
}

void QueueFeed::enqueue(const QList<QueuedMessage>& messages)
{
    // Room only while none waits on disk ahead of them.
    const qsizetype room =
        m_spool.leftOnDisk() > 0
            ? 0
            : std::clamp<qsizetype>(m_held - m_queue.count(), 0, messages.size());
    m_queue.appendAll(messages.first(room));
    m_spool.leaveOnDisk(messages.sliced(room));
}

void QueueFeed::refill()
{
    if (m_spool.leftOnDisk() == 0 || m_queue.count() > m_held / 2)
        return;
    m_queue.appendAll(m_spool.readBack(m_held - m_queue.count()));
}

qsizetype QueueFeed::waiting() const
{
    return m_queue.count() + m_spool.leftOnDisk();
}
