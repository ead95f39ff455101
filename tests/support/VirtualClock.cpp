#include "tests/support/VirtualClock.h"

void VirtualClock::sleepMs(int ms) {
    advanceTo(m_now + std::max(ms, 0));
}

qint64 VirtualClock::schedule(qint64 at, std::function<void()> event) {
    m_events.emplace(std::make_pair(std::max(at, m_now), m_sequence), std::move(event));
    return m_sequence++;
}

void VirtualClock::cancel(qint64 event) {
    std::erase_if(m_events, [event](const auto& entry) { return entry.first.second == event; });
}

std::optional<qint64> VirtualClock::nextEventTime() const {
    if (m_events.empty())
        return std::nullopt;
    return m_events.begin()->first.first;
}

void VirtualClock::runNextEvent() {
    auto it = m_events.begin();
    m_now = std::max(m_now, it->first.first);
    auto event = std::move(it->second);
    m_events.erase(it);
    event();
}

void VirtualClock::advanceTo(qint64 time) {
    advanceUntil(time, [] { return false; });
}

void VirtualClock::advanceUntil(qint64 time, const std::function<bool()>& done) {
    while (!m_events.empty() && m_events.begin()->first.first <= time) {
        runNextEvent();
        if (done())
            return;
    }
    m_now = std::max(m_now, time);
}
