#include "support/pseudo_terminal.h"

#include <QDeadlineTimer>
#include <QThread>

#include <stdexcept>

namespace {

// A file gives no notice when it grows: it is looked at again after this long.
constexpr int lookAgainMs = 5;

} // namespace

PseudoTerminal::PseudoTerminal()
    : m_relay(qEnvironmentVariable("MOSTRELA_DISPLAY_RELAY")),
      m_slavePath(qEnvironmentVariable("MOSTRELA_DISPLAY_PORT"))
{
    if (m_slavePath.isEmpty() || !m_relay.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        throw std::runtime_error("no pseudo-terminal: scripts/wine-run makes one");
    m_relay.seek(m_relay.size());
}

QByteArray PseudoTerminal::received()
{
    m_received += m_relay.readAll();
    return m_received;
}

bool PseudoTerminal::waitForBytes(qsizetype count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (received().size() < count && !deadline.hasExpired())
        QThread::msleep(lookAgainMs);
    return m_received.size() >= count;
}
