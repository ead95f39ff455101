#include "tests/support/TestEventLoop.h"

#include "tests/support/VirtualClock.h"

void TestEventLoop::runPosted() {
    while (!m_posted.isEmpty())
        m_posted.takeFirst()();
}

void TestEventLoop::runFor(qint64 ms) {
    const qint64 end = m_clock.now() + ms;
    runPosted();
    while (true) {
        const auto next = m_clock.nextEventTime();
        if (!next || *next > end)
            break;
        m_clock.runNextEvent();
        runPosted();
    }
    m_clock.advanceTo(end);
    runPosted();
}
