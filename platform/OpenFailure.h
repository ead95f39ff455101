#pragma once

#include <QString>
#include <QStringList>

// Plain-words explanations of why a serial device could not be opened, for the operator.
namespace OpenFailure {

// Nothing stands for COMn: no entry in the settings and fewer devices present.
QString describeUnmapped(int number, const QStringList& presentDevices);

// Opening the device failed; qtReason is what the serial library said. Looks at the device
// itself (missing, not permitted, held by another program) to say what to do.
QString describe(int number, const QString& device, const QString& qtReason);

// The programs that hold a device open, as "name (process N)", from the lock file in
// /run/lock or /var/lock and from /proc.
QStringList holders(const QString& device);

} // namespace OpenFailure
