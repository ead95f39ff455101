#include "link/HandlerGate.h"

#include <algorithm>

void HandlerGate::run(const std::function<void()>& handler) {
    ++m_depth;
    handler();
    --m_depth;
    if (m_depth > 0)
        return;
    if (m_after)
        m_after();
    if (!m_waiting.empty() && !m_flushPosted) {
        m_flushPosted = true;
        m_post([this] { flush(); });
    }
}

void HandlerGate::deliver(std::function<void()> notification, const void* kind) {
    if (m_depth > 0) {
        const bool alreadyWaiting =
            kind && std::any_of(m_waiting.begin(), m_waiting.end(),
                                [kind](const Waiting& waiting) { return waiting.kind == kind; });
        if (!alreadyWaiting)
            m_waiting.push_back({std::move(notification), kind});
        return;
    }
    run(notification);
}

void HandlerGate::flush() {
    m_flushPosted = false;
    std::vector<Waiting> waiting;
    waiting.swap(m_waiting);
    for (Waiting& each : waiting)
        deliver(std::move(each.call), each.kind);
}
