#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

// A timer on the thread that makes it (the GUI thread in the tests), beating every few
// milliseconds while it lives: the longest gap between two beats is how long that thread's
// event loop was held up.
class Heartbeat : public QObject {
    Q_OBJECT
public:
    static constexpr int beatMs = 15;

    Heartbeat();

    // The longest gap since the start, counting the one still open.
    qint64 longestGapMs() const;
    int beats() const { return m_beats; }

private:
    void beat();

    QTimer m_timer;
    QElapsedTimer m_sinceLastBeat;
    qint64 m_longestGapMs = 0;
    int m_beats = 0;
};
