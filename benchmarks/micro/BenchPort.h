#pragma once

#include "platform/SerialPort.h"

#include <QByteArray>
#include <utility>

// A serial port without a device, for benchmarks. Each read hands out the next piece of a
// prepared input, round and round; a write of the one command it knows queues its answer, which
// the next read returns instead.
class BenchPort final : public SerialPort {
public:
    // The input is cut into pieces of `piece` bytes; its size should be a multiple of that.
    void setInput(QByteArray input, qsizetype piece) {
        m_input = std::move(input);
        m_piece = piece;
        m_at = 0;
    }
    void answer(const QByteArray& command, const QByteArray& reply) {
        m_command = command;
        m_reply = reply;
    }

    void setPortNumber(int number) override { m_number = number; }
    int portNumber() const override { return m_number; }
    QString deviceName() const override { return QStringLiteral("bench"); }
    OpenResult open() override { return {true, QString()}; }
    void close() override {}
    bool isOpen() const override { return true; }

    bool write(const QByteArray& bytes) override {
        if (bytes == m_command)
            m_queued += m_reply;
        return true;
    }
    QByteArray readPending() override {
        if (!m_queued.isEmpty())
            return std::exchange(m_queued, QByteArray());
        if (m_input.isEmpty())
            return QByteArray();
        const QByteArray piece = m_input.mid(m_at, m_piece);
        m_at = (m_at + m_piece) % m_input.size();
        return piece;
    }
    QByteArray readSome(qsizetype) override { return readPending(); }
    bool waitForInput(int) override { return true; }
    void notifyIfInputWaiting() override {}
    void holdReceive(bool) override {}

private:
    QByteArray m_input;
    qsizetype m_piece = 1;
    qsizetype m_at = 0;
    QByteArray m_command;
    QByteArray m_reply;
    QByteArray m_queued;
    int m_number = 1;
};
