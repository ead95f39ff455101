#pragma once

#include <QByteArray>
#include <QString>
#include <termios.h>

// Both ends of a pseudo-terminal: the master, whose owner plays the handheld, and the slave
// device, which the tool opens by its path as it opens a serial adapter.
//
// The pair may keep a slave descriptor of its own open: a pseudo-terminal whose slave nobody
// holds hangs up on its master whenever the tool closes the port, and the owner can read the line
// settings the tool made, or how many bytes wait unread for it. Closing the master makes the slave
// device vanish, as a pulled USB adapter's does.
//
// Not thread-safe: one thread opens, uses and closes a pair.
class PtyPair {
public:
    struct Options {
        bool nonBlockingMaster = false; // reads and writes on master() never wait (EAGAIN)
        bool holdSlave = true;          // keep a slave descriptor open, in raw mode
    };

    PtyPair() = default;
    ~PtyPair() { close(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    // Creates the pseudo-terminal; false with errorString() set (and nothing left open) when that
    // fails.
    bool open(const Options& options);
    bool open();
    bool isOpen() const { return m_master >= 0; }
    // -1 when closed, or for slave(), when the pair holds none.
    int master() const { return m_master; }
    int slave() const { return m_slave; }
    // The slave device, such as "/dev/pts/5"; empty before open().
    const QString& slavePath() const { return m_slavePath; }
    // "call: reason" for the step of open() that failed.
    const QString& errorString() const { return m_error; }

    // Writes all of `bytes` to the master, waiting for room at most `timeoutMs` in all when the
    // tool does not read; false when they did not all go.
    bool send(const QByteArray& bytes, int timeoutMs = 5000);
    // The slave's line settings: what the tool has set. Zeroed without a held slave.
    termios lineSettings() const;
    bool setLineSettings(const termios& settings);
    // Bytes that came from the master and that the tool has not read yet; -1 without a held
    // slave.
    int unread() const;
    // Drops what the tool has not read yet.
    void discardUnread();

    // The handheld's side goes away: the slave device hangs up and vanishes.
    void hangUp();
    void close();

private:
    bool fail(const char* call);

    int m_master = -1;
    int m_slave = -1;
    QString m_slavePath;
    QString m_error;
};
