#include "platform/QtSerialPort.h"

#include "platform/OpenFailure.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>
#include <poll.h>

namespace {

constexpr int kWriteTimeoutMs = 2000;
// What Qt may read ahead while nobody takes it, as while a modal box is open: more than an hour
// of the line at 38400 baud. Beyond it Qt stops reading and the bytes wait in the driver, so a
// device that floods the line cannot grow the tool without bound.
constexpr qint64 kReadAheadBytes = 16 * 1024 * 1024;

// Holds the port's signals back for a scope: Qt's wait calls would otherwise run the receive
// handler inside the handler that is polling.
class SignalHold {
public:
    explicit SignalHold(QObject& object) : m_object(object), m_was(object.blockSignals(true)) {}
    ~SignalHold() { m_object.blockSignals(m_was); }
    SignalHold(const SignalHold&) = delete;
    SignalHold& operator=(const SignalHold&) = delete;

private:
    QObject& m_object;
    bool m_was;
};

bool isLoss(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError ||
           error == QSerialPort::WriteError;
}

} // namespace

QtSerialPort::QtSerialPort(const PortMap& map, QObject* parent) : QObject(parent), m_map(map) {
    m_port.setReadBufferSize(kReadAheadBytes);
    connect(&m_port, &QSerialPort::readyRead, this, [this] { notifyReceive(); });
    connect(&m_port, &QSerialPort::errorOccurred, this, &QtSerialPort::onError);
}

QtSerialPort::~QtSerialPort() {
    SignalHold hold(m_port);
    m_port.close();
}

QString QtSerialPort::deviceName() const {
    return m_map.deviceFor(m_number);
}

SerialPort::OpenResult QtSerialPort::open() {
    const QString device = deviceName();
    if (device.isEmpty())
        return {false, OpenFailure::describeUnmapped(m_number, PortMap::presentDevices())};
    if (m_port.isOpen())
        close();
    m_port.setPortName(device);
    SignalHold hold(m_port);
    if (!m_port.open(QIODevice::ReadWrite)) {
        const QString qtReason = m_port.errorString();
        m_port.clearError();
        return {false, OpenFailure::describe(m_number, device, qtReason)};
    }
    const bool settled =
        m_port.setBaudRate(QSerialPort::Baud38400) && m_port.setDataBits(QSerialPort::Data8) &&
        m_port.setParity(QSerialPort::NoParity) && m_port.setStopBits(QSerialPort::OneStop) &&
        m_port.setFlowControl(QSerialPort::NoFlowControl);
    if (!settled) {
        const QString why = m_port.errorString();
        m_port.close();
        m_port.clearError();
        return {false, QStringLiteral("COM%1 (%2) does not accept the line settings 38400 8N1: %3")
                           .arg(m_number)
                           .arg(device, why)};
    }
    // A closed port receives nothing: bytes that reached the device before this open belong to an
    // earlier session and are dropped, as a real line drops them.
    m_port.clear(QSerialPort::AllDirections);
    m_port.clearError();
    return {true, QString()};
}

void QtSerialPort::close() {
    m_held.clear();
    m_receiveHeld = false;
    SignalHold hold(m_port);
    m_port.close();
    m_port.clearError();
}

bool QtSerialPort::write(const QByteArray& bytes) {
    if (!m_port.isOpen())
        return false;
    bool ok = true;
    {
        SignalHold hold(m_port);
        ok = m_port.write(bytes) == bytes.size();
        while (ok && m_port.bytesToWrite() > 0)
            ok = m_port.waitForBytesWritten(kWriteTimeoutMs);
    }
    if (!ok) {
        portLost(m_port.errorString());
        return false;
    }
    notifyIfInputWaiting();
    return true;
}

