#pragma once

#include <QByteArray>
#include <QString>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// Takes a serial device's input out of the driver as it arrives, on a thread of its own, into
// memory that the window thread reads.
//
// The driver keeps a tty's unread input in a small buffer and drops it when the device hangs up
// (a pulled USB adapter), so bytes left there are bytes at risk; and waking the window thread for
// every piece of the line costs more than handling the piece. The reader reads every byte,
// whatever the window thread is doing (a pause, a modal box, a frame not yet due), and wakes the
// window thread only when it is wanted: the wake function runs on the reader's thread and must
// only post a call to the window thread.
//
// While the window thread does not want to be woken (records trickle in and a frame will take
// them), the reader gathers: it reads the driver every kGatherMs rather than at every piece of
// the line, and the frame reads what came since itself (readNow()). So a byte waits in the driver
// at most kGatherMs, a few hundred bytes at the wire rate, well inside its buffer (a USB serial
// adapter holds its bytes up to 16 ms before handing them over, too), and the reader's thread
// wakes twice a frame instead of for every piece.
//
// The reader's thread does nothing but read, keep and wake; everything else, readNow() included,
// is called from the window thread. Reads and what they keep happen under one lock, in order.
class PortReader {
public:
    // What may wait in memory unread, as while a modal box is open: more than an hour of the line
    // at 38400 baud. Beyond it the reader waits, and the bytes wait in the driver, so a device that
    // floods the line cannot grow the tool without bound.
    static constexpr qsizetype kReadAheadBytes = 16 * 1024 * 1024;
    static constexpr int kGatherMs = 100;

    explicit PortReader(std::function<void()> wake) : m_wake(std::move(wake)) {}
    ~PortReader() { stop(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    // Starts reading the open descriptor, which stays the caller's. False when no thread could
    // be started.
    bool start(int descriptor);
    // Ends the reading thread and waits for it. What it read stays for take().
    void stop();

    // Reads what the driver holds now, on the calling thread, after what was read before. An end
    // of the device is left to the reader's thread to find and tell.
    void readNow();
    // What was read and not yet taken, in order, up to maxBytes.
    QByteArray take(qsizetype maxBytes = kReadAheadBytes);
    bool hasInput() const;
    // Blocks up to timeoutMs until input is there or the device has ended; true when input is.
    bool waitForInput(int timeoutMs);
    void clear();

    // The device hung up or failed; nothing more will be read. The reason is in plain words.
    bool ended() const;
    QString endReason() const;

    // What the operator is told of a device that hung up, and of one whose read or write failed
    // with the system's error number.
    static QString hungUpText();
    static QString failureText(int error);

    // Whether arriving input wakes the window thread. The device's end always does. While it does
    // not, the reader gathers.
    void setWakeWanted(bool wanted);
    // Wakes the window thread unless a wake is on its way already. The window thread calls
    // wakeArrived() first thing in the call that the wake posted.
    void requestWake();
    void wakeArrived();

private:
    void run();
    // Reads what the driver holds; false when the device has ended.
    bool readAvailable(short events);
    // With the lock held: reads what the driver holds into memory; what read() returned.
    ssize_t readLocked();
    void end(const QString& why);
    // With the lock held: wakes the window thread unless a wake is on its way.
    void wakeLocked();

    std::function<void()> m_wake;
    std::thread m_thread;
    int m_descriptor = -1;
    int m_stopEvent = -1;

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
