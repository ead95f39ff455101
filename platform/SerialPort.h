#pragma once

#include <QByteArray>
#include <QString>
#include <functional>

// The serial port to the handheld, as the window thread sees it.
//
// Line settings are fixed: 38400 baud, 8 data bits, no parity, 1 stop bit, no flow control,
// DTR and RTS left alone. Every character is one byte; NUL bytes are kept.
//
// Contracts every implementation keeps:
// - write() returns only when the bytes have been handed to the operating system, so a handler
//   that writes and then sleeps has its line on the wire before the pause.
// - readPending() returns every byte that has arrived by that moment without waiting, and never
//   runs the receive notification. Bytes received before the port was lost stay readable (and
//   waitForInput() sees them) until close() or open(), so that nothing the handheld sent is lost
//   with the cable.
// - The receive notification and the lost notification are raised from the event loop only,
//   never from inside write(), readPending() or waitForInput().
class SerialPort {
public:
    struct OpenResult {
        bool ok = false;
        QString message; // plain words for the operator when ok is false
    };

    virtual ~SerialPort() = default;

    // The COM number (1 = COM1) that the next open() uses.
    virtual void setPortNumber(int number) = 0;
    virtual int portNumber() const = 0;
    // The device the current port number stands for, for messages ("/dev/ttyUSB0").
    virtual QString deviceName() const = 0;

    virtual OpenResult open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;

    // False when the port is closed or the write failed.
    virtual bool write(const QByteArray& bytes) = 0;
    virtual QByteArray readPending() = 0;
    // The first maxBytes at most of what readPending() would return; the rest stays for the next
    // read. The receive handler reads so, so that a device far quicker than the serial line (a
    // backlog of megabytes) is handled in slices, with the window turning between them.
    virtual QByteArray readSome(qsizetype maxBytes) = 0;
    // Blocks up to timeoutMs until input is pending; true when some is (at once if already so).
    virtual bool waitForInput(int timeoutMs) = 0;
    // Raises the receive notification from the event loop when received bytes wait unread. A
    // port may take bytes in without raising it while an earlier one is still running (a handler
    // that sits in a modal box inside it), so the tool asks after every handler has ended.
    virtual void notifyIfInputWaiting() = 0;
    // While held, bytes that arrive raise no receive notification: they wait in the port's memory
    // for the next readPending() or waitForInput(), which see them as ever. holdReceive(false)
    // releases the hold and then does what notifyIfInputWaiting() does. Closing the port releases
    // it. The tool holds it while records stream in, to take them in once per frame of the window
    // instead of piece by piece.
    virtual void holdReceive(bool held) = 0;

    // Raised when received data are waiting.
    void setReceiveNotification(std::function<void()> notify) { m_receive = std::move(notify); }
    // Raised once when the port is lost while open (adapter pulled, device gone); the port is
    // already closed when it runs, and what it received before is still readable. The text
    // says in plain words what happened.
    void setLostNotification(std::function<void(const QString&)> notify) {
        m_lost = std::move(notify);
    }

    // True from the moment the port was found lost until its lost notification has run: a write
    // that fails meanwhile is part of that loss, which the notification reports.
    bool lossPending() const { return m_lossPending; }

protected:
    // Called by an implementation that closes the port because it was lost, before it raises the
    // lost notification from the event loop.
    void markLost() { m_lossPending = true; }
    void notifyReceive() {
        if (m_receive)
            m_receive();
    }
    void notifyLost(const QString& why) {
        m_lossPending = false;
        if (m_lost)
            m_lost(why);
    }

private:
    std::function<void()> m_receive;
    std::function<void(const QString&)> m_lost;
    bool m_lossPending = false;
};
