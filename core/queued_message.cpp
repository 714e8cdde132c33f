#include "core/queued_message.h"

#include <chrono>

qint64 steadyClockMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}
