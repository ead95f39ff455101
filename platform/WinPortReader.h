#pragma once

#include "platform/ReaderInbox.h"

#include <QString>

// Takes a COM port's input out of the driver as it arrives, on a thread of its own, into the
// port's inbox, which the window thread reads (Windows).
//
// The thread sits in a blocking ReadFile() whose time-outs (set by the port) make it return as
// soon as one byte is there, or empty after kReadTimeoutMs. An empty read is the moment to look
// whether the device is still there (a pulled USB adapter fails ClearCommError()) and whether the
// reader is to stop, so stopping takes at most kReadTimeoutMs. The read itself is made outside
// the inbox's lock, so the window thread never waits for it.
class WinPortReader {
public:
    // The longest a read waits for a first byte. The driver serves one call on the port at a time,
    // so a write waits at most this long for a read in progress.
    static constexpr unsigned kReadTimeoutMs = 20;

    explicit WinPortReader(ReaderInbox& inbox) : m_inbox(inbox) {}
    ~WinPortReader() { stop(); }
    WinPortReader(const WinPortReader&) = delete;
    WinPortReader& operator=(const WinPortReader&) = delete;

    // Starts reading the open port (a HANDLE), which stays the caller's. False when no thread
    // could be started.
    bool start(void* port);
    // Ends the reading thread and waits for it.
    void stop();

    // What the operator is told of a port whose read, write or state query failed with the
    // system's error code.
    static QString failureText(unsigned long error);

private:
    void run();

    ReaderInbox& m_inbox;
    void* m_port = nullptr;
};
