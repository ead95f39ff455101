#pragma once

#include "platform/DeviceLock.h"
#include "platform/InboxSerialPort.h"
#include "platform/PortReader.h"

#include <termios.h>

// The real serial port: the device's descriptor, owned by this adapter.
//
// A reader thread (PortReader) takes every received byte out of the driver the moment it
// arrives, so that nothing waits there while the window thread pauses, shows a box or waits for
// its next frame, and nothing is lost when the device hangs up. The window thread's side (reads,
// waits, wakes and the loss) is InboxSerialPort's.
class TtySerialPort final : public InboxSerialPort {
    Q_OBJECT

public:
    explicit TtySerialPort(const PortMap& map, QObject* parent = nullptr)
        : InboxSerialPort(map, parent) {}
    ~TtySerialPort() override;

    bool isOpen() const override { return m_descriptor >= 0; }
    bool write(const QByteArray& bytes) override;

private:
    OpenResult openDevice(const QString& device) override;
    // Sets 38400 8N1, raw, no flow control; the modem lines are left alone.
    bool setLine(QString* why) override;
    void dropEarlierInput() override;
    bool startReader() override { return m_reader.start(m_descriptor); }
    void release() override;
    void readHeldNow() override { m_reader.readNow(); }

    int m_descriptor = -1;
    termios m_savedLine{};
    DeviceLock m_lock;
    PortReader m_reader{m_inbox};
};