QByteArray QtSerialPort::readPending() {
    if (!m_port.isOpen())
        return {};
    QByteArray bytes;
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    {
        SignalHold hold(m_port);
        // Qt reads what the driver holds only in its wait call; asking the driver first spares
        // that call, and the time-out error it leaves, when nothing more has come in.
        if (driverHasInput())
            m_port.waitForReadyRead(0);
        bytes = m_held + m_port.readAll();
        m_held.clear();
        error = m_port.error();
    }
    checkError(error);
    applyHold();
    return bytes;
}

bool QtSerialPort::waitForInput(int timeoutMs) {
    if (!m_port.isOpen())
        return false;
    if (!m_held.isEmpty() || m_port.bytesAvailable() > 0)
        return true;
    if (timeoutMs > 0 && m_beforeBlocking)
        m_beforeBlocking();
    QSerialPort::SerialPortError error = QSerialPort::NoError;
    {
        SignalHold hold(m_port);
        m_port.waitForReadyRead(timeoutMs);
        error = m_port.error();
    }
    checkError(error);
    applyHold();
    return m_port.isOpen() && m_port.bytesAvailable() > 0;
}

void QtSerialPort::onError(QSerialPort::SerialPortError error) {
    checkError(error);
    applyHold();
}

void QtSerialPort::checkError(QSerialPort::SerialPortError error) {
    if (!m_port.isOpen() || error == QSerialPort::NoError)
        return;
    if (isLoss(error) && deviceGone()) {
        portLost(m_port.errorString());
        return;
    }
    m_port.clearError();
    if (isLoss(error)) {
        // A read notification that comes after its bytes were already taken reads nothing, and
        // Qt takes that for a failed read and may stop watching the port. The device is still
        // there: watch it again (reading re-arms it) and keep whatever that read brings.
        SignalHold hold(m_port);
        m_held += m_port.readAll();
        m_port.clearError();
    }
    notifyIfInputWaiting();
}

bool QtSerialPort::driverHasInput() const {
    pollfd watched{static_cast<int>(m_port.handle()), POLLIN, 0};
    // A failed poll or a hung-up device goes to Qt's own read, which reports it.
    return ::poll(&watched, 1, 0) != 0;
}

bool QtSerialPort::deviceGone() const {
    pollfd watched{static_cast<int>(m_port.handle()), POLLIN, 0};
    if (::poll(&watched, 1, 0) < 0)
        return errno != EINTR;
    return (watched.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
}

void QtSerialPort::portLost(const QString& why) {
    if (!m_port.isOpen())
        return;
    {
        SignalHold hold(m_port);
        m_port.close();
        m_port.clearError();
    }
    markLost();
    // Raised from the event loop, never inside the handler whose read or write failed.
    QTimer::singleShot(0, this, [this, why] { notifyLost(why); });
}

void QtSerialPort::notifyIfInputWaiting() {
    if (m_notifyQueued || (m_held.isEmpty() && m_port.bytesAvailable() == 0))
        return;
    m_notifyQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_notifyQueued = false;
        if (m_port.isOpen() && (!m_held.isEmpty() || m_port.bytesAvailable() > 0))
            notifyReceive();
    });
}

void QtSerialPort::holdReceive(bool held) {
    const bool was = m_receiveHeld;
    m_receiveHeld = held && m_port.isOpen();
    if (m_receiveHeld != was)
        armReadNotifier(!m_receiveHeld);
    // Bytes still in the driver wake the notifier armed again; those Qt has read already do not.
    if (!m_receiveHeld)
        notifyIfInputWaiting();
}

void QtSerialPort::applyHold() {
    if (m_receiveHeld)
        armReadNotifier(false);
}

void QtSerialPort::armReadNotifier(bool armed) {
    if (!m_port.isOpen())
        return;
    const auto notifiers = m_port.findChildren<QSocketNotifier*>(Qt::FindDirectChildrenOnly);
    for (QSocketNotifier* notifier : notifiers) {
        if (notifier->type() == QSocketNotifier::Read)
            notifier->setEnabled(armed);
    }
}
