#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the program (endProgram()) when the system asks it to end, so that it ends as closing its
// window ends it: every destructor runs, and nothing taken is lost. On Unix: SIGTERM (a service
// stopped), SIGINT (Ctrl-C) and SIGHUP (the terminal or the session gone). On Windows: Ctrl-C,
// Ctrl-Break, the console closed, the user logged off, the system shut down. The system's
// handler may do next to nothing, or runs on a thread of its own, so it only hands the request
// to the event loop. One object at a time; the former handlers come back when it goes.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
#ifdef Q_OS_UNIX
    void takeSignal();

    QSocketNotifier* m_notifier = nullptr;
#endif
};
