#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Takes a COM port's input out of the driver as it arrives, on a thread of its own, into memory
// that the window thread reads (Windows).
//
// The thread sits in a blocking ReadFile() whose time-outs (set by the port) make it return as
// soon as one byte is there, or empty after kReadTimeoutMs. An empty read is the moment to look
// whether the device is still there (a pulled USB adapter fails ClearCommError()) and whether the
// reader is to stop, so stopping takes at most kReadTimeoutMs. The wake function runs on the
// reader's thread and must only post a call to the window thread.
//
// Everything but the thread's own loop is called from the window thread. The memory is kept
// under one lock.
class WinPortReader {
public:
    // What may wait in memory unread: more than an hour of the line at 38400 baud. Beyond it the
    // reader waits, and the bytes wait in the driver.
    static constexpr qsizetype kReadAheadBytes = 16 * 1024 * 1024;
    // The longest a read waits for a first byte. The driver serves one call on the port at a time,
    // so a write waits at most this long for a read in progress.
    static constexpr unsigned kReadTimeoutMs = 20;

    explicit WinPortReader(std::function<void()> wake) : m_wake(std::move(wake)) {}
    ~WinPortReader() { stop(); }
    WinPortReader(const WinPortReader&) = delete;
    WinPortReader& operator=(const WinPortReader&) = delete;

    // Starts reading the open port (a HANDLE), which stays the caller's. False when no thread
    // could be started.
    bool start(void* port);
    // Ends the reading thread and waits for it. What it read stays for take().
    void stop();

    // What was read and not yet taken, in order, up to maxBytes.
    QByteArray take(qsizetype maxBytes = kReadAheadBytes);
    bool hasInput() const;
    // Blocks up to timeoutMs until input is there or the device has ended; true when input is.
    bool waitForInput(int timeoutMs);
    void clear() { take(); }

    // The device was pulled or failed; nothing more will be read. The reason is in plain words.
    bool ended() const;
    QString endReason() const;

    // What the operator is told of a port whose read, write or state query failed with the
    // system's error code.
    static QString failureText(unsigned long error);

    // Whether arriving input wakes the window thread. The device's end always does.
    void setWakeWanted(bool wanted);
    // Wakes the window thread unless a wake is on its way already. The window thread calls
    // wakeArrived() first thing in the call that the wake posted.
    void requestWake();
    void wakeArrived();

private:
    void run();
    void end(const QString& why);
    // With the lock held: wakes the window thread unless a wake is on its way.
    void wakeLocked();

    std::function<void()> m_wake;
    std::thread m_thread;
    void* m_port = nullptr;

    mutable std::mutex m_mutex;
    std::condition_variable m_changed; // input, the end, room or the stop
    QByteArray m_input;
    bool m_stopping = false;
    bool m_ended = false;
    QString m_endReason;
    bool m_wakeWanted = true;
    bool m_wakePosted = false;
};
