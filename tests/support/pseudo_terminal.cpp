#include "support/pseudo_terminal.h"

#include <QDeadlineTimer>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace {

constexpr std::pair<speed_t, int> speeds[] = {{B0, 0},         {B1200, 1200},   {B2400, 2400},
                                              {B4800, 4800},   {B9600, 9600},   {B19200, 19200},
                                              {B38400, 38400}, {B57600, 57600}, {B115200, 115200}};

// The line's state belongs to the pseudo-terminal, not to the descriptor that sets or reads it.
template <typename Use> auto onTheLine(const QString& slavePath, Use use)
{
    const int slave = ::open(slavePath.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY);
    const auto result = use(slave);
    ::close(slave);
    return result;
}

QChar parityOf(tcflag_t flags)
{
#ifdef CMSPAR
    if (flags & CMSPAR)
        return flags & PARODD ? u'm' : u's';
#endif
    if (flags & PARODD)
        return u'o';
    return flags & PARENB ? u'e' : u'n';
}

} // namespace

PseudoTerminal::PseudoTerminal() : m_slavePath(m_pair.slavePath()) {}

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

void PseudoTerminal::holdWriters()
{
    onTheLine(m_pair.slavePath(), [](int slave) { return ::tcflow(slave, TCOOFF); });
}

void PseudoTerminal::releaseWriters()
{
    onTheLine(m_pair.slavePath(), [](int slave) { return ::tcflow(slave, TCOON); });
}

QString PseudoTerminal::lineSettings() const
{
    termios line{};
    if (onTheLine(m_pair.slavePath(), [&line](int slave) { return ::tcgetattr(slave, &line); }))
        return {};
    int speed = -1;
    for (const auto& [code, baud] : speeds) {
        if (code == ::cfgetospeed(&line))
            speed = baud;
    }
    const int stopBits = line.c_cflag & CSTOPB ? 2 : 1;
    return QStringLiteral("%1,%2,%3").arg(speed).arg(parityOf(line.c_cflag)).arg(stopBits);
}
