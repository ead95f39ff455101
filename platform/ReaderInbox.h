#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A serial port's reader thread, what it took out of the driver and the window thread has not
// read yet, whether the device has ended, and the waking of the window thread: the one place the
// two threads meet. Everything is kept under one lock.
//
// The wake function runs on the reader's thread and must only post a call to the window thread;
// a wake is posted once until the window thread says it arrived (wakeArrived()).
class ReaderInbox {
public:
    // What may wait in memory unread, as while a modal box is open: more than an hour of the line
    // at 38400 baud. Beyond it the reader waits, and the bytes wait in the driver, so a device that
    // floods the line cannot grow the tool without bound.
    static constexpr qsizetype kReadAheadBytes = 16 * 1024 * 1024;

    explicit ReaderInbox(std::function<void()> wake) : m_wake(std::move(wake)) {}

    // The window thread. Runs run on the reader's thread; false when no thread could be started.
    bool startReader(std::function<void()> run);
    // Ends every wait of the reader, lets interrupt wake it where it waits in the system, and
    // waits for its thread. What was kept stays for take().
    void stopReader(const std::function<void()>& interrupt);
    bool readerRunning() const { return m_thread.joinable(); }

    // What was kept and not yet taken, in order, up to maxBytes.
    QByteArray take(qsizetype maxBytes = kReadAheadBytes);
    bool hasInput() const;
    // Blocks up to timeoutMs until input is there or the device has ended; true when input is.
    bool waitForInput(int timeoutMs);
    void clear() { take(); }

    // The device hung up or failed; nothing more will be read. The reason is in plain words.
    bool ended() const;
    QString endReason() const;

    // Whether arriving input wakes the window thread. The device's end always does.
    void setWakeWanted(bool wanted);
    // Wakes the window thread unless a wake is on its way already. The window thread calls
    // wakeArrived() first thing in the call that the wake posted.
    void requestWake();
    void wakeArrived();

    // The reader's thread. What it does next: end, wait in the driver for input, or take only
    // what the driver holds now and come back (it gathers while the window wants no waking).
    enum class Turn { Stop, Wait, Look };
    // Waits until memory has room and, while the window thread wants no waking, up to gatherMs
    // more.
    Turn nextTurn(int gatherMs);
    // Keeps bytes read after those kept before, and wakes the window thread if it wants that.
    void keep(const char* bytes, qsizetype size);
    // Reads with read under the lock and keeps what it gives, so that reads on two threads keep
    // their bytes in the order they were read. Once ended, or with memory full, nothing is read.
    // What read returned (0 when it was not called).
    qint64 keepRead(const std::function<qint64(char* into, qsizetype room)>& read);
    void end(const QString& why);

    // What the operator is told of a device that hung up.
    static QString hungUpText();

private:
    // With the lock held.
    void keepLocked(const char* bytes, qsizetype size);
    void wakeLocked();

    std::function<void()> m_wake;
    std::thread m_thread;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;    // input, the end, room or the stop
    std::condition_variable m_gatherEnds; // the window wants waking again, or the stop
    QByteArray m_input;
    bool m_stopping = false;
    bool m_ended = false;
    QString m_endReason;
    bool m_wakeWanted = true;
    bool m_wakePosted = false;
};
