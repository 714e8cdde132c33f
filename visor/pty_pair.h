#pragma once

#include <QByteArray>
#include <QString>

// A raw pseudo-terminal standing in for a serial device: a program opens the slave path as its
// port, and whatever it writes is read, byte for byte, from the master. A slave descriptor is
// held open here too, so the master never sees a hangup when that program closes its port.
class PtyPair {
public:
    // Throws std::runtime_error when the system gives no pseudo-terminal.
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    QString slavePath() const { return m_slavePath; }
    // Non-blocking; readable when bytes are waiting.
    int masterDescriptor() const { return m_master; }

    // The bytes waiting on the master now; never waits.
    QByteArray readAvailable();

private:
    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
};
