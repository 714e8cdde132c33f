#pragma once

#include "app/controller.h"
#include "window/menu.h"

#include <QString>
#include <QStringList>

// The controller and its window in this process, offscreen, started with "AUTO" from the
// Mostrela.cfg of a folder, so both timers run as they do in the program. Messages that would
// open a box are kept instead.
class RunningController {
public:
    explicit RunningController(const QString& folder);

    Controller& controller() { return m_controller; }
    Menu& menu() { return m_menu; }

    QString lblError();
    // Line 1 of every queued row, top first.
    QStringList queued();
    // Line 1 of every row added to the queue so far, in order, a message put back included.
    QStringList added() const { return m_added; }
    QStringList criticalMessages() const { return m_criticalMessages; }
    // From now on a critical message stays open, as a box does until it is closed.
    void keepCriticalMessagesOpen() { m_keepCriticalMessagesOpen = true; }
    void closeCriticalMessage() { m_controller.criticalMessageClosed(); }

private:
    Controller m_controller;
    Menu m_menu;
    QStringList m_added;
    QStringList m_criticalMessages;
    bool m_keepCriticalMessagesOpen = false;
};
