#pragma once

#include <QList>
#include <functional>

class VirtualClock;

// The event loop of a headless test: calls posted for "when the event loop runs next", and the
// passing of virtual time between handlers, with each arrival handled as it comes.
class TestEventLoop {
public:
    explicit TestEventLoop(VirtualClock& clock) : m_clock(clock) {}

    void post(std::function<void()> call) { m_posted.append(std::move(call)); }
    // Runs posted calls until none is left.
    void runPosted();
    // Lets the given time pass, handling every event that falls due.
    void runFor(qint64 ms);

private:
    VirtualClock& m_clock;
    QList<std::function<void()>> m_posted;
};
