#pragma once

#include <functional>

class MessageQueue;
class Status;
struct ConnectionFailure;
struct SourceSettings;

// The polling tick of tmrVerifica: while the running page is selected, moves the waiting
// messages of the database, then of the drop folder, into the queue, showing each step in the
// running frame's caption. A tick whose connection fails ends there, hands the failure to its
// owner and leaves the failure label alone; any other failure ends the tick with its description
// in the failure label; a clean tick withdraws it.
//
// A tick never runs inside another: ticks that come while one is under way (from the pauses of
// the drop-folder step, or while the owner shows a connection failure) are dropped.
class Polling {
public:
    using ConnectionFailed = std::function<void(const ConnectionFailure&)>;

    Polling(MessageQueue& queue, Status& status, std::function<bool()> isRunningPage,
            ConnectionFailed connectionFailed);

    void tick(const SourceSettings& settings);

private:
    // Returns false when the connection could not be opened.
    bool takeDatabaseMessages(const SourceSettings& settings);

    MessageQueue& m_queue;
    Status& m_status;
    std::function<bool()> m_isRunningPage;
    ConnectionFailed m_connectionFailed;
    bool m_ticking = false;
};
