#include "pseudo_terminal.h"

#include <QDeadlineTimer>

#include <poll.h>

QByteArray PseudoTerminal::received()
{
    m_received += m_pair.readAvailable();
    return m_received;
}

bool PseudoTerminal::waitForBytes(qsizetype count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (received().size() < count && !deadline.hasExpired()) {
        pollfd ready{m_pair.masterDescriptor(), POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
    }
    return m_received.size() >= count;
}

QByteArray PseudoTerminal::take(qsizetype count, int timeoutMs)
{
    waitForBytes(count, timeoutMs);
    QByteArray result;
    result.swap(m_received);
    return result;
}
