#include "support/heartbeat.h"

#include <algorithm>

namespace {

constexpr qint64 baselineTimes = 3;
constexpr qint64 spareBeats = 4;
// Below this a gap is a busy machine's hitch, never a wait for the outside world (seconds).
constexpr qint64 hitchMs = 250;

} // namespace

Heartbeat::Heartbeat()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Heartbeat::beat);
    m_timer.start(beatMs);
    m_sinceLastBeat.start();
}

bool keptPace(qint64 gapMs, qint64 baselineMs)
{
    return gapMs <= std::max(hitchMs, baselineTimes * baselineMs + spareBeats * Heartbeat::beatMs);
}

QString paceReport(qint64 gapMs, qint64 baselineMs)
{
    return QString("longest gap %1 ms, %2 ms with nothing stalled").arg(gapMs).arg(baselineMs);
}
