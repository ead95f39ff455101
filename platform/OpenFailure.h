#pragma once

#include <QString>
#include <QStringList>

// Plain-words explanations of why a serial device could not be opened, for the operator.
//
// The causes people meet on Linux: the device is missing (unplugged, renamed, or taken away
// a few seconds after it appeared by a braille display service), the user is not in the group
// that owns it, or another program holds it. inspect() looks at the machine; explain() only
// reads what inspect() found, so every cause can be built by hand.
namespace OpenFailure {

// What the machine shows about one device.
struct Situation {
    bool exists = true;
    bool isCharacterDevice = true;
    // This process may read and write the device.
    bool permitted = true;
    // Set when not permitted: the device's permission bits and owning group, this user, whether
    // the group's bits allow reading and writing, whether this login already has the group, and
    // whether the user belongs to it in the group database (added since this login began).
    unsigned permissions = 0;
    QString ownerGroup;
    QString userName;
    bool groupMayReadWrite = true;
    bool inGroupNow = false;
    bool inGroupDatabase = false;
    // Programs that hold the device, as "name (process N)".
    QStringList holders;
    // Every serial device present, in COM order.
    QStringList presentDevices;
    // The names of all running processes (their /proc/N/comm).
    QStringList runningProcesses;
};

// Nothing stands for COMn: no entry in the settings and fewer devices present. The second form
// is given the running process names instead of reading them.
QString describeUnmapped(int number, const QStringList& presentDevices);
QString describeUnmapped(int number, const QStringList& presentDevices,
                         const QStringList& runningProcesses);

// Opening the device failed; reason is what the system said.
QString describe(int number, const QString& device, const QString& reason);
QString explain(int number, const QString& device, const QString& reason,
                const Situation& situation);
Situation inspect(const QString& device);

// The programs that hold a device open, as "name (process N)": the owner of its lock file
// (UUCP "LCK..ttyUSB0" with a bare PID, or Qt's "LCK..pts_5" with PID, program and host
// lines) in the given lock folders, then every process with the device open in /proc. This
// process never counts.
QStringList holders(const QString& device);
// The running program, other than this one, that a lock file in the system's lock folders names
// as the device's holder, under any of the device's names; 0 when none does.
qint64 lockingProcess(const QString& device);
QStringList holders(const QString& device, const QStringList& lockDirectories);

// The names of all running processes, from /proc/N/comm.
QStringList runningProcessNames();

// What the running services that take serial devices as they appear (the braille display
// service brltty, ModemManager) do to a handheld, and how to stop them; empty when none runs.
QString takeoverAdvice(const QStringList& runningProcesses);

} // namespace OpenFailure
