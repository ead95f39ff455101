#pragma once

#include <QString>

// Marks a serial device as this program's while it is open, so that other programs leave it
// alone, whatever name they or we give it (`/dev/ttyUSB0`, a `/dev/serial/by-id/` link):
// - an advisory lock on the open descriptor (flock), which holds for the device under any name,
//   and for programs running as root too;
// - exclusive mode (TIOCEXCL), which refuses further opens by unprivileged programs;
// - a lock file in the system's lock folder, as serial programs on Linux write and honour: named
//   after the device itself below /dev with "/" made "_" ("LCK..ttyUSB0", "LCK..pts_5"), holding
//   the PID, the program and the host on three lines. A lock file of a program that has ended is
//   taken over.
class DeviceLock {
public:
    DeviceLock() = default;
    ~DeviceLock() { release(); }
    DeviceLock(const DeviceLock&) = delete;
    DeviceLock& operator=(const DeviceLock&) = delete;

    // Before the device is opened: false when a running program's lock file holds it.
    static bool lockFileFree(const QString& device);
    // Takes the opened device for this process; false when another open descriptor of it holds
    // its advisory lock. The lock file is written where the lock folder lets us, else left out.
    bool take(const QString& device, int descriptor);
    // Removes the lock file. The descriptor's own locks end when it is closed.
    void release();

private:
    QString m_lockFile;
};
