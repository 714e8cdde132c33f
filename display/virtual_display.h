#pragma once

#include <QByteArray>
#include <QString>

// A display that exists only in memory: it reads the usual customer display control set and
// keeps the two lines a real one would show. ESC @ initialises and 0x0C clears both lines;
// ESC Q A text CR writes the upper line and ESC Q B text CR the lower one (an ESC before the
// CR drops the unfinished line). Every other byte is ignored. Bytes may arrive in pieces of any
// size.
class VirtualDisplay {
public:
    // Returns whether a visible line changed.
    bool feed(const QByteArray& bytes);

    QString upperLine() const { return m_upper; }
    QString lowerLine() const { return m_lower; }

private:
    enum class State { Idle, Escape, EscapeQ, UpperText, LowerText };

    bool take(char byte);
    bool setLines(const QString& upper, const QString& lower);

    State m_state = State::Idle;
    QByteArray m_pending;
    QString m_upper;
    QString m_lower;
};
