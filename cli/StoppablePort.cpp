#include "cli/StoppablePort.h"

#include "cli/Printable.h"

#include <QElapsedTimer>

StoppablePort::StoppablePort(SerialPort& port, std::function<bool()> stopRequested)
    : m_port(port), m_stopRequested(std::move(stopRequested)) {
    m_port.setReceiveNotification([this] {
        if (!cut())
            notifyReceive();
    });
    m_port.setLostNotification([this](const QString& why) { notifyLost(why); });
}

bool StoppablePort::cut() const {
    if (!m_cut && m_stopRequested && m_stopRequested())
        m_cut = true;
    return m_cut;
}

void StoppablePort::cutOff() {
    m_cut = true;
}

void StoppablePort::followLoss() {
    if (m_port.lossPending() && !lossPending())
        markLost();
}

SerialPort::OpenResult StoppablePort::open() {
    if (cut())
        return {false, QStringLiteral("The run was stopped before the port was opened.")};
    m_stillSending = false;
    OpenResult opened = m_port.open();
    if (!opened.ok || m_quietLimitMs <= 0 || waitForQuiet())
        return opened;
    m_port.close();
    if (cut())
        return {false, m_stillSending
                           ? QStringLiteral("The run was stopped while the handheld was still "
                                            "sending.")
                           : QStringLiteral("The run was stopped before the handheld was "
                                            "greeted.")};
    return {false, QStringLiteral("The handheld on %1 is still sending (the records of an earlier "
                                  "run, most likely) and did not fall quiet within %2, so "
                                  "it was not greeted. Let it finish, or switch it off and on, "
                                  "then try again.")
                       .arg(m_port.deviceName())
                       .arg(Printable::seconds(m_quietLimitMs / 1000))};
}

bool StoppablePort::waitForQuiet() {
    QElapsedTimer sending;
    sending.start();
    while (m_port.waitForInput(kQuietMs)) {
        m_port.readPending();
        // Only a handheld heard sending is still sending: a stop that comes before a byte does
        // says nothing of it.
        m_stillSending = true;
        if (cut() || sending.elapsed() > m_quietLimitMs)
            return false;
    }
    if (cut())
        return false;
    m_stillSending = false;
    return true;
}

void StoppablePort::close() {
    // Cut off, the real port is closed by goodbye(), after the handheld was told.
    if (!cut())
        m_port.close();
}

bool StoppablePort::isOpen() const {
    return !cut() && m_port.isOpen();
}

bool StoppablePort::write(const QByteArray& bytes) {
    if (cut()) {
        if (!lossPending())
            markLost();
        return false;
    }
    const bool written = m_port.write(bytes);
    followLoss();
    return written;
}

QByteArray StoppablePort::readPending() {
    if (cut())
        return {};
    QByteArray bytes = m_port.readPending();
    followLoss();
    return bytes;
}

QByteArray StoppablePort::readSome(qsizetype maxBytes) {
    if (cut())
        return {};
    QByteArray bytes = m_port.readSome(maxBytes);
    followLoss();
    return bytes;
}

bool StoppablePort::waitForInput(int timeoutMs) {
    if (cut())
        return false;
    const bool waiting = m_port.waitForInput(timeoutMs);
    followLoss();
    return waiting;
}

void StoppablePort::notifyIfInputWaiting() {
    if (!cut())
        m_port.notifyIfInputWaiting();
}

void StoppablePort::holdReceive(bool held) {
    if (!cut())
        m_port.holdReceive(held);
}

bool StoppablePort::goodbye() {
    if (!m_port.isOpen())
        return true;
    const bool told = m_port.write(QByteArrayLiteral("DISCONNECT\r"));
    m_port.close();
    return told;
}
