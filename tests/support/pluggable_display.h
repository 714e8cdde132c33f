#pragma once

#include "support/pseudo_terminal.h"

#include <QByteArray>
#include <QString>
#include <memory>

// A display whose cable can be pulled out and plugged back in, for tests. The port the program
// is given is a symbolic link to a pseudo-terminal: unplugging removes the link and closes that
// pseudo-terminal, plugging in opens a new one and points the link at it. What every one of them
// received is kept, in order.
class PluggableDisplay {
public:
    // Plugged in from the start. Throws std::runtime_error when no pseudo-terminal is available
    // or the link cannot be made.
    explicit PluggableDisplay(const QString& linkPath);

    // The port setting for the program: the link.
    QString port() const { return m_linkPath; }

    void unplug();
    void plugIn();

    // Everything received since construction; never waits, so it suits QTRY_COMPARE.
    QByteArray received();

private:
    QString m_linkPath;
    std::unique_ptr<PseudoTerminal> m_terminal;
    QByteArray m_earlier;
};
