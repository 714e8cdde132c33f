#include "core/timer.h"

#include "core/failure.h"

Timer::Timer(int interval, QObject* parent) : QObject(parent), m_interval(interval)
{
    connect(&m_timer, &QTimer::timeout, this, &Timer::tick);
    apply();
}

void Timer::setEnabled(bool enabled)
{
    m_enabled = enabled;
    apply();
}

void Timer::setInterval(qint64 milliseconds)
{
    if (milliseconds < 0 || milliseconds > maximumInterval)
        throw Failure(QStringLiteral("Intervalo inválido para um temporizador: %1 ms (aceita 0 a "
                                     "%2 ms)")
                          .arg(milliseconds)
                          .arg(maximumInterval));
    m_interval = static_cast<int>(milliseconds);
    apply();
}

void Timer::apply()
{
    if (m_enabled && m_interval > 0) {
        // Restarting on every change would postpone the next tick; only a new interval does.
        if (!m_timer.isActive() || m_timer.interval() != m_interval)
            m_timer.start(m_interval);
    } else {
        m_timer.stop();
    }
}
