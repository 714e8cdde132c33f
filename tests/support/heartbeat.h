#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <algorithm>

// A timer beating every few milliseconds on the thread that makes it (the tests' GUI thread): its
// longest gap is how long that thread's event loop was held up, judged against a baseline's in the
// same run, the same work with nothing stalled. A busy machine stretches both alike; a wait for the
// outside world (a login, a port's deadline of seconds) stands far above it.
class Heartbeat : public QObject {
public:
    static constexpr int beatMs = 15;

    Heartbeat();

    // The longest gap since the start, counting the one still open.
    qint64 longestGapMs() const { return std::max(m_longestGapMs, m_sinceLastBeat.elapsed()); }

private:
    void beat() { m_longestGapMs = std::max(m_longestGapMs, m_sinceLastBeat.restart()); }

    QTimer m_timer;
    QElapsedTimer m_sinceLastBeat;
    qint64 m_longestGapMs = 0;
};

// Whether a longest gap of `gapMs` stays within a few times `baselineMs`, a baseline's longest gap
// (with a few beats to spare for a baseline that met no hitch at all), or within a hitch.
bool keptPace(qint64 gapMs, qint64 baselineMs);
// Both gaps, for a failure's message.
QString paceReport(qint64 gapMs, qint64 baselineMs);
#define VERIFY_KEPT_PACE(gapMs, baselineMs)                                                        \
    QVERIFY2(keptPace(gapMs, baselineMs), qPrintable(paceReport(gapMs, baselineMs)))
