#include "platform/InboxSerialPort.h"

#include <QTimer>

InboxSerialPort::InboxSerialPort(const PortMap& map, QObject* parent)
    : QObject(parent), m_map(map), m_inbox([this] {
          // On the reader's thread: only a call queued to the window thread.
          QMetaObject::invokeMethod(
              this, [this] { woken(); }, Qt::QueuedConnection);
      }) {}

QString InboxSerialPort::deviceName() const {
    return m_map.deviceFor(m_number);
}

SerialPort::OpenResult InboxSerialPort::open() {
    const QString device = deviceName();
    if (OpenResult opened = openDevice(device); !opened.ok)
        return opened;
    QString why;
    if (!setLine(&why)) {
        release();
        return {false, QStringLiteral("COM%1 (%2) does not accept the line settings 38400 8N1: %3")
                           .arg(m_number)
                           .arg(device, why)};
    }
    // A closed port receives nothing: bytes that reached the device before this open belong to an
    // earlier session and are dropped, as a real line drops them.
    dropEarlierInput();
    m_inbox.clear();
    m_receiveHeld = false;
    m_inbox.setWakeWanted(true);
    if (!startReader()) {
        release();
        return {false, QStringLiteral("COM%1 (%2) could not be opened: no thread to read it")
                           .arg(m_number)
                           .arg(device)};
    }
    return {true, QString()};
}

void InboxSerialPort::close() {
    release();
    m_receiveHeld = false;
    m_inbox.clear();
}

QByteArray InboxSerialPort::readPending() {
    return readSome(ReaderInbox::kReadAheadBytes);
}

QByteArray InboxSerialPort::readSome(qsizetype maxBytes) {
    checkEnded();
    // Held input is taken by a frame, which brings in what came since the reader last gathered.
    if (m_receiveHeld)
        readHeldNow();
    return m_inbox.take(maxBytes);
}

bool InboxSerialPort::waitForInput(int timeoutMs) {
    if (m_inbox.hasInput())
        return true;
    if (!isOpen() || checkEnded())
        return false;
    if (timeoutMs > 0 && m_beforeBlocking)
        m_beforeBlocking();
    const bool input = m_inbox.waitForInput(timeoutMs);
    checkEnded();
    return input;
}

void InboxSerialPort::woken() {
    m_inbox.wakeArrived();
    if (!isOpen() || checkEnded())
        return;
    if (m_inbox.hasInput())
        notifyReceive();
}

bool InboxSerialPort::checkEnded() {
    if (!isOpen() || !m_inbox.ended())
        return false;
    portLost(m_inbox.endReason());
    return true;
}

void InboxSerialPort::notifyIfInputWaiting() {
    if (isOpen() && m_inbox.hasInput())
        m_inbox.requestWake();
}

void InboxSerialPort::holdReceive(bool held) {
    m_receiveHeld = held && isOpen();
    m_inbox.setWakeWanted(!m_receiveHeld);
    if (!m_receiveHeld)
        notifyIfInputWaiting();
}

void InboxSerialPort::portLost(const QString& why) {
    if (!isOpen())
        return;
    release();
    m_receiveHeld = false;
    markLost();
    // Raised from the event loop, never inside the handler whose read or write failed.
    QTimer::singleShot(0, this, [this, why] { notifyLost(why); });
}
