#include "pseudo_terminal.h"

#include <QDeadlineTimer>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <termios.h>
#include <unistd.h>

PseudoTerminal::PseudoTerminal()
{
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    termios raw{};
    ::tcgetattr(m_slave, &raw);
    ::cfmakeraw(&raw);
    ::tcsetattr(m_slave, TCSANOW, &raw);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_slavePath = QString::fromLocal8Bit(name);
}

PseudoTerminal::~PseudoTerminal()
{
    ::close(m_slave);
    ::close(m_master);
}

QByteArray PseudoTerminal::received()
{
    readAvailable();
    return m_received;
}

bool PseudoTerminal::waitForBytes(qsizetype count, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    readAvailable();
    while (m_received.size() < count && !deadline.hasExpired()) {
        pollfd ready{m_master, POLLIN, 0};
        ::poll(&ready, 1, static_cast<int>(deadline.remainingTime()));
        readAvailable();
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

void PseudoTerminal::readAvailable()
{
    char buffer[4096];
    for (;;) {
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count > 0)
            m_received.append(buffer, count);
        else if (count < 0 && errno == EINTR)
            continue;
        else
            return;
    }
}
