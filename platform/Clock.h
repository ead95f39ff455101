#pragma once

#include <QDateTime>

// The PC's local date and time, and a monotonic millisecond count for time-outs.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime localNow() const = 0;
    virtual qint64 monotonicMs() const = 0;
};
