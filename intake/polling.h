#pragma once

#include "common/database_connection.h"

#include <functional>

class MessageQueue;
class Settings;
class Status;

// The polling tick of tmrVerifica: while the running page is selected, moves the waiting
// messages of the database, then of the drop folder, into the queue, showing each step in the
// running frame's caption. A tick whose connection fails ends there and leaves the failure label
// alone (the message said it all); any other failure ends the tick with its description in the
// failure label; a clean tick withdraws it.
//
// A tick never runs inside another: ticks that come while one is under way (from the pauses of
// the drop-folder step, or while the connection's message box is open) are dropped.
class Polling {
public:
    Polling(const Settings& settings, MessageQueue& queue, Status& status,
            std::function<bool()> isRunningPage, CriticalMessage showMessage);

    void tick();

private:
    const Settings& m_settings;
    MessageQueue& m_queue;
    Status& m_status;
    std::function<bool()> m_isRunningPage;
    CriticalMessage m_showMessage;
    bool m_ticking = false;
};
