#include "core/message_queue.h"

MessageQueue::MessageQueue(QObject* parent) : QObject(parent) {}

void MessageQueue::append(const QueuedMessage& message)
{
    appendAll({message});
}

void MessageQueue::appendAll(const QList<QueuedMessage>& messages)
{
    if (messages.isEmpty())
        return;
    const int first = count();
    m_rows.append(messages);
    emit inserted(first, count() - 1);
    if (first == 0)
        select(0);
}

void MessageQueue::select(int row)
{
    setSelected(row >= 0 && row < count() ? std::optional(row) : std::nullopt);
}

void MessageQueue::clearSelection()
{
    setSelected(std::nullopt);
}

void MessageQueue::setSelected(std::optional<int> row)
{
    if (std::exchange(m_selected, row) != row)
        emit selectionChanged();
}

QueuedMessage MessageQueue::takeSelected()
{
    const int row = m_selected.value_or(0);
    QueuedMessage message = m_rows.takeAt(row);
    m_selected = count() > 0 ? std::optional(0) : std::nullopt;
    emit removed(row, row);
    emit selectionChanged();
    return message;
}

void MessageQueue::putBack(const QueuedMessage& message)
{
    m_rows.prepend(message);
    if (m_selected)
        ++*m_selected;
    emit inserted(0, 0);
    select(0);
}

QList<QueuedMessage> MessageQueue::takeAll(const std::function<bool(const QueuedMessage&)>& matches)
{
    QList<QueuedMessage> taken;
    bool selectedTaken = false;
    // From the bottom, one removal a run of matching rows, so the rows above keep their numbers.
    for (int last = count() - 1; last >= 0; --last) {
        if (!matches(m_rows.at(last)))
            continue;
        int first = last;
        while (first > 0 && matches(m_rows.at(first - 1)))
            --first;
        const int runLength = last - first + 1;
        if (m_selected && *m_selected > last) {
            *m_selected -= runLength;
        } else if (m_selected && *m_selected >= first) {
            // The top row from now on, unless a run further up takes that one too.
            selectedTaken = true;
            m_selected = count() > runLength ? std::optional(0) : std::nullopt;
        }
        taken = m_rows.mid(first, runLength) + taken;
        m_rows.remove(first, runLength);
        emit removed(first, last);
        last = first;
    }
    if (selectedTaken)
        emit selectionChanged();
    return taken;
}
