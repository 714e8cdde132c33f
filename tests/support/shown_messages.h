#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

// Cuts what the usual display receives, in pieces of any size, into the messages it showed: each
// a group of clear (0x0C), ESC Q A line 1 CR, ESC Q B line 2 CR. Bytes of no whole group, as of a
// message torn or interleaved on the line, are counted as stray, not guessed at.
class ShownMessages {
public:
    struct Shown {
        QString linha1;
        QString linha2;
    };

    // The messages that these bytes complete, in the order shown.
    QList<Shown> take(const QByteArray& bytes);

    qint64 strayBytes() const { return m_strayBytes; }

private:
    // Drops bytes from the front up to the next clear (or the first `count` bytes at least).
    void skipStray(qsizetype count);

    QByteArray m_pending;
    qint64 m_strayBytes = 0;
};
