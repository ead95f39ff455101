#include "cli/InputWatch.h"

#include "platform/Clock.h"

InputWatch::InputWatch(const Clock& clock) : m_clock(clock), m_lastInputMs(clock.monotonicMs()) {}

void InputWatch::appendLog(const QByteArray& text) {
    if (!text.isEmpty())
        m_lastInputMs = m_clock.monotonicMs();
}

void InputWatch::setZeile(const QByteArray& line) {
    ++m_lines;
    if (m_awaiting && !m_answer)
        m_answer = line;
}

qint64 InputWatch::quietMs() const {
    return m_clock.monotonicMs() - m_lastInputMs;
}

void InputWatch::restart() {
    m_lastInputMs = m_clock.monotonicMs();
}
