#pragma once

#include "platform/InboxSerialPort.h"
#include "platform/WinPortReader.h"

// The real serial port on Windows: a COM port's handle, owned by this adapter.
//
// Windows opens a COM port for one program at a time, so a port another program holds is
// refused at open() with a message that says so. A reader thread (WinPortReader) takes every
// received byte out of the driver as it arrives. The window thread's side (reads, waits, wakes
// and the loss) is InboxSerialPort's.
class WinSerialPort final : public InboxSerialPort {
    Q_OBJECT

public:
    explicit WinSerialPort(const PortMap& map, QObject* parent = nullptr)
        : InboxSerialPort(map, parent) {}
    ~WinSerialPort() override;

    bool isOpen() const override { return m_handle != nullptr; }
    bool write(const QByteArray& bytes) override;

    // The name CreateFile() takes for a COM name: "\\.\COM12" (the only form that reaches ports
    // numbered 10 and above, and valid for all).
    static QString systemPath(const QString& device);

private:
    OpenResult openDevice(const QString& device) override;
    // Sets 38400 8N1, binary, no flow control, and the reader's time-outs; DTR and RTS are left
    // as they are. The old settings are kept for release().
    bool setLine(QString* why) override;
    void dropEarlierInput() override;
    bool startReader() override;
    void release() override;

    void* m_handle = nullptr;
    QByteArray m_savedLine; // the DCB as it was before open()
    WinPortReader m_reader{m_inbox};
};
