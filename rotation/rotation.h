#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

class DisplayDispatch;
class MessageQueue;
class Status;
struct DisplaySettings;
struct RotationSettings;

// Moves the queued messages to the display, one per tick of the display timer, oldest first
// unless a row was picked by hand. With the queue empty it shows the idle text when that is
// switched on. Each tick reports its outcome to the failure label: a display that cannot be
// written says so until a tick gets through, and the message it could not show goes back to the
// top of the queue, selected, to be tried again on the next tick.
//
// Glossary: #DataHora# = the keyword for the current date and time.
class Rotation {
public:
    using Clock = std::function<QDateTime()>;

    Rotation(MessageQueue& queue, Status& status, DisplayDispatch& dispatch);

    // The source of "now" for the date-and-time idle line; the system clock by default.
    void setClock(Clock clock) { m_clock = std::move(clock); }

    // The date-and-time idle line: "dd MMMM  hh:mm", the month in the user's language.
    static QString dateTimeLine(const QDateTime& moment);

    // One tick, with the settings of the moment.
    void tick(const RotationSettings& settings, const DisplaySettings& display);

private:
    void showNext(const RotationSettings& settings, const DisplaySettings& display);

    MessageQueue& m_queue;
    Status& m_status;
    DisplayDispatch& m_dispatch;
    Clock m_clock = &QDateTime::currentDateTime;
};
