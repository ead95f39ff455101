#pragma once

#include <QList>
#include <functional>
#include <limits>

class VirtualClock;

// The event loop of a headless test: calls posted for "when the event loop runs next", and the
// passing of virtual time between handlers, with each arrival handled as it comes.
class TestEventLoop {
public:
    explicit TestEventLoop(VirtualClock& clock) : m_clock(clock) {}

    void post(std::function<void()> call) { m_posted.append(std::move(call)); }
    // Runs posted calls until none is left, or until the handlers they run have let the virtual
    // clock pass `until`: a handler that pauses while its next input arrives (continuous reading)
    // would otherwise keep the loop busy forever. What is left runs the next time.
    void runPosted(qint64 until = std::numeric_limits<qint64>::max());
    // Lets the given time pass, handling every event that falls due.
    void runFor(qint64 ms);

private:
    VirtualClock& m_clock;
    QList<std::function<void()>> m_posted;
};
