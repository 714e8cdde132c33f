#pragma once

#include <QByteArray>
#include <QString>

#include <utility>

#ifdef Q_OS_WIN
#include <QFile>
#else
#include "visor/pty_pair.h"
#endif

// A pseudo-terminal in place of a serial device, for tests: the program under test opens the
// slave path as its port, and the test reads exactly the bytes that were written, waiting for
// them where it must. A Windows program under Wine can make none: scripts/wine-run makes it,
// links it as a COM port, whose name is then the slave path, and appends what arrives to a
// file, which is read here from its end at the start.
class PseudoTerminal {
public:
    // Throws std::runtime_error when there is no pseudo-terminal.
#ifdef Q_OS_WIN
    PseudoTerminal();
#else
    PseudoTerminal() : m_slavePath(m_pair.slavePath()) {}
#endif
    QString slavePath() const
    {
        return m_slavePath;
    }

    // Everything received and not yet taken, after reading what the master holds now. Never
    // waits, so it suits QTRY_COMPARE.
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

    // Suspends output on the line, as a display that stops reading does: a program that writes
    // waits, its port open and set, until the line is released.
    void holdWriters();
    void releaseWriters();

    // The line settings set on the port now, as far as a pseudo-terminal keeps them: the speed,
    // the parity and the stop bits, as in "19200,o,2". Linux keeps no parity-enable flag and
    // no data size on a pseudo-terminal, so even parity reads as none and the data bits are
    // not seen.
    QString lineSettings() const;
#endif

private:
#ifdef Q_OS_WIN
    QString m_slavePath;
    QFile m_relay;
#else
    PtyPair m_pair;
    QString m_slavePath;
#endif
    QByteArray m_received;
};
