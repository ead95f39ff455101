#pragma once

#include "platform/PortMap.h"
#include "platform/ReaderInbox.h"
#include "platform/SerialPort.h"

#include <QObject>

// The window thread's side of a real serial port whose reader thread keeps the input in an
// inbox: reading what was kept, waiting for it, and being woken through the event loop, at once
// while the receive is free, not at all while it is held (the frames take the input then). A
// device that hangs up or fails is closed once, with the reason in plain words; what was
// received before stays readable until the port is closed or opened again, so the tool can
// handle it first. Opening the device, its line, writing and the reader's thread are the
// subclass's.
class InboxSerialPort : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit InboxSerialPort(const PortMap& map, QObject* parent = nullptr);

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override;

    // Opens the device, sets its line, drops what came before and starts the reader.
    OpenResult open() override;
    void close() override;
    QByteArray readPending() override;
    QByteArray readSome(qsizetype maxBytes) override;
    bool waitForInput(int timeoutMs) override;
    void notifyIfInputWaiting() override;
    void holdReceive(bool held) override;
    // Runs before waitForInput() blocks the window thread for a time: the window brings what it
    // shows up to date there, as it does before a pause.
    void setBeforeBlocking(std::function<void()> before) { m_beforeBlocking = std::move(before); }

protected:
    // Opens the device that the port number stands for, closing the port first.
    virtual OpenResult openDevice(const QString& device) = 0;
    // Sets 38400 8N1, no flow control; why it could not, in plain words.
    virtual bool setLine(QString* why) = 0;
    virtual void dropEarlierInput() = 0;
    // False when no thread could be started.
    virtual bool startReader() = 0;
    // Stops the reader and closes the device. What the inbox kept stays.
    virtual void release() = 0;
    // A read while the receive is held first brings in what the driver holds now, where the
    // reader gathers.
    virtual void readHeldNow() {}
    // The reader found the device's end: the port is lost.
    bool checkEnded();
    void portLost(const QString& why);

    const PortMap& m_map;
    int m_number = 0;
    ReaderInbox m_inbox;

private:
    // The call the inbox's wake posted, on the window thread.
    void woken();

    bool m_receiveHeld = false;
    std::function<void()> m_beforeBlocking;
};
