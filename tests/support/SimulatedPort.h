#pragma once

#include "platform/SerialPort.h"

#include <QList>
#include <functional>

class VirtualClock;

// A serial port wired to a simulated handheld under the virtual clock.
//
// What the tool writes goes to the device function at once; its answer arrives after the
// latency, in pieces when a piece size is set, each piece raising the receive notification.
// Like the real port, it raises no notification while its own is still running: bytes that
// arrive then (while a handler sits in a modal box inside it) wait, unannounced, until the tool
// asks with notifyIfInputWaiting(). Bytes that arrive while the receive is held wait the same way.
class SimulatedPort final : public SerialPort {
public:
    using Device = std::function<QByteArray(const QByteArray&)>;

    struct Write {
        qint64 at;
        QByteArray bytes;
    };

    SimulatedPort(VirtualClock& clock, Device device)
        : m_clock(clock), m_device(std::move(device)) {}

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override { return QStringLiteral("/dev/ttySIM%1").arg(m_number); }
    OpenResult open() override;
    // Like the real port, a closed port forgets what it received and did not hand out.
    void close() override {
        m_open = false;
        m_receiveHeld = false;
        m_input.clear();
    }
    bool isOpen() const override { return m_open; }
    bool write(const QByteArray& bytes) override;
    QByteArray readPending() override;
    QByteArray readSome(qsizetype maxBytes) override;
    bool waitForInput(int timeoutMs) override;
    void notifyIfInputWaiting() override;
    void holdReceive(bool held) override;
    bool receiveHeld() const { return m_receiveHeld; }

    // The device's behaviour.
    void setDevice(Device device) { m_device = std::move(device); }
    void setLatency(int ms) { m_latency = ms; }
    // Deliver every answer in pieces of this many bytes, pieceGapMs apart (0: whole).
    void setPieces(int bytes, int gapMs) {
        m_pieceSize = bytes;
        m_pieceGap = gapMs;
    }
    // Bytes arriving from the device at a given time, unasked.
    void arriveAt(qint64 at, const QByteArray& bytes);
    void arrive(const QByteArray& bytes);
    // The port refuses to open, with this text.
    void failOpen(const QString& message) { m_openFailure = message; }
    // The adapter is pulled: the port closes and the lost notification follows. What arrived
    // before stays readable until the port is closed or opened again, as on the real port.
    void pull();
    // Writes fail from now on, as on a port that went away.
    void failWrites(bool fail = true) { m_writesFail = fail; }

    const QList<Write>& writes() const { return m_writes; }
    // Everything written, as one byte string.
    QByteArray written() const;
    // The command lines written so far, each without its CR.
    QList<QByteArray> sentLines() const;
    void clearWrites() { m_writes.clear(); }
    int openCount() const { return m_openCount; }
    QByteArray pendingInput() const { return m_input; }

private:
    void announce();

    VirtualClock& m_clock;
    Device m_device;
    int m_number = 0;
    bool m_open = false;
    bool m_writesFail = false;
    bool m_notifying = false;
    bool m_receiveHeld = false;
    int m_openCount = 0;
    int m_latency = 5;
    int m_pieceSize = 0;
    int m_pieceGap = 0;
    QString m_openFailure;
    QByteArray m_input;
    QList<Write> m_writes;
};
