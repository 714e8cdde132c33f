#pragma once

#include "app/controller.h"
#include "window/menu.h"

#include <QString>
#include <QStringList>

// The control of the window named `name`; the test ends at once when there is none.
template <typename Control> Control* child(const QObject& window, const QString& name)
{
    Control* found = window.findChild<Control*>(name);
    if (!found)
        qFatal("no control named %s", qPrintable(name));
    return found;
}

// The controller and its window in this process, offscreen, started with "AUTO" from the
// Mostrela.cfg of a folder, so both timers run as they do in the program. The display is written
// through the serial port, or through `display` when one is lent.
class RunningController {
public:
    explicit RunningController(const QString& folder, DisplayPort* display = nullptr);

    Controller& controller() { return m_controller; }
    Menu& menu() { return m_menu; }

    QString lblError();
    // Line 1 of every queued row, top first.
    QStringList queued();
    // Line 1 of every row added to the queue so far, in order, a message put back included.
    QStringList added() const { return m_added; }
    // What each connection failure told the person at the screen, in order.
    QStringList connectionFailures() const { return m_connectionFailures; }
    // The text of the window's connection box while it is open, else empty.
    QString connectionBoxText() const;

private:
    Controller m_controller;
    Menu m_menu;
    QStringList m_added;
    QStringList m_connectionFailures;
};
