#pragma once

#include <QByteArray>
#include <QString>

// A pseudo-terminal standing in for a serial device: the program under test opens the slave
// path as its port and the test reads, from the master, exactly the bytes that were written.
// The terminal is raw (bytes pass unchanged) and keeps a slave descriptor of its own, so the
// master never sees a hangup when the program closes its port.
class PseudoTerminal {
public:
    // Throws std::runtime_error when the system cannot give one.
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    QString slavePath() const { return m_slavePath; }

    // Everything received and not yet taken, after reading what the master holds now. Never
    // waits, so it suits QTRY_COMPARE.
    QByteArray received();

    // Waits until at least `count` bytes are in, or until the deadline; says whether they are.
    bool waitForBytes(qsizetype count, int timeoutMs = 5000);

    // Waits for at least `count` bytes (as waitForBytes), then takes everything received.
    QByteArray take(qsizetype count = 0, int timeoutMs = 5000);

private:
    void readAvailable();

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QByteArray m_received;
};
