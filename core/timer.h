#pragma once

#include <QObject>
#include <QTimer>

// A timer with the rules of the window's timers: enabling and the interval are independent; an
// interval of 0 gives no ticks while the timer stays enabled; an interval below 0 or above
// 65535 ms is refused and the old one kept.
class Timer : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 maximumInterval = 65535;

    Timer(int interval, QObject* parent = nullptr);

    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool enabled);

    int interval() const { return m_interval; }
    // Throws Failure for an interval outside 0 to 65535 ms.
    void setInterval(qint64 milliseconds);

    // Whether ticks come: enabled with a non-zero interval.
    bool isTicking() const { return m_timer.isActive(); }

signals:
    void tick();

private:
    void apply();

    QTimer m_timer;
    bool m_enabled = true;
    int m_interval;
};
