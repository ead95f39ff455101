#include "tests/support/VirtualTimer.h"

#include "tests/support/VirtualClock.h"

void VirtualTimer::start(int ms) {
    stop();
    m_event = m_clock.schedule(m_clock.now() + ms, [this] {
        m_event.reset();
        if (m_timeout)
            m_timeout();
    });
}

void VirtualTimer::stop() {
    if (m_event)
        m_clock.cancel(*m_event);
    m_event.reset();
}
