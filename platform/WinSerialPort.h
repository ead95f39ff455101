#pragma once

#include "platform/PortMap.h"
#include "platform/SerialPort.h"
#include "platform/WinPortReader.h"

#include <QObject>

// The real serial port on Windows: a COM port's handle, owned by this adapter.
//
// Windows opens a COM port for one program at a time, so a port another program holds is
// refused at open() with a message that says so. A reader thread (WinPortReader) takes every
// received byte out of the driver as it arrives; the window thread writes, reads what the reader
// keeps, and is woken through its event loop: at once while the receive is free, not at all while
// it is held (the frames take the input then). A port that is pulled or fails is closed once,
// with the reason in plain words; what was received before stays readable until the port is
// closed or opened again.
class WinSerialPort final : public QObject, public SerialPort {
    Q_OBJECT

public:
    explicit WinSerialPort(const PortMap& map, QObject* parent = nullptr);
    ~WinSerialPort() override;

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    // The COM name ("COM3"), or what the settings map the number to.
    QString deviceName() const override;

    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return m_handle != nullptr; }

    bool write(const QByteArray& bytes) override;
    QByteArray readPending() override;
    QByteArray readSome(qsizetype maxBytes) override;
    bool waitForInput(int timeoutMs) override;
    void notifyIfInputWaiting() override;
    void holdReceive(bool held) override;
    // Runs before waitForInput() blocks the window thread for a time: the window brings what it
    // shows up to date there, as it does before a pause.
    void setBeforeBlocking(std::function<void()> before) { m_beforeBlocking = std::move(before); }

    // The name CreateFile() takes for a COM name: "\\.\COM12" (the only form that reaches ports
    // numbered 10 and above, and valid for all).
    static QString systemPath(const QString& device);

private:
    // Sets 38400 8N1, binary, no flow control, and the reader's time-outs; DTR and RTS are left
    // as they are. The old settings are kept for release().
    bool setLine(QString* why);
    void woken();
    bool checkEnded();
    void portLost(const QString& why);
    // Stops the reader, gives the port its old line settings back and closes it. What the reader
    // kept stays.
    void release();

    const PortMap& m_map;
    int m_number = 0;
    void* m_handle = nullptr;
    QByteArray m_savedLine; // the DCB as it was before open()
    WinPortReader m_reader;
    std::function<void()> m_beforeBlocking;
};
