#include "link/HandlerGate.h"

void HandlerGate::run(const std::function<void()>& handler) {
    ++m_depth;
    handler();
    --m_depth;
    if (m_depth == 0 && !m_waiting.empty() && !m_flushPosted) {
        m_flushPosted = true;
        m_post([this] { flush(); });
    }
}

void HandlerGate::deliver(std::function<void()> notification) {
    if (m_depth > 0) {
        m_waiting.push_back(std::move(notification));
        return;
    }
    run(notification);
}

void HandlerGate::flush() {
    m_flushPosted = false;
    std::vector<std::function<void()>> waiting;
    waiting.swap(m_waiting);
    for (const auto& notification : waiting)
        deliver(notification);
}
