#include "app/termination_signals.h"

#include "app/program.h"
#include "core/log.h"

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array handledSignals{SIGTERM, SIGINT, SIGHUP};
// Read end, write end.
std::array<int, 2> signalPipe{-1, -1};
std::array<struct sigaction, handledSignals.size()> formerActions{};

void onSignal(int number)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(number);
    // A full pipe already holds a signal that will end the loop: losing this one is harmless.
    [[maybe_unused]] const ssize_t written = ::write(signalPipe[1], &byte, 1);
    errno = savedErrno;
}

bool setFlags(int descriptor)
{
    return ::fcntl(descriptor, F_SETFD, FD_CLOEXEC) == 0 &&
           ::fcntl(descriptor, F_SETFL, O_NONBLOCK) == 0;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (::pipe(signalPipe.data()) != 0 || !setFlags(signalPipe[0]) || !setFlags(signalPipe[1])) {
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Os sinais de fim não terminam o programa: %1")
                   .arg(QString::fromLocal8Bit(std::strerror(errno)));
        return;
    }
    m_notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::takeSignal);

    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (std::size_t i = 0; i < handledSignals.size(); ++i)
        ::sigaction(handledSignals[i], &action, &formerActions[i]);
}

TerminationSignals::~TerminationSignals()
{
    if (m_notifier) {
        for (std::size_t i = 0; i < handledSignals.size(); ++i)
            ::sigaction(handledSignals[i], &formerActions[i], nullptr);
        delete m_notifier;
    }
    for (int& descriptor : signalPipe) {
        if (descriptor >= 0)
            ::close(descriptor);
        descriptor = -1;
    }
}

void TerminationSignals::takeSignal()
{
    unsigned char number = 0;
    if (::read(signalPipe[0], &number, 1) != 1)
        return;
    qCInfo(lcMostrela).noquote() << QStringLiteral("Sinal %1 (%2): a terminar")
                                        .arg(number)
                                        .arg(QString::fromLocal8Bit(::strsignal(number)));
    endProgram();
}
