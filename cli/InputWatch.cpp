#include "cli/InputWatch.h"

#include "link/Answers.h"
#include "link/NumberInText.h"
#include "platform/Clock.h"

InputWatch::InputWatch(const Clock& clock) : m_clock(clock), m_lastInputMs(clock.monotonicMs()) {}

void InputWatch::appendLog(const QByteArray& text) {
    if (!text.isEmpty())
        m_lastInputMs = m_clock.monotonicMs();
}

void InputWatch::setZeile(const QByteArray& line) {
    ++m_lines;
    if (m_awaiting && Answers::acknowledgement(line) != Answers::Ack::None) {
        if (!m_answer)
            m_answer = line;
        m_answers.append(line);
    }
    if (Answers::statusReply(line) == StatusReply::Akku) {
        // The status chain reads the same number, and shows 0 where there is none.
        m_batteryReadable =
            NumberInText::find(Answers::statusValue(StatusReply::Akku, line)).has_value();
    }
}

qint64 InputWatch::quietMs() const {
    return m_clock.monotonicMs() - m_lastInputMs;
}

void InputWatch::restart() {
    m_lastInputMs = m_clock.monotonicMs();
}
