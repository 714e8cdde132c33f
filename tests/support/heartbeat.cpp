#include "support/heartbeat.h"

Heartbeat::Heartbeat()
{
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &Heartbeat::beat);
    m_timer.start(beatMs);
    m_sinceLastBeat.start();
}

qint64 Heartbeat::longestGapMs() const
{
    return std::max(m_longestGapMs, m_sinceLastBeat.elapsed());
}

void Heartbeat::beat()
{
    m_longestGapMs = std::max(m_longestGapMs, m_sinceLastBeat.restart());
    ++m_beats;
}
