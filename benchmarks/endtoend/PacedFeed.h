#pragma once

#include "sim/PtyPair.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

// A pseudo-terminal that the records arrive on at the wire rate: 38400 baud 8N1, 3840 bytes a
// second, in pieces of 32 bytes as a USB serial adapter hands them over, like quorvelino-sim
// --wire sends them. A program opens device(); the feed keeps a descriptor of the device open
// itself, so the device stays while the program opens and closes it.
class PacedFeed final : public QObject {
    Q_OBJECT

public:
    static constexpr int kPiece = 32;
    static constexpr qint64 kBytesPerSecond = 3840;

    explicit PacedFeed(QByteArray stream);
    PacedFeed(const PacedFeed&) = delete;
    PacedFeed& operator=(const PacedFeed&) = delete;

    // Empty when the pseudo-terminal is there; otherwise why not.
    QString error() const { return m_error; }
    QString device() const { return m_pty.slavePath(); }

    // Sends the stream from now on, from the event loop, once.
    void start();
    void stop() { m_timer.stop(); }
    qint64 written() const { return m_written; }
    // The whole stream is sent.
    bool finished() const { return m_written == m_stream.size(); }

private:
    void pump();

    QByteArray m_stream;
    PtyPair m_pty;
    QString m_error;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_written = 0;
};
