#pragma once

#include <QObject>

class QSocketNotifier;

// Ends the event loop on SIGTERM (a service stopped), SIGINT (Ctrl-C) and SIGHUP (the terminal
// or the session gone), so that the program ends as closing its window ends it: every
// destructor runs. A signal handler may do next to nothing, so it only writes the signal's
// number into a pipe whose other end the event loop watches. One object at a time; the former
// handlers come back when it goes.
class TerminationSignals : public QObject {
public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;
    TerminationSignals(const TerminationSignals&) = delete;
    TerminationSignals& operator=(const TerminationSignals&) = delete;

private:
    void takeSignal();

    QSocketNotifier* m_notifier = nullptr;
};
