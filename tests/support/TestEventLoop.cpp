#include "tests/support/TestEventLoop.h"

#include "tests/support/VirtualClock.h"

void TestEventLoop::runPosted(qint64 until) {
    while (!m_posted.isEmpty() && m_clock.now() <= until)
        m_posted.takeFirst()();
}

void TestEventLoop::runFor(qint64 ms) {
    const qint64 end = m_clock.now() + ms;
    runPosted(end);
    while (m_clock.now() <= end) {
        const auto next = m_clock.nextEventTime();
        if (!next || *next > end)
            break;
        m_clock.runNextEvent();
        runPosted(end);
    }
    m_clock.advanceTo(end);
    runPosted(end);
}
