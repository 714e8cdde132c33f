#pragma once

#include <QString>

struct DisplaySettings;
class SerialPort;

// Shows one message of two lines on the display, with the display settings of the moment. A
// message whose two lines, joined, equal those of the last message that reached the display is
// not sent again.
//
// Glossary: LancaNoDisplay = put on the display; UltimaLinha1/2 = the last lines written.
class DisplayDispatch {
public:
    explicit DisplayDispatch(SerialPort& mscDisplay);

    // Cuts both lines to the line width, then writes the clear code and each line between its
    // start and end codes, opening and closing the port around each of the three writes. Never
    // throws and leaves no port open; what went wrong is kept in failure().
    void LancaNoDisplay(const DisplaySettings& settings, QString linha1, QString linha2);

    // Why the last call could not write its message; empty when it was written or not needed.
    QString failure() const { return m_failure; }

private:
    SerialPort& m_mscDisplay;
    QString UltimaLinha1;
    QString UltimaLinha2;
    QString m_failure;
};
