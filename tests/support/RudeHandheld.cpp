#include "tests/support/RudeHandheld.h"

#include "tests/support/SimulatedPort.h"
#include "tests/support/VirtualClock.h"

RudeHandheld::RudeHandheld(VirtualClock& clock, SimulatedPort& port,
                           const DeviceModel::Options& model, const Options& options, quint32 seed)
    : m_clock(clock), m_port(port), m_model(model), m_options(options), m_random(seed) {}

void RudeHandheld::attach() {
    m_port.setDevice([this](const QByteArray& bytes) { return receive(bytes); });
}

QByteArray RudeHandheld::receive(const QByteArray& bytes) {
    // Command by command, so that each answer is queued on its own.
    for (const auto& [command, answer] : m_model.exchange(bytes)) {
        if (command == "DISCONNECT")
            m_queue.clear(); // the session is over: nothing more is sent for it
        queueAnswer(command, answer);
    }
    return {}; // everything goes out through the queue
}

void RudeHandheld::queueAnswer(const QByteArray& command, const QByteArray& answer) {
    if (answer.isEmpty())
        return;
    const bool records = command == "GET";
    QList<Line> lines;
    // The records follow "GET" at once: a line before them would be taken for one.
    if (m_options.echo && !records)
        lines.append({command + "\r\n"});
    if (!m_options.lateLine.isEmpty() && !records)
        lines.append({m_options.lateLine + "\r\n"});
    qsizetype from = 0;
    for (int n = 0; from < answer.size(); ++n) {
        qsizetype end = answer.indexOf("\r\n", from);
        end = end < 0 ? answer.size() : end + 2;
        const bool pause =
            records && m_options.pauseEvery > 0 && n > 0 && n % m_options.pauseEvery == 0;
        lines.append({answer.mid(from, end - from), records, pause ? m_options.pauseMs : 0});
        from = end;
    }
    if (records && !m_options.afterRecords.isEmpty())
        lines.append({m_options.afterRecords + "\r\n"});
    qsizetype at = m_queue.size();
    if (m_options.interleave && !records) {
        at = 0;
        while (at < m_queue.size() && !m_queue[at].record)
            ++at; // behind what is not a record, ahead of the records still to come
    }
    for (const Line& line : lines)
        m_queue.insert(at++, line);
    if (!m_sending)
        startSending(m_clock.now() + m_options.latencyMs);
}

void RudeHandheld::startSending(qint64 at) {
    m_sending = true;
    m_clock.schedule(at, [this] { sendNext(); });
}

void RudeHandheld::sendNext() {
    if (m_queue.isEmpty()) {
        m_sending = false;
        return;
    }
    const Line line = m_queue.takeFirst();
    qint64 at = m_clock.now() + line.pauseMs;
    if (m_options.trickleMs < 0) {
        m_port.arriveAt(at, line.bytes);
    } else {
        for (qsizetype i = 0; i < line.bytes.size();) {
            const qsizetype size = 1 + m_random.bounded(8);
            m_port.arriveAt(at, line.bytes.mid(i, size));
            i += size;
            if (i < line.bytes.size())
                at += m_random.bounded(m_options.trickleMs + 1);
        }
    }
    if (line.record && line.bytes.size() > 2)
        m_recordsSent.append(line.bytes.chopped(2));
    at += m_options.lineGapMs > 0 ? m_random.bounded(m_options.lineGapMs + 1) : 0;
    startSending(at + 1);
}
