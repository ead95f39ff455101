#include "tests/support/SimulatedPort.h"

#include "tests/support/VirtualClock.h"

#include <algorithm>

SerialPort::OpenResult SimulatedPort::open() {
    if (!m_openFailure.isEmpty())
        return {false, m_openFailure};
    m_open = true;
    m_input.clear();
    ++m_openCount;
    return {true, QString()};
}

bool SimulatedPort::write(const QByteArray& bytes) {
    if (!m_open)
        return false;
    if (m_writesFail) {
        pull();
        return false;
    }
    m_writes.append({m_clock.now(), bytes});
    if (!m_device)
        return true;
    const QByteArray answer = m_device(bytes);
    if (answer.isEmpty())
        return true;
    const qint64 start = m_clock.now() + m_latency;
    if (m_pieceSize <= 0) {
        arriveAt(start, answer);
        return true;
    }
    for (qsizetype i = 0; i * m_pieceSize < answer.size(); ++i)
        arriveAt(start + i * m_pieceGap, answer.mid(i * m_pieceSize, m_pieceSize));
    return true;
}

void SimulatedPort::arriveAt(qint64 at, const QByteArray& bytes) {
    m_clock.schedule(at, [this, bytes] { arrive(bytes); });
}

void SimulatedPort::arrive(const QByteArray& bytes) {
    if (!m_open)
        return;
    m_input.append(bytes);
    if (!m_receiveHeld)
        announce();
}

void SimulatedPort::holdReceive(bool held) {
    m_receiveHeld = held && m_open;
    if (!m_receiveHeld)
        notifyIfInputWaiting();
}

void SimulatedPort::announce() {
    if (m_notifying)
        return;
    m_notifying = true;
    notifyReceive();
    m_notifying = false;
}

void SimulatedPort::notifyIfInputWaiting() {
    if (!m_open || m_input.isEmpty())
        return;
    m_clock.schedule(m_clock.now(), [this] {
        if (m_open && !m_input.isEmpty())
            announce();
    });
}

QByteArray SimulatedPort::readPending() {
    QByteArray bytes;
    bytes.swap(m_input);
    return bytes;
}

QByteArray SimulatedPort::readSome(qsizetype maxBytes) {
    const QByteArray bytes = m_input.first(std::min(maxBytes, m_input.size()));
    m_input.remove(0, bytes.size());
    return bytes;
}

bool SimulatedPort::waitForInput(int timeoutMs) {
    if (!m_open)
        return !m_input.isEmpty();
    m_clock.advanceUntil(m_clock.now() + timeoutMs, [this] { return !m_input.isEmpty(); });
    return !m_input.isEmpty();
}

void SimulatedPort::pull() {
    if (!m_open)
        return;
    m_open = false;
    markLost();
    m_clock.schedule(m_clock.now(), [this] { notifyLost(QStringLiteral("Input/output error")); });
}

QByteArray SimulatedPort::written() const {
    QByteArray all;
    for (const Write& w : m_writes)
        all += w.bytes;
    return all;
}

QList<QByteArray> SimulatedPort::sentLines() const {
    QList<QByteArray> lines = written().split('\r');
    lines.removeLast(); // what follows the last CR is no complete line
    return lines;
}
