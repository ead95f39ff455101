#pragma once

#include "platform/PortMap.h"
#include "platform/SerialPort.h"

#include <QObject>
#include <QSerialPort>

// The real serial port, on Qt's QSerialPort.
//
// Qt queues a write until the event loop runs, runs readyRead synchronously inside its wait
// calls, and keeps reporting a vanished device as an error in a busy loop. This adapter flushes
// every write before it returns, keeps the receive notification out of its own reads and waits,
// and closes the port at the first read or resource error, raising the lost notification once.
class QtSerialPort final : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit QtSerialPort(const PortMap& map, QObject* parent = nullptr);
    ~QtSerialPort() override;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override;

    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }

    bool write(const QByteArray& bytes) override;
    QByteArray readPending() override;
    bool waitForInput(int timeoutMs) override;
    // Bytes that reached Qt's buffer while its ready-read signal was still running (a modal box
    // inside the receive handler) raise no second signal: they get their notification here.
    void notifyIfInputWaiting() override;
    void holdReceive(bool held) override;
    // Runs before waitForInput() blocks the window thread for a time: the window brings what it
    // shows up to date there, as it does before a pause.
    void setBeforeBlocking(std::function<void()> before) { m_beforeBlocking = std::move(before); }

private:
    void onError(QSerialPort::SerialPortError error);
    // Acts on an error the port reported: a read or resource error on a device that has hung up
    // is the port lost; any other is cleared and the port watched again.
    void checkError(QSerialPort::SerialPortError error);
    bool deviceGone() const;
    // The driver holds bytes Qt has not read yet, or something to report (a hang-up, an error).
    bool driverHasInput() const;
    void portLost(const QString& why);
    // Qt watches the device for input with a read notifier of its own, which it arms again on
    // every read: while the receive is held it is disarmed after each read, so that arriving
    // bytes wait in the driver instead of waking the window thread.
    void applyHold();
    void armReadNotifier(bool armed);

    const PortMap& m_map;
    QSerialPort m_port;
    int m_number = 0;
    bool m_notifyQueued = false;
    bool m_receiveHeld = false;
    std::function<void()> m_beforeBlocking;
    QByteArray m_held; // bytes read while re-arming the port, not yet handed out
};
