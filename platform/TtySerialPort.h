#pragma once

#include "platform/DeviceLock.h"
#include "platform/PortMap.h"
#include "platform/PortReader.h"
#include "platform/SerialPort.h"

#include <QObject>
#include <termios.h>

// The real serial port: the device's descriptor, owned by this adapter.
//
// A reader thread (PortReader) takes every received byte out of the driver the moment it
// arrives, so that nothing waits there while the window thread pauses, shows a box or waits for
// its next frame, and nothing is lost when the device hangs up. The window thread writes, reads
// what the reader keeps, and is woken through its event loop: at once while the receive is
// free, not at all while it is held (the frames take the input then). A device that hangs up or
// fails is closed once, with the reason in plain words; what was received before stays readable
// until the port is closed or opened again, so the tool can handle it first.
class TtySerialPort final : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit TtySerialPort(const PortMap& map, QObject* parent = nullptr);
    ~TtySerialPort() override;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override;

    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return m_descriptor >= 0; }

    bool write(const QByteArray& bytes) override;
    QByteArray readPending() override;
    QByteArray readSome(qsizetype maxBytes) override;
    bool waitForInput(int timeoutMs) override;
    void notifyIfInputWaiting() override;
    void holdReceive(bool held) override;
    // Runs before waitForInput() blocks the window thread for a time: the window brings what it
    // shows up to date there, as it does before a pause.
    void setBeforeBlocking(std::function<void()> before) { m_beforeBlocking = std::move(before); }

private:
    // Sets 38400 8N1, raw, no flow control; the modem lines are left alone.
    bool setLine(QString* why);
    // The call the reader's wake posted, on the window thread.
    void woken();
    // The reader found the device's end: the port is lost.
    bool checkEnded();
    void portLost(const QString& why);
    // Stops the reader, gives the device its old line settings back and closes it. What the
    // reader kept stays.
    void release();

    const PortMap& m_map;
    int m_number = 0;
    int m_descriptor = -1;
    termios m_savedLine{};
    DeviceLock m_lock;
    PortReader m_reader;
    bool m_receiveHeld = false;
    std::function<void()> m_beforeBlocking;
};
