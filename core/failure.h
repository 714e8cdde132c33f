#pragma once

#include <QString>
#include <functional>
#include <stdexcept>

// A step that could not be done. Its description is what the failure label shows, so it must
// say plainly what went wrong and where.
class Failure : public std::runtime_error {
public:
    explicit Failure(const QString& description);
    QString description() const;
};

// Runs one handler (a tick, a button, the window's load) under its own error trap: the first
// failure stops it. Returns that failure's description, or an empty text after a clean run.
// Nothing ever escapes into the event loop.
QString runTrapped(const std::function<void()>& handler);

// Runs one step of a handler that skips failing steps silently and goes on with the next.
void runSkippingFailure(const std::function<void()>& step);
