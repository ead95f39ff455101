#pragma once

#include "platform/ReaderInbox.h"

#include <QString>

// Takes a serial device's input out of the driver as it arrives, on a thread of its own, into
// the port's inbox, which the window thread reads.
//
// The driver keeps a tty's unread input in a small buffer and drops it when the device hangs up
// (a pulled USB adapter), so bytes left there are bytes at risk; and waking the window thread for
// every piece of the line costs more than handling the piece. The reader reads every byte,
// whatever the window thread is doing (a pause, a modal box, a frame not yet due), and wakes the
// window thread only when it is wanted.
//
// While the window thread does not want to be woken (records trickle in and a frame will take
// them), the reader gathers: it reads the driver every kGatherMs rather than at every piece of
// the line, and the frame reads what came since itself (readNow()). So a byte waits in the driver
// at most kGatherMs, a few hundred bytes at the wire rate, well inside its buffer (a USB serial
// adapter holds its bytes up to 16 ms before handing them over, too), and the reader's thread
// wakes twice a frame instead of for every piece.
//
// The reader's thread does nothing but read, keep and wake; everything else, readNow() included,
// is called from the window thread. Reads and what they keep happen under the inbox's lock, in
// order.
class PortReader {
public:
    static constexpr int kGatherMs = 100;

    explicit PortReader(ReaderInbox& inbox) : m_inbox(inbox) {}
    ~PortReader() { stop(); }
    PortReader(const PortReader&) = delete;
    PortReader& operator=(const PortReader&) = delete;

    // Starts reading the open descriptor, which stays the caller's. False when no thread could
    // be started.
    bool start(int descriptor);
    // Ends the reading thread and waits for it.
    void stop();

    // Reads what the driver holds now, on the calling thread, after what was read before. An end
    // of the device is left to the reader's thread to find and tell.
    void readNow();

    // What the operator is told of a device whose read or write failed with the system's error
    // number.
    static QString failureText(int error);

private:
    void run();
    // Reads what the driver holds; false when the device has ended.
    bool readAvailable(short events);

    ReaderInbox& m_inbox;
    int m_descriptor = -1;
    int m_stopEvent = -1;
};
