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
        !m_onDisk.empty() ? 0 : std::clamp<qsizetype>(m_held - m_queue.count(), 0, messages.size());
    m_queue.appendAll(messages.first(room));
    for (const QueuedMessage& message : messages.sliced(room))
        m_onDisk.push_back({message.spoolId, message.takenAt, message.takenSteady});
}

void QueueFeed::refill()
{
    if (m_onDisk.empty() || m_queue.count() > m_held / 2)
        return;
    QList<QueuedMessage> messages;
    for (qsizetype most = m_held - m_queue.count(); most > 0 && !m_onDisk.empty(); --most) {
        const OnDisk left = m_onDisk.front();
        m_onDisk.pop_front();
        if (std::optional<QueuedMessage> message = m_spool.read(left.spoolId)) {
            message->takenSteady = left.takenSteady;
            messages << std::move(*message);
        }
    }
    if (m_onDisk.empty())
        m_onDisk.shrink_to_fit();
    m_queue.appendAll(messages);
}

qsizetype QueueFeed::waiting() const
{
    return m_queue.count() + leftOnDisk();
}

QList<quint64> QueueFeed::dropLeftOnDisk(const TakenMatch& matches)
{
    QList<quint64> dropped;
    std::erase_if(m_onDisk, [&](const OnDisk& left) {
        if (!matches(left.takenAt, left.takenSteady))
            return false;
        dropped << left.spoolId;
        return true;
    });
    return dropped;
}
