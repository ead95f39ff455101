#pragma once

#include <QString>
#include <QStringList>

// Plain-words explanations of why a COM port could not be opened on Windows, for the operator.
namespace ComOpenFailure {

enum class Cause {
    Missing, // no such port: the adapter is unplugged or has another number
    Busy,    // another program has the port open
    Other,
};

// The cause behind a Win32 error code of CreateFile().
Cause causeOf(unsigned long error);

// number is the COM number asked for, device its name ("COM3"), systemText what the system
// said, presentPorts the COM ports present now.
QString describe(int number, const QString& device, Cause cause, const QString& systemText,
                 const QStringList& presentPorts);

} // namespace ComOpenFailure
