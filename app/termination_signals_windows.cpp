#include "app/termination_signals.h"

#include "app/program.h"
#include "core/log.h"

#include <QMetaObject>

#include <mutex>

#include <windows.h>

namespace {

// Windows ends the process 5 s after a closed console's event; a logoff or a shutdown gives at
// least as long. Past this the handler lets it go: the spool has kept what was taken.
constexpr DWORD endingWaitMs = 4500;

std::mutex listenerMutex;
// The object that takes the events to the event loop, while it lives.
TerminationSignals* listener = nullptr;
// Set once the program has ended its work; never closed, as a handler may still wait on it
// while the process ends.
HANDLE ended = nullptr;

QString eventName(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
        return QStringLiteral("Ctrl-C");
    case CTRL_BREAK_EVENT:
        return QStringLiteral("Ctrl-Break");
    case CTRL_CLOSE_EVENT:
        return QStringLiteral("Consola fechada");
    case CTRL_LOGOFF_EVENT:
        return QStringLiteral("Fim da sessão");
    case CTRL_SHUTDOWN_EVENT:
        return QStringLiteral("Encerramento do sistema");
    }
    return QStringLiteral("Evento %1 da consola").arg(event);
}

// Runs on a thread that Windows starts for the event.
BOOL WINAPI onConsoleEvent(DWORD event)
{
    {
        const std::lock_guard lock(listenerMutex);
        if (!listener)
            return FALSE;
        QMetaObject::invokeMethod(
            listener,
            [event] {
                qCInfo(lcMostrela).noquote()
                    << QStringLiteral("%1: a terminar").arg(eventName(event));
                endProgram();
            },
            Qt::QueuedConnection);
    }
    // After Ctrl-C and Ctrl-Break the program ends in its own time; after the others, Windows
    // ends the process once this returns, so it waits for the program's own end.
    if (event != CTRL_C_EVENT && event != CTRL_BREAK_EVENT)
        ::WaitForSingleObject(ended, endingWaitMs);
    return TRUE;
}

} // namespace

TerminationSignals::TerminationSignals(QObject* parent) : QObject(parent)
{
    if (!ended)
        ended = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    {
        const std::lock_guard lock(listenerMutex);
        listener = this;
    }
    if (!::SetConsoleCtrlHandler(onConsoleEvent, TRUE))
        qCWarning(lcMostrela).noquote()
            << QStringLiteral("Os eventos da consola não terminam o programa: erro %1 do sistema")
                   .arg(::GetLastError());
}

TerminationSignals::~TerminationSignals()
{
    ::SetConsoleCtrlHandler(onConsoleEvent, FALSE);
    {
        const std::lock_guard lock(listenerMutex);
        listener = nullptr;
    }
    if (ended)
        ::SetEvent(ended);
}
