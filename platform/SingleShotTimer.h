#pragma once

#include <functional>

// A timer that runs its timeout call once, on the window thread, when the time started is up.
class SingleShotTimer {
public:
    virtual ~SingleShotTimer() = default;

    // Runs each time the timer fires; never after stop() or a new start().
    virtual void setTimeout(std::function<void()> timeout) = 0;
    // Fires `ms` milliseconds from now; a start that has not fired yet is replaced.
    virtual void start(int ms) = 0;
    virtual void stop() = 0;
    // Started, and neither fired nor stopped since; false already while the timeout call runs.
    virtual bool isActive() const = 0;
};
