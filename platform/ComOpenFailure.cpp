#include "platform/ComOpenFailure.h"

namespace ComOpenFailure {

namespace {

// The Win32 error codes, so that the wording can be built and tested anywhere.
constexpr unsigned long kFileNotFound = 2;
constexpr unsigned long kPathNotFound = 3;
constexpr unsigned long kAccessDenied = 5;
constexpr unsigned long kSharingViolation = 32;

QString presentText(const QStringList& presentPorts) {
    if (presentPorts.isEmpty())
        return QStringLiteral("No COM port is present.");
    return QStringLiteral("The COM ports present: %1.")
        .arg(presentPorts.join(QStringLiteral(", ")));
}

} // namespace

Cause causeOf(unsigned long error) {
    switch (error) {
    case kFileNotFound:
    case kPathNotFound:
        return Cause::Missing;
    case kAccessDenied:
    case kSharingViolation:
        return Cause::Busy;
    default:
        return Cause::Other;
    }
}

QString describe(int number, const QString& device, Cause cause, const QString& systemText,
                 const QStringList& presentPorts) {
    const QString port = QStringLiteral("COM%1").arg(number);
    const QString named = device == port ? port : QStringLiteral("%1 (%2)").arg(port, device);
    switch (cause) {
    case Cause::Missing:
        return QStringLiteral("%1 is not present: the handheld's adapter is not plugged in, or "
                              "Windows gave it another number (see the Device Manager, "
                              "\"Ports (COM & LPT)\"). %2")
            .arg(named, presentText(presentPorts));
    case Cause::Busy:
        return QStringLiteral("%1 is in use by another program: Windows lets only one program at "
                              "a time open a COM port. Close the other program (a terminal, "
                              "another copy of this tool) and connect again.")
            .arg(named);
    case Cause::Other:
        break;
    }
    return QStringLiteral("%1 could not be opened: %2").arg(named, systemText);
}

} // namespace ComOpenFailure
