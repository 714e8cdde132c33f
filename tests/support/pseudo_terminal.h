#pragma once

#include <QByteArray>
#include <QString>

#include <utility>

#ifdef Q_OS_WIN
#include <QFile>
#else
#include "visor/pty_pair.h"
#endif

// A pseudo-terminal in place of a serial device: the program under test opens the slave path as
// its port, and the test reads exactly the bytes written, waiting for them where it must. Under
// Wine, where a Windows program can make none, scripts/wine-run makes it, links it as a COM port
// (then the slave path) and appends what arrives to a file, read here from its end at the start.
class PseudoTerminal {
public:
    // Throws std::runtime_error when there is no pseudo-terminal.
    PseudoTerminal();
    QString slavePath() const { return m_slavePath; }

    // What came and is not yet taken, the master read first; never waits, so it suits QTRY_COMPARE.
    QByteArray received();

    // Waits until at least `count` bytes are in, or until the deadline; says whether they are.
    bool waitForBytes(qsizetype count, int timeoutMs = 5000);

    // Waits for at least `count` bytes (as waitForBytes), then takes everything received.
    QByteArray take(qsizetype count = 0, int timeoutMs = 5000)
    {
        waitForBytes(count, timeoutMs);
        return std::exchange(m_received, {});
    }

#ifndef Q_OS_WIN
    // Stops the line as a display that stops reading does: a writer waits, its port open and set.
    void holdWriters();
    void releaseWriters();

    // The line settings on the port now, as far as a pseudo-terminal keeps them: speed, parity and
    // stop bits, as in "19200,o,2". Linux keeps no parity-enable flag nor data size on one, so
    // even parity reads as none and the data bits are not seen.
    QString lineSettings() const;
#endif

private:
#ifdef Q_OS_WIN
    QFile m_relay;
#else
    PtyPair m_pair;
#endif
    QString m_slavePath;
    QByteArray m_received;
};
