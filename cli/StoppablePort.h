#pragma once

#include "platform/SerialPort.h"

#include <functional>

// The serial port as the command line hands it to the handlers: the real adapter, which a stop
// request (Ctrl+C, the run's time limit) cuts off even while a handler blocks on it.
//
// Everything is passed through until the stop is requested. From then on the port looks lost to
// the handlers: closed, writes fail, nothing arrives. They end as they end on a pulled cable,
// leaving what they want said as notes with the link rather than in boxes. The real port stays
// open behind it, so that goodbye() can still tell the handheld "DISCONNECT".
class StoppablePort final : public SerialPort {
public:
    StoppablePort(SerialPort& port, std::function<bool()> stopRequested);

    void setPortNumber(int number) override { m_port.setPortNumber(number); }
    int portNumber() const override { return m_port.portNumber(); }
    QString deviceName() const override { return m_port.deviceName(); }

    OpenResult open() override;
    void close() override;
    bool isOpen() const override;

    bool write(const QByteArray& bytes) override;
    QByteArray readPending() override;
    QByteArray readSome(qsizetype maxBytes) override;
    bool waitForInput(int timeoutMs) override;
    void notifyIfInputWaiting() override;
    void holdReceive(bool held) override;

    // From now on open() returns only once the line has been quiet for kQuietMs, reading and
    // dropping what comes meanwhile: a handheld still sending the records of an earlier run that
    // was killed would drown the greeting. After limitMs of sending, or a stop, open() fails.
    void awaitQuietOnOpen(int limitMs) { m_quietLimitMs = limitMs; }
    // The last open() failed while the handheld was sending: it did not stop in time, or a stop
    // came while it sent.
    bool stillSending() const { return m_stillSending; }
    static constexpr int kQuietMs = 250;

    // Cuts the handlers off now, whether or not the stop was requested yet.
    void cutOff();
    // Says "DISCONNECT" on the real port when it is still open, then closes it. True when the
    // handheld was told, or there was no open port to tell.
    bool goodbye();

private:
    // True when the line fell quiet; false when the limit or a stop came first. Notes whether
    // the handheld was sending when the wait ended.
    bool waitForQuiet();
    // Latches the cut once the stop is requested; true when the handlers are cut off.
    bool cut() const;
    // A loss the real port found is the handlers' loss too, until its notification has run.
    void followLoss();

    SerialPort& m_port;
    std::function<bool()> m_stopRequested;
    mutable bool m_cut = false;
    int m_quietLimitMs = 0;
    bool m_stillSending = false;
};
