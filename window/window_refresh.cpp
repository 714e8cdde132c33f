#include "window/window_refresh.h"

#include <QEvent>
#include <QWidget>

WindowRefresh::WindowRefresh(QWidget* window) : QObject(window), m_window(window)
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(intervalMs);
    connect(&m_timer, &QTimer::timeout, this, &WindowRefresh::refresh);
    window->installEventFilter(this);
}

void WindowRefresh::post(QObject* control, std::function<void()> show)
{
    m_posted.insert(control, {control, std::move(show)});
    request();
}

void WindowRefresh::request()
{
    m_requested = true;
    // Started by the first change after a refresh only: a steady stream of changes is shown
    // every interval, not put off until it stops.
    if (!m_timer.isActive() && windowSeen())
        m_timer.start();
}

bool WindowRefresh::windowSeen() const
{
    return m_window->isVisible() && !m_window->isMinimized();
}

void WindowRefresh::refresh()
{
    if (!m_requested || !windowSeen())
        return;
    m_requested = false;
    for (const auto& [control, show] : std::exchange(m_posted, {})) {
        if (control)
            show();
    }
    emit refreshing();
}

bool WindowRefresh::eventFilter(QObject* watched, QEvent* event)
{
    // Back on screen: what came while it was away is shown before it is first painted.
    const QEvent::Type type = event->type();
    if (watched == m_window && (type == QEvent::Show || type == QEvent::WindowStateChange))
        refresh();
    return QObject::eventFilter(watched, event);
}
