#pragma once

#include "platform/SerialPort.h"

#include <QElapsedTimer>
#include <cstdio>

// The serial port with every line sent to and received from the handheld printed (--verbose),
// each after the seconds since the run started: "  0.412 > ONLINE", "  0.430 < Ok". Control
// characters are written as \xNN. A line ends at CR, LF or CR LF, which are not printed; what
// is written at once is one or more lines. Received bytes arrive in pieces: a line is printed
// once it is complete, and a line without its end when the port closes.
//
// Everything else is passed through unchanged, the notifications of the port included.
class TracingPort final : public SerialPort {
public:
    TracingPort(SerialPort& port, std::FILE* out);

    void setPortNumber(int number) override { m_port.setPortNumber(number); }
    int portNumber() const override { return m_port.portNumber(); }
    QString deviceName() const override { return m_port.deviceName(); }

    OpenResult open() override;
    void close() override;
    bool isOpen() const override { return m_port.isOpen(); }

    bool write(const QByteArray& bytes) override;
    QByteArray readPending() override { return received(m_port.readPending()); }
    QByteArray readSome(qsizetype maxBytes) override { return received(m_port.readSome(maxBytes)); }
    bool waitForInput(int timeoutMs) override;
    void notifyIfInputWaiting() override { m_port.notifyIfInputWaiting(); }
    void holdReceive(bool held) override { m_port.holdReceive(held); }

private:
    // The bytes read, after printing the lines they complete.
    QByteArray received(const QByteArray& bytes);
    // Prints the complete lines of `pending` and leaves the rest there. afterCr: the byte before
    // was a CR, so an LF first is part of its line end.
    void printLines(char direction, QByteArray* pending, bool* afterCr);
    void print(char direction, const QByteArray& line);
    // A loss the real port found is this port's loss too, until its notification has run.
    void followLoss();

    SerialPort& m_port;
    std::FILE* m_out;
    QElapsedTimer m_sinceStart;
    QByteArray m_receivedLine; // received bytes whose line has not ended yet
    bool m_receivedAfterCr = false;
    bool m_sentAfterCr = false;
};
